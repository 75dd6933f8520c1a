// Framing and sending a large upload text with the pauses and the serial line
// taken away, and decoding the packet lines back.

#include "core/InstrumentPacket.h"
#include "core/UploadText.h"

#include "NullWindowServices.h"

#include <benchmark/benchmark.h>

namespace {

class DiscardingSender : public MessageSender {
public:
    bool sendMessage(const std::u16string& pText) override {
        benchmark::DoNotOptimize(pText.data());
        return true;
    }
};

const SleepFunction kNoPause = [](int) {};

constexpr std::size_t kTenMB = 10u << 20;

std::u16string UploadLikeText(std::size_t size) {
    const std::u16string record = u"+P1        _ x-000089500_ y+001234567_ z+000100000_";
    std::u16string text = u"_";
    while (text.size() < size) text += record;
    text.resize(size);
    return text;
}

void BM_SendPackets(benchmark::State& state) {
    const std::u16string text = UploadLikeText(kTenMB);
    NullWindowServices window;
    RecordStore store(window);
    DiscardingSender sender;
    for (auto _ : state) {
        SendPackets(store, sender, kNoPause, text);
        state.PauseTiming();
        store.memoDummyInput.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_SendPackets)->Unit(benchmark::kMillisecond);

// From the grid: 205,600 records make a 10 MB upload text.
void BM_UploadCoordinates(benchmark::State& state) {
    NullWindowServices window;
    RecordStore store(window);
    const std::int32_t records = static_cast<std::int32_t>(kTenMB / 51);
    for (std::int32_t row = 1; row <= records; ++row) {
        store.gridXYZData.SetCell(0, row, {u'P', static_cast<char16_t>(u'0' + row % 10)});
        store.gridXYZData.SetCell(1, row, u"4512345.678");
        store.gridXYZData.SetCell(2, row, u"-512345.5");
        store.gridXYZData.SetCell(3, row, u"1234.56789");
    }
    store.LinesCountXYZ = records;
    DiscardingSender sender;
    for (auto _ : state) {
        SendPackets(store, sender, kNoPause, UploadText(store));
        state.PauseTiming();
        store.memoDummyInput.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(UploadText(store).size()));
}
BENCHMARK(BM_UploadCoordinates)->Unit(benchmark::kMillisecond);

void BM_DecodePackets(benchmark::State& state) {
    const std::u16string text = UploadLikeText(kTenMB);
    NullWindowServices window;
    RecordStore store(window);
    DiscardingSender sender;
    SendPackets(store, sender, kNoPause, text);
    for (auto _ : state) benchmark::DoNotOptimize(DecodePackets(store.memoDummyInput));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_DecodePackets)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
