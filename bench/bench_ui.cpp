// The main window's file commands at full size, from the menu command to the
// grids shown again in the real window (offscreen): converting a 10 MB raw
// dump, opening a million-line XYZ file, and the memory a million coordinate
// records take in the grid.

#include "core/TextCodec.h"
#include "ui/Dialogs.h"
#include "ui/Program.h"

#include <QAction>
#include <QApplication>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

// Every file dialog confirms the one name; boxes show nothing.
class AnsweringDialogs : public Dialogs {
public:
    QString fileName;
    bool Execute(FileDialog& dialog) override {
        dialog.FileName = fileName;
        return true;
    }
    void ShowMessage(const QString&) override {}
    void ShowError(const QString& text) override { errors.push_back(text); }
    QString InputBox(const QString&, const QString&, const QString& defaultText) override { return defaultText; }
    void Beep() override {}
    std::vector<QString> errors;
};

class Workspace {
public:
    Workspace() : folder_(std::filesystem::temp_directory_path() / ("korvex-bench-ui-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
    }
    ~Workspace() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path File(const std::string& name) const { return folder_ / name; }

private:
    std::filesystem::path folder_;
};

Workspace& Files() {
    static Workspace workspace;
    return workspace;
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Digits(unsigned long value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

// About 10 MB of packet lines, as the instrument sends them: coordinate
// records and observation records in turn, cut into framed packets.
std::filesystem::path RawDump() {
    const std::filesystem::path path = Files().File("dump.txt");
    if (std::filesystem::exists(path)) return path;
    std::mt19937 random(3);
    std::string raw;
    const std::size_t packets = 10'000'000 / 136;
    while (raw.size() < packets * 128) {
        const unsigned n = static_cast<unsigned>(raw.size());
        std::string name = std::to_string(n % 1'000'000).insert(0, 1, 'P');
        name.resize(10, ' ');
        for (const std::string& piece :
             {std::string("_+"), name, std::string("_ x+"), Digits(random() % 1'000'000'000, 9), std::string("_ y-"),
              Digits(random() % 1'000'000'000, 9), std::string("_ z+"), Digits(random() % 100'000'000, 9),
              std::string("__+"), name, std::string("_ ?+"), Digits(random() % 100'000'000, 8), std::string("m"),
              Digits(random() % 3'600'000, 7), std::string("+"), Digits(random() % 3'600'000, 7),
              std::string("d+0012345t,1.500_")})
            raw += piece;
    }
    raw.resize(packets * 128, ' ');
    std::string dump;
    dump.reserve(packets * 136 + 4);
    for (std::size_t i = 0; i < packets; ++i) {
        const std::size_t start = dump.size();
        dump += '\x02';
        dump.append(raw, i * 128, 128);
        dump += static_cast<char>('0' + i % 10);
        unsigned checksum = 0;
        for (std::size_t k = start + 1; k < dump.size(); ++k) checksum ^= static_cast<unsigned char>(dump[k]);
        dump += Digits(checksum, 3);
        dump += "\x03\r\n";
    }
    dump += "\x02\x04\r\n";
    Write(path, dump);
    return path;
}

// A million coordinate records in the XYZ layout.
std::filesystem::path CoordinateFile() {
    const std::filesystem::path path = Files().File("million.XYZ");
    if (std::filesystem::exists(path)) return path;
    std::mt19937 random(5);
    std::string text;
    text.reserve(1'000'000 * 48);
    for (unsigned i = 1; i <= 1'000'000; ++i) {
        std::string name = std::to_string(i).insert(0, 1, 'P');
        name.resize(11, ' ');
        text += name;
        const auto value = [&](unsigned long integer, std::size_t width) {
            std::string number = std::to_string(integer);
            number += '.';
            number += Digits(random() % 1000, 3);
            text.append(width - number.size(), ' ');
            text += number;
        };
        value(4'000'000 + random() % 1'000'000, 11);
        value(400'000 + random() % 100'000, 12);
        value(random() % 3000, 12);
        text += "\r\n";
    }
    Write(path, text);
    return path;
}

// A started program with its main window shown.
struct RunningProgram {
    AnsweringDialogs dialogs;
    std::unique_ptr<Program> program;

    RunningProgram() {
        program = std::make_unique<Program>(dialogs, QString::fromStdString(Files().File("settings.ini").string()));
        program->StartUp();
        program->frmMain->show();
        QApplication::processEvents();
    }
    void Run(const char* item, const std::filesystem::path& file) {
        dialogs.fileName = QString::fromStdString(file.string());
        program->frmMain->findChild<QAction*>(QString::fromUtf8(item))->trigger();
        QApplication::processEvents();  // the grids shown again
    }
    bool Failed(benchmark::State& state) {
        if (dialogs.errors.empty()) return false;
        state.SkipWithError(dialogs.errors.front().toStdString().c_str());
        return true;
    }
};

void BM_ConvertRawDump(benchmark::State& state) {
    const std::filesystem::path dump = RawDump();
    RunningProgram running;
    for (auto _ : state) running.Run("mnuConvert", dump);
    if (running.Failed(state)) return;
    const RecordStore& store = running.program->frmMain->store;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(dump)) / 1e6;
    state.counters["records"] = store.LinesCountXYZ + store.LinesCountYDE;
}
BENCHMARK(BM_ConvertRawDump)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OpenMillionLineXYZFile(benchmark::State& state) {
    const std::filesystem::path file = CoordinateFile();
    RunningProgram running;
    for (auto _ : state) running.Run("mnuFileOpen", file);
    if (running.Failed(state)) return;
    state.counters["records"] = running.program->frmMain->store.LinesCountXYZ;
}
BENCHMARK(BM_OpenMillionLineXYZFile)->Unit(benchmark::kMillisecond)->Iterations(5);

// The heap a fresh window gains by opening the million-line file, per record.
void BM_MemoryPerCoordinateRecord(benchmark::State& state) {
    const std::filesystem::path file = CoordinateFile();
    double bytesPerRecord = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RunningProgram running;
        malloc_trim(0);
        const std::size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        running.Run("mnuFileOpen", file);
        state.PauseTiming();
        const std::size_t after = mallinfo2().uordblks;
        const std::int32_t records = running.program->frmMain->store.LinesCountXYZ;
        bytesPerRecord = records > 0 ? static_cast<double>(after - before) / records : 0;
        if (running.Failed(state)) return;
        state.ResumeTiming();
    }
    state.counters["bytes_per_record"] = bytesPerRecord;
}
BENCHMARK(BM_MemoryPerCoordinateRecord)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
