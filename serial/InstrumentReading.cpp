#include "serial/InstrumentReading.h"

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/InstrumentPacket.h"
#include "core/RawRecordParser.h"
#include "core/TextCodec.h"

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

// The cache file of one reading: what arrives goes to a new file beside the
// old one, which replaces the old one only when the reading has received
// something. Characters are written one byte each, as they came.
class CacheFile {
public:
    explicit CacheFile(const std::u16string& name) {
        try {
            file_.emplace(name);
        } catch (const FileError& error) {
            throw EFCreateError(u"Cannot create file \"" + name + u"\". " + error.Message());
        }
    }
    void Write(std::u16string_view text) {
        Step([&] { file_->Write(Utf16ToCp1254(text)); });
    }
    void Commit() {
        Step([&] { file_->Commit(); });
    }

private:
    template <class Action>
    static void Step(Action action) {
        try {
            action();
        } catch (const FileError& error) {
            throw EInOutError(error.Message(), error.errorNumber);
        }
    }

    std::optional<OutputFile> file_;
};

// The receive loop. True when any byte came; the cache file then holds it.
bool ReceiveTransfer(PortConnection& port, WindowServices& window, const std::u16string& cacheFileName) {
    CacheFile cache(cacheFileName);
    window.SetCounterVisible(true);
    std::u16string chunk;
    std::u16string pending;
    int emptyReads = 0;
    std::int64_t passes = 0;
    bool received = false;
    std::exception_ptr failure;
    try {
        for (;;) {
            const bool delivered = port.readMessage(chunk);
            // Only empty reads in a row end a reading: a pause while the
            // surveyor starts the instrument, or between two packets, is no
            // end of it.
            emptyReads = delivered ? 0 : emptyReads + 1;
            ++passes;
            window.SetCounterCaption(u"Alınan Paket sayısı: " + DecimalText(passes));
            window.RepaintCounter();
            window.ProcessMessages();
            if (delivered) received = true;
            pending += chunk;
            if (pending.size() > kPendingLimit) {
                cache.Write(pending);
                pending.clear();
            }
            if (chunk.find(framing::kEOT) != std::u16string::npos) break;
            if (!port.IsOpen()) break;  // the device has gone
            if (emptyReads > kMaxEmptyReads) break;
        }
    } catch (...) {
        failure = std::current_exception();
    }

    // However the loop ended, what came is kept. The first failure is the
    // one reported.
    window.SetCounterVisible(false);
    if (received) {
        try {
            if (!pending.empty()) cache.Write(pending);
            cache.Commit();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
    return received;
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

void ReadFromInstrument(RecordStore& store, PortConnection& port, const SleepFunction& pause,
                        const std::u16string& cacheFileName) {
    port.Connect();
    pause(kPauseBeforeReading);
    if (!ReceiveTransfer(port, store.services, cacheFileName)) {
        store.services.ShowMessage(kNothingRead);
        return;
    }
    // Back as it was written: line noise that looks like a byte-order mark
    // is data like any other.
    store.memoDummyInput.LoadFromFile(cacheFileName, ByteOrderMarks::Ignore);
    ConvertPacketLines(store);
}

void ConvertPacketLines(RecordStore& store) {
    const DecodedPackets decoded = DecodePackets(store.memoDummyInput);
    ConvertRawData(store, decoded.rawData);
    if (!decoded.mismatches.empty()) store.services.ShowMessage(ChecksumWarning(decoded.mismatches));
    if (!decoded.endPacket || decoded.cutLastPacket) store.services.ShowMessage(kIncompleteTransfer);
}
