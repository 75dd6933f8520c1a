// Writing and reading back coordinate files of up to a million records.

#include "core/CoordinateFiles.h"

#include "NullWindowServices.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

std::u16string Text(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string Name(char letter, std::int32_t number) {
    std::string name(1, letter);
    name += std::to_string(number);
    return Text(name);
}

std::u16string Value(std::mt19937& random, int integerDigits) {
    unsigned limit = 1;
    for (int i = 0; i < integerDigits; ++i) limit *= 10;
    std::string text = std::to_string(random() % limit);
    text += '.';
    text += std::to_string(1000 + random() % 1000).substr(1);
    return Text(text);
}

void FillCoordinates(RecordStore& store, std::int32_t records) {
    std::mt19937 random(7);
    for (std::int32_t row = 1; row <= records; ++row) {
        store.gridXYZData.SetCell(0, row, Name('P', row));
        store.gridXYZData.SetCell(1, row, Value(random, 7));
        store.gridXYZData.SetCell(2, row, Value(random, 6));
        store.gridXYZData.SetCell(3, row, Value(random, 4));
    }
    store.LinesCountXYZ = records;
}

void FillObservations(RecordStore& store, std::int32_t records) {
    std::mt19937 random(9);
    for (std::int32_t row = 1; row <= records; ++row) {
        store.gridYDEData.SetCell(0, row, Name('S', row));
        store.gridYDEData.SetCell(1, row, Value(random, 3) + u"4");
        store.gridYDEData.SetCell(2, row, Value(random, 2) + u"1");
        store.gridYDEData.SetCell(3, row, Value(random, 4));
        store.gridYDEData.SetCell(4, row, u"1.600");
    }
    store.LinesCountYDE = records;
}

class BenchFile {
public:
    explicit BenchFile(const char* name)
        : path_(std::filesystem::temp_directory_path() / (std::string("korvex-bench-") + name)) {}
    ~BenchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    std::u16string Name() const { return path_.u16string(); }
    std::int64_t Size() const { return static_cast<std::int64_t>(std::filesystem::file_size(path_)); }

private:
    std::filesystem::path path_;
};

void BM_SaveXYZFile(benchmark::State& state) {
    NullWindowServices window;
    RecordStore store(window);
    FillCoordinates(store, static_cast<std::int32_t>(state.range(0)));
    BenchFile file("save.xyz");
    for (auto _ : state) SaveXYZFile(store, file.Name());
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(BM_SaveXYZFile)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_SaveYDEFile(benchmark::State& state) {
    NullWindowServices window;
    RecordStore store(window);
    FillObservations(store, static_cast<std::int32_t>(state.range(0)));
    BenchFile file("save.yde");
    for (auto _ : state) SaveYDEFile(store, file.Name());
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(BM_SaveYDEFile)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Reading again into the same store: the records of the last reading are
// cleared first, as when the user opens one file after another.
void BM_LoadXYZFile(benchmark::State& state) {
    NullWindowServices window;
    RecordStore store(window);
    BenchFile file("load.xyz");
    FillCoordinates(store, static_cast<std::int32_t>(state.range(0)));
    SaveXYZFile(store, file.Name());
    for (auto _ : state) {
        LoadXYZFile(store, file.Name());
        benchmark::DoNotOptimize(store.LinesCountXYZ);
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
    state.SetComplexityN(file.Size());
}
BENCHMARK(BM_LoadXYZFile)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_LoadYDEFile(benchmark::State& state) {
    NullWindowServices window;
    RecordStore store(window);
    BenchFile file("load.yde");
    FillObservations(store, static_cast<std::int32_t>(state.range(0)));
    SaveYDEFile(store, file.Name());
    for (auto _ : state) {
        LoadYDEFile(store, file.Name());
        benchmark::DoNotOptimize(store.LinesCountYDE);
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(BM_LoadYDEFile)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
