// Receiving from the instrument: 10 KB paced at 4800 baud (480 bytes a
// second) come from a simulated instrument through readMessage calls, as in a
// reading. Reported: the wall time against the line's own time (the goal is
// to be within one read time-out of it), and the processor time of the whole
// process (simulator included) and of the reading thread alone (the goal is
// under 2% of the wall time: reads wait, they don't spin).

#include "core/TextCodec.h"
#include "serial/PortConnection.h"

#include "InstrumentSimulator.h"
#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <filesystem>

namespace {

constexpr std::size_t kBytes = 10 * 1024;
constexpr int kBytesPerSecond = 480;

double CpuSeconds(clockid_t clock) {
    timespec time{};
    clock_gettime(clock, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

void BM_Receive10KBAt4800Baud(benchmark::State& state) {
    TempDir dir;
    InstrumentSimulator instrument;
    std::filesystem::create_directory(dir.File("ports"));
    std::filesystem::create_symlink(instrument.DevicePath(), dir.File("ports") / "COM1");
    const QString iniFile = QString::fromStdString(dir.File("DovavIriduze.ini").string());
    PortSettings settings(iniFile, [](const std::u16string&) {});
    settings.FormCreate();
    MarkPortNotOpen();
    settings.BaudCombo.SetItemIndex(2);      // 4800
    settings.ByteSizeCombo.SetItemIndex(1);  // 8
    const auto device = MakeSystemSerialDevice(PortsFolder(iniFile));
    PortConnection port(settings, *device);
    port.Connect();

    std::string data(kBytes, '\0');
    for (std::size_t i = 0; i < kBytes; ++i) data[i] = static_cast<char>(' ' + i % 95);

    for (auto _ : state) {
        std::string received;
        std::u16string chunk;
        int reads = 0;
        int emptyReads = 0;
        const double processStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const double threadStart = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const auto start = std::chrono::steady_clock::now();
        instrument.Send(data, {kBytesPerSecond});
        while (received.size() < kBytes && emptyReads < 6) {
            ++reads;
            if (port.readMessage(chunk))
                received += Utf16ToCp1254(chunk);
            else
                ++emptyReads;
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double processCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
        const double readerCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadStart;
        state.SetIterationTime(wall);
        if (received != data) state.SkipWithError("the bytes received differ from those sent");

        const double line = static_cast<double>(kBytes) / kBytesPerSecond;
        state.counters["line_s"] = line;
        state.counters["wall_s"] = wall;
        state.counters["over_line_s"] = wall - line;
        state.counters["read_timeout_s"] = 0.65;
        state.counters["cpu_process_s"] = processCpu;
        state.counters["cpu_process_pct"] = 100.0 * processCpu / wall;
        state.counters["cpu_reader_pct"] = 100.0 * readerCpu / wall;
        state.counters["reads"] = reads;
    }
}

}  // namespace

BENCHMARK(BM_Receive10KBAt4800Baud)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
