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
// something; it is never written in place, where a failed reading would cut
// it and two instances of the program could mix their readings in it.
// Characters are written one byte each, as they came. Once a write has
// failed, the new file is dropped: what it holds is no longer what came, and
// the old file stays as it was.
class CacheFile {
public:
    explicit CacheFile(const std::u16string& name) {
        try {
            file_.emplace(name, InPlace::Refused);
        } catch (const FileError& error) {
            throw EFCreateError(u"Cannot create file \"" + name + u"\". " + error.Message());
        }
    }
    // False once a write or the commit has failed; then neither is called
    // again.
    bool Usable() const { return file_.has_value(); }
    void Write(std::u16string_view text) {
        Step([&] { file_->Write(Utf16ToCp1254(text)); });
    }
    void Commit() {
        Step([&] { file_->Commit(); });
    }

private:
    template <class Action>
    void Step(Action action) {
        try {
            action();
        } catch (const FileError& error) {
            file_.reset();
            throw EInOutError(error.Message(), error.errorNumber);
        } catch (...) {
            file_.reset();
            throw;
        }
    }

    std::optional<OutputFile> file_;
};

// The receive loop. Gives what came, NUL bytes left out, which the cache file
// then holds too; empty when nothing came.
std::u16string ReceiveTransfer(PortConnection& port, WindowServices& window, const std::u16string& cacheFileName) {
    CacheFile cache(cacheFileName);
    window.SetCounterVisible(true);
    std::u16string chunk;
    std::u16string received;
    std::size_t written = 0;  // the part of it that is in the cache file
    int emptyReads = 0;
    std::int64_t passes = 0;
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
            received += chunk;
            if (received.size() - written > kPendingLimit) {
                cache.Write(std::u16string_view(received).substr(written));
                written = received.size();
            }
            if (chunk.find(framing::kEOT) != std::u16string::npos) break;
            if (!port.IsOpen()) break;  // the device has gone
            if (emptyReads > kMaxEmptyReads) break;
        }
    } catch (...) {
        failure = std::current_exception();
    }

    // However the loop ended, what came is kept, unless the cache file could
    // not take it. The first failure is the one reported.
    window.SetCounterVisible(false);
    if (!received.empty() && cache.Usable()) {
        try {
            cache.Write(std::u16string_view(received).substr(written));
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
    const std::u16string received = ReceiveTransfer(port, store.services, cacheFileName);
    if (received.empty()) {
        store.services.ShowMessage(kNothingRead);
        return;
    }
    // What this reading received, as the cache file holds it, and not the
    // file by its name: another instance of the program, reading in the same
    // folder, may have replaced it meanwhile.
    store.memoDummyInput.SetText(received);
    ConvertPacketLines(store);
}

void ConvertPacketLines(RecordStore& store) {
    const DecodedPackets decoded = DecodePackets(store.memoDummyInput);
    ConvertRawData(store, decoded.rawData);
    if (!decoded.mismatches.empty()) store.services.ShowMessage(ChecksumWarning(decoded.mismatches));
    if (!decoded.endPacket || decoded.cutLastPacket) store.services.ShowMessage(kIncompleteTransfer);
}
