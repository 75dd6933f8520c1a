// "Bilgi &oku" receives one transfer from the instrument into the cache file
// beside the program, then loads, decodes and parses it into the grids;
// "&Dönüştür" does the same with a raw dump file the user picks.

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/InstrumentPacket.h"
#include "core/RawRecordParser.h"
#include "core/TextCodec.h"
#include "ui/MainWindow.h"
#include "ui/ModemPortDialog.h"
#include "ui/Program.h"

#include <QDir>

#include <exception>
#include <optional>

namespace {

constexpr int kPauseBeforeReading = 100;
// The received text is written to the cache file once it is longer than this.
constexpr std::size_t kPendingLimit = 4096;
// More empty reads in a row than this end a reading.
constexpr int kMaxEmptyReads = 5;
// Lines a checksum warning names before it leaves the rest out.
constexpr std::size_t kNamedLines = 20;

bool EndsWithCrLf(std::u16string_view text) { return text.ends_with(u"\r\n"); }

// Runs a step of the cache file; the file's failures are input/output errors.
template <class Step>
void CacheFileStep(Step step) {
    try {
        step();
    } catch (const FileError& error) {
        throw EInOutError(error.Message(), error.errorNumber);
    }
}

// Written as received: one byte per character.
void WriteReceived(OutputFile& file, std::u16string_view text) {
    CacheFileStep([&] { file.Write(Utf16ToCp1254(text)); });
}

std::u16string ChecksumWarning(const std::vector<ChecksumMismatch>& mismatches) {
    std::u16string lines;
    for (std::size_t i = 0; i < mismatches.size() && i < kNamedLines; ++i) {
        if (i > 0) lines += u", ";
        lines += DecimalText(mismatches[i].line);
    }
    if (mismatches.size() > kNamedLines) lines += u", ...";
    return u"Uyarı: " + DecimalText(static_cast<std::int64_t>(mismatches.size())) +
           u" paketin sağlama toplamı hatalı (satır " + lines +
           u"). Veriler bozuk olabilir, lütfen tekrar okuyun.";
}

}  // namespace

void TfrmMain::ConvertRawTextStore() {
    const DecodedPackets decoded = DecodePackets(store.memoDummyInput);
    ConvertRawData(store, decoded.rawData);
    if (!decoded.mismatches.empty()) ShowMessage(ChecksumWarning(decoded.mismatches));
}

void TfrmMain::mnuReadDeviceClick() {
    if (RefusedDuringTransfer()) return;
    const TransferScope transfer(*this);
    TModemPort& port = Port();
    port.Connect();

    std::u16string chunk;
    std::u16string pending;
    int emptyReads = 0;
    std::int64_t passes = 0;
    bool received = false;
    Pause(kPauseBeforeReading);

    SetCounterVisible(true);
    std::optional<OutputFile> cacheFile;
    std::exception_ptr failure;
    try {
        CacheFileName = QDir(ProgramFolder).filePath(QStringLiteral("cache.txt")).toStdU16String();
        CacheFileStep([&] { cacheFile.emplace(CacheFileName); });
        for (;;) {
            const bool delivered = port.readMessage(chunk);
            if (delivered) {
                // Only empty reads in a row end a reading: a pause while the
                // surveyor starts the instrument, or one in the middle of the
                // transfer, is no end of it.
                emptyReads = 0;
            } else {
                ++emptyReads;
                if (EndsWithCrLf(pending)) break;
            }
            ++passes;
            SetCounterCaption(u"Alınan Paket sayısı: " + DecimalText(passes));
            RepaintCounter();
            ProcessMessages();
            if (delivered) received = true;
            pending += chunk;
            if (pending.size() > kPendingLimit) {
                WriteReceived(*cacheFile, pending);
                pending.clear();
            }
            if (chunk.find(framing::kEOT) != std::u16string::npos) break;
            if (emptyReads > kMaxEmptyReads) break;
        }
    } catch (...) {
        failure = std::current_exception();
    }

    // Clean-up, however the reading ended. The first failure is the one
    // reported; the cache file is closed in any case.
    SetCounterVisible(false);
    try {
        if (cacheFile) {
            if (!pending.empty()) WriteReceived(*cacheFile, pending);
            CacheFileStep([&] { cacheFile->Commit(); });
        }
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    cacheFile.reset();
    if (failure) std::rethrow_exception(failure);

    if (!received) {
        ShowMessage(u"Bilgi okunamadı! Lütfen bağlantıyı kontrol edip tekrar deneyin.");
        return;
    }
    store.memoDummyInput.LoadFromFile(CacheFileName);
    ConvertRawTextStore();
}

void TfrmMain::mnuConvertClick() {
    if (RefusedDuringTransfer()) return;
    OpenDialog1.FilterIndex = kFilterAllFiles;
    if (!program_.dialogs.Execute(OpenDialog1)) return;
    store.memoDummyInput.LoadFromFile(OpenDialog1.FileName.toStdU16String());
    ConvertRawTextStore();
}
