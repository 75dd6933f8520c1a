// Converting raw record streams of 1 MB and 10 MB: a realistic mix of every
// record type, and the same mix with every ")" and "," left out, so that the
// searches of station records and of heights find nothing in the whole rest
// of the stream. A byte is one character of the stream, as the serial line
// carries it.

#include "core/RawRecordParser.h"

#include "NullWindowServices.h"

#include <benchmark/benchmark.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Writes records with digits from a generator of fixed seed, so every run
// converts the same stream.
class StreamWriter {
public:
    explicit StreamWriter(bool terminators) : terminators_(terminators) {}

    std::u16string text;

    std::uint32_t Next(std::uint32_t below) { return static_cast<std::uint32_t>(random_() % below); }

    void Record() {
        const std::uint32_t kind = Next(20);
        if (kind == 0) {
            Station();
            return;
        }
        Put(u"_+");
        Name();
        Put(u"_ ");
        switch (kind % 7) {
        case 0: Observation(u"?+", {8, 7, 7, 7}, u"m+d+t"); break;
        case 1: Observation(u"<", {7, 7}, u"  "); break;
        case 2: Observation(u"'", {8, 7}, u"  "); break;
        case 3: Observation(u"(", {9, 8, 7}, u"   "); break;
        case 4: AxisCoordinates(); break;
        case 5: Coordinates(u'/', 11, u"_"); break;
        default:
            // Without a "," a U record ends the parse: the stream without
            // terminators has none.
            if (terminators_) Coordinates(u'U', 9, u" ,ABC_");
            else AxisCoordinates();
            break;
        }
    }

private:
    void Put(std::u16string_view piece) { text += piece; }
    void Digits(int count) {
        for (int i = 0; i < count; ++i) text.push_back(static_cast<char16_t>(u'0' + Next(10)));
    }
    void Sign() { text.push_back(Next(4) == 0 ? u'-' : u'+'); }
    void Name() {
        text.push_back(Next(5) == 0 ? u'S' : u'P');
        Digits(1 + static_cast<int>(Next(4)));
    }
    void Height() {
        Digits(1);
        Put(u".");
        Digits(3);
        Put(u"_");
    }
    void Station() {
        Put(u"_'");
        Name();
        Put(terminators_ ? u"_)" : u"_");
        Height();
    }
    // The numbers, each followed by its separator character, then the height.
    void Observation(std::u16string_view type, std::initializer_list<int> digits,
                     std::u16string_view separators) {
        Put(type);
        std::size_t i = 0;
        for (int count : digits) {
            Digits(count);
            text.push_back(separators[i++]);
        }
        if (terminators_) Put(u",");
        Height();
    }
    void AxisCoordinates() {
        for (char16_t axis : {u'x', u'y', u'z'}) {
            text.push_back(axis);
            Sign();
            Digits(9);
            Put(axis == u'z' ? u"_" : u"_ ");
        }
    }
    void Coordinates(char16_t type, int digits, std::u16string_view end) {
        text.push_back(type);
        for (int i = 0; i < 3; ++i) {
            Sign();
            Digits(digits);
            if (i < 2) Put(u" ");
        }
        Put(end);
    }

    bool terminators_;
    std::mt19937 random_{20240611};
};

std::u16string Stream(std::size_t size, bool terminators) {
    StreamWriter writer(terminators);
    while (writer.text.size() < size) writer.Record();
    return writer.text;
}

// Reads a buffer larger than the processor's caches, so that what they held
// before is gone.
void EvictCaches() {
    static const std::vector<unsigned char> other(std::size_t{256} << 20, 1);
    unsigned sum = 0;
    for (std::size_t i = 0; i < other.size(); i += 64) sum += other[i];
    benchmark::DoNotOptimize(sum);
}

// Each conversion goes into a new record store, as the first conversion of a
// window does, and meets the caches as in the program: the raw data was just
// decoded and is as fresh in them as it can be, while the memory the store
// fills has not been touched for a while. Without the eviction the 1 MB
// stream and its store would stay in the caches from one run to the next
// while the 10 MB ones cannot, and comparing the two sizes would measure the
// caches rather than the parser. Only the conversion itself is timed.
void Convert(benchmark::State& state, bool terminators) {
    const std::u16string raw = Stream(static_cast<std::size_t>(state.range(0)), terminators);
    NullWindowServices window;
    std::int32_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<RecordStore>(window);
        EvictCaches();
        benchmark::DoNotOptimize(std::count(raw.begin(), raw.end(), u'_'));
        state.ResumeTiming();
        ConvertRawData(*store, raw);
        state.PauseTiming();
        records = store->LinesCountXYZ + store->LinesCountYDE;
        store.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(raw.size()));
    state.counters["records"] = records;
}

constexpr std::int64_t kMB = 1 << 20;

BENCHMARK_CAPTURE(Convert, realistic, true)->Arg(kMB)->Arg(10 * kMB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, adversarial, false)->Arg(kMB)->Arg(10 * kMB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The C library gives freed heap memory back to the system above a
    // threshold that it adapts to the sizes freed so far, streams of earlier
    // runs included; the next conversion then pays for fresh pages or not
    // depending on that history. A fixed threshold keeps the freed stores'
    // memory, so that runs of every size start from the same kind of heap.
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
