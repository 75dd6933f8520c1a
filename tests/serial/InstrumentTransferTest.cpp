// Reading from and sending to the instrument over the port connection, without
// windows. Reads come from a script where timing does not matter, and from a
// simulated instrument on a pseudo-terminal where it does.

#include "core/Errors.h"
#include "serial/InstrumentReading.h"
#include "serial/InstrumentSending.h"
#include "serial/TermiosDevice.h"

#include "FakeWindowServices.h"
#include "PacketText.h"
#include "PortFixture.h"
#include "ScratchMount.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <thread>

#include <sys/resource.h>

using namespace std::chrono_literals;
using namespace packet_text;
using Texts = std::vector<std::u16string>;
using Reads = std::vector<std::optional<std::string>>;

namespace {

// Writes beyond the size lose what passes it and fail with EFBIG (instead of
// the signal that would end the process), until the limit is lifted.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        Lift();
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    void Lift() { ::setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
    void (*handler_)(int) = SIG_DFL;
};

// Two packets: three observation records, and a coordinate record that the
// second packet completes.
const std::string kDump = Bytes(Packets(std::u16string(kObservations) + std::u16string(kCoordinate)));
const std::string kFirst = kDump.substr(0, 136);
const std::string kSecond = kDump.substr(136);
const std::string kEnd = Bytes(kEndPacket);
const std::string kEarlierCache = "the last reception";

std::u16string Report(int xyz, int yde) {
    return u"Dönüştürme işlemi tamamlandı.\r\n" + Decimal(xyz) + u" XYZ kaydı ve " + Decimal(yde) +
           u" YDE kaydı bulundu.";
}

class TransferTest : public PortTest {
protected:
    FakeWindowServices window;
    RecordStore store{window};
    std::vector<int> pauses;
    std::function<void(int)> onPause;
    std::u16string cacheFile = dir.Name("cache.txt");

    TransferTest() {
        dir.Write("cache.txt", kEarlierCache);
        store.memoDummyInput.Add(u"earlier");
    }

    SleepFunction Pause() {
        return [this](int milliseconds) {
            pauses.push_back(milliseconds);
            if (onPause) onPause(milliseconds);
        };
    }
    // The instrument starts sending once the reading has connected: the
    // connection drops what the line held before.
    void SendOnceConnected(std::string bytes, InstrumentSimulator::Pace pace = {}) {
        onPause = [this, bytes = std::move(bytes), pace](int milliseconds) {
            if (milliseconds == 100) instrument.Send(bytes, pace);
        };
    }
    void Read() { ReadFromInstrument(store, port, Pause(), cacheFile); }
    Texts StoreLines() const {
        Texts lines;
        for (std::int32_t i = 0; i < store.memoDummyInput.Count(); ++i) lines.push_back(store.memoDummyInput.Strings(i));
        return lines;
    }
    long ReadsMade() const { return std::count(device.calls.begin(), device.calls.end(), "read"); }
};

}  // namespace

// Reading

// How a reading ends, and what it keeps: only EOT, six silent reads in a row
// or a device that has gone end it; what came is in the cache file and
// converted, with a warning when the end packet did not come.
TEST_F(TransferTest, ReadingEndsAtTheEndPacketAfterSixSilentReadsOrWhenTheDeviceGoes) {
    const std::string longDump = Bytes(Packets(CoordinateRecords(100))) + kEnd;
    struct Case {
        const char* what;
        Reads reads;
        long readsMade;
        Texts messages;
        bool portOpen = true;
    };
    const Reads silence(6, "");
    auto then = [](Reads first, const Reads& rest) {
        first.insert(first.end(), rest.begin(), rest.end());
        return first;
    };
    for (const Case& c : {
             Case{"end packet", {kFirst, "", "", kSecond + kEnd, "never read"}, 4, {Report(1, 3)}},
             Case{"pauses before and between packets",
                  then({"", "", "", "", "", kFirst, "", "", "", "", "", kSecond}, silence), 18,
                  {Report(1, 3), kIncompleteTransfer}},
             Case{"cut in the middle of a packet", then({kFirst, kSecond.substr(0, 60)}, silence), 8,
                  {Report(1, 3), kIncompleteTransfer}},
             Case{"device gone", {kFirst, kSecond, std::nullopt}, 3, {Report(1, 3), kIncompleteTransfer}, false},
             Case{"longer than the pending text", {longDump}, static_cast<long>(longDump.size() + 299) / 300,
                  {Report(100, 0)}},
             Case{"silent instrument", silence, 6, {kNothingRead}},
             Case{"NUL bytes only", then({std::string(3, '\0')}, silence), 7, {kNothingRead}},
             Case{"device gone before anything came", {std::nullopt}, 1, {kNothingRead}, false},
         }) {
        SCOPED_TRACE(c.what);
        device.reads.assign(c.reads.begin(), c.reads.end());
        device.calls.clear();
        window.calls.clear();
        window.messages.clear();
        dir.Write("cache.txt", kEarlierCache);
        store.memoDummyInput.Clear();
        store.memoDummyInput.Add(u"earlier");

        Read();
        EXPECT_EQ(ReadsMade(), c.readsMade);
        EXPECT_EQ(window.messages, c.messages);
        EXPECT_EQ(port.IsOpen(), c.portOpen);
        EXPECT_EQ(settings.Button1Visible(), !c.portOpen);
        EXPECT_EQ(window.calls.front(), "counter visible");
        EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), "counter hidden"), 1);
        EXPECT_NE(std::find(window.calls.begin(), window.calls.end(),
                            "caption Alınan Paket sayısı: " + std::to_string(c.readsMade)),
                  window.calls.end());

        // What was read: the script less what is left of it.
        std::string received, left;
        for (const auto& bytes : c.reads) received += bytes.value_or("");
        for (const auto& bytes : device.reads) left += bytes.value_or("");
        received.resize(received.size() - left.size());
        std::erase(received, '\0');
        if (received.empty()) {
            EXPECT_EQ(dir.Read("cache.txt"), kEarlierCache);  // the last reception is kept
            EXPECT_EQ(StoreLines(), Texts{u"earlier"});
        } else {
            EXPECT_EQ(dir.Read("cache.txt"), received);
            EXPECT_EQ(store.memoDummyInput.Text(), Cp1254ToUtf16(received) + (received.ends_with("\n") ? u"" : u"\r\n"));
        }
    }
}

// Line noise before the first packet that looks like a byte-order mark is
// data like the rest: the cache file is not read as UTF-16 or UTF-8.
TEST_F(TransferTest, NoiseLikeAByteOrderMarkIsNoEncoding) {
    for (const std::string noise : {"\xFF\xFE", "\xEF\xBB\xBF"}) {
        SCOPED_TRACE(noise.size());
        window.messages.clear();
        device.reads = {noise + Bytes(Packets(kCoordinate)) + kEnd};
        Read();
        ASSERT_FALSE(window.messages.empty());
        EXPECT_EQ(window.messages.front(), Report(1, 0));
        EXPECT_EQ(Row(store.gridXYZData, 1), (Texts{u"P1", u"   -89.500", u"  1234.567", u"   100.000"}));
        EXPECT_EQ(store.memoDummyInput.Strings(0).substr(0, noise.size()), Cp1254ToUtf16(noise));
    }
}

// A cache file that can't be written ends the reading with an error that
// names it; the last reception's file stays as it was.
TEST_F(TransferTest, CacheFileThatCantBeWrittenIsNamedAndTheLastOneKept) {
    // A write that fails part-way drops the new file, although the rest could
    // be written later: here the file size limit is lifted as the loop ends.
    {
        FileSizeLimit limit(6000);
        window.onCall = [&](const std::string& call) {
            if (call == "counter hidden") limit.Lift();
        };
        device.reads = {Bytes(Packets(CoordinateRecords(400))) + kEnd};
        EXPECT_EQ(ErrorOf([&] { Read(); }), u"File too large");
        window.onCall = nullptr;
    }
    EXPECT_EQ(dir.Read("cache.txt"), kEarlierCache);
    EXPECT_EQ(StoreLines(), Texts{u"earlier"});
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".korvex")) << entry.path();
    device.calls.clear();

    cacheFile = dir.Name("missing/cache.txt");
    EXPECT_EQ(ErrorOf([&] { Read(); }),
              u"Cannot create file \"" + cacheFile + u"\". No such file or directory");
    EXPECT_EQ(ReadsMade(), 0);
    EXPECT_EQ(StoreLines(), Texts{u"earlier"});

    ScratchMount disk(dir.File("disk"), "8k");
    if (!disk.Mounted()) GTEST_SKIP() << "a small file system of its own needs the superuser";
    cacheFile = dir.Name("disk/cache.txt");
    dir.Write("disk/cache.txt", kEarlierCache);
    // Full part-way: the reading fails with the disk's error.
    device.reads = {Bytes(Packets(CoordinateRecords(400))) + kEnd};
    EXPECT_EQ(ErrorOf([&] { Read(); }), u"No space left on device");
    EXPECT_EQ(dir.Read("disk/cache.txt"), kEarlierCache);
    EXPECT_EQ(window.calls.back(), "counter hidden");
    EXPECT_EQ(StoreLines(), Texts{u"earlier"});
    // Read-only: no reading starts.
    ASSERT_TRUE(disk.MakeReadOnly());
    device.calls.clear();
    EXPECT_EQ(ErrorOf([&] { Read(); }),
              u"Cannot create file \"" + cacheFile + u"\". Read-only file system");
    EXPECT_EQ(ReadsMade(), 0);
    EXPECT_EQ(dir.Read("disk/cache.txt"), kEarlierCache);
}

// On the line, in real time: a pause of two seconds in the middle of a
// transfer is no end of it.
TEST_F(TransferTest, PauseOfTwoSecondsMidTransferIsOneReading) {
    const std::string dump = Bytes(Packets(CoordinateRecords(20))) + kEnd;
    SendOnceConnected(dump, {0, dump.size() / 2, 2000ms});
    Read();
    EXPECT_EQ(window.messages, Texts{Report(20, 0)});
    EXPECT_EQ(dir.Read("cache.txt"), dump);
}

// An instrument that stops in the middle of a packet, then says nothing.
TEST_F(TransferTest, TransferStoppingMidPacketIsConvertedAndNamedIncomplete) {
    SendOnceConnected(kFirst + kSecond.substr(0, 60));
    Read();
    // The coordinate record that runs over the cut shows what came of it.
    EXPECT_EQ(window.messages, (Texts{Report(1, 3), kIncompleteTransfer}));
    EXPECT_EQ(dir.Read("cache.txt"), kFirst + kSecond.substr(0, 60));
    EXPECT_EQ(Row(store.gridYDEData, 3)[0], u"P8");
}

// The adapter is pulled out in the middle of a transfer, and plugged in again:
// the next reading opens the device anew and works.
TEST_F(TransferTest, DeviceRemovedMidTransferThenBack) {
    std::jthread unplug;
    onPause = [&](int milliseconds) {
        if (milliseconds != 100) return;
        instrument.Send(kFirst);
        unplug = std::jthread([this] {
            instrument.WaitUntilSent(5s);
            std::this_thread::sleep_for(1s);
            instrument.HangUp();
        });
    };
    Read();
    EXPECT_EQ(window.messages, (Texts{Report(1, 3), kIncompleteTransfer}));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(settings.Button1Visible());
    unplug.join();

    InstrumentSimulator pluggedIn;
    MapPort("COM1", pluggedIn.DevicePath());
    window.messages.clear();
    onPause = [&](int milliseconds) {
        if (milliseconds == 100) pluggedIn.Send(kDump + kEnd);
    };
    Read();
    EXPECT_EQ(window.messages, Texts{Report(1, 3)});
    EXPECT_EQ(dir.Read("cache.txt"), kDump + kEnd);
}

// Nothing came, or nothing but NUL bytes (a BREAK on the line reads as one).
TEST_F(TransferTest, SilentLineOrNulBytesOnlyKeepTheLastReception) {
    Read();
    EXPECT_EQ(pauses, std::vector<int>{100});
    SendOnceConnected(std::string(3, '\0'));
    Read();
    EXPECT_EQ(window.messages, (Texts{kNothingRead, kNothingRead}));
    EXPECT_EQ(dir.Read("cache.txt"), kEarlierCache);
    EXPECT_EQ(StoreLines(), Texts{u"earlier"});
    EXPECT_EQ(store.LinesCountXYZ, 0);
}

// The end packet's CR LF, left in the port by a reading that ended at its EOT,
// begins the next reading, and carries nothing.
TEST_F(TransferTest, LineEndLeftInThePortByTheLastReading) {
    SendOnceConnected(kDump + "\x02\x04");
    Read();
    instrument.Send("\r\n");
    ASSERT_TRUE(instrument.WaitUntilSent(5s));
    SendOnceConnected(kDump + kEnd);
    Read();
    EXPECT_EQ(window.messages, (Texts{Report(1, 3), Report(1, 3)}));
    EXPECT_EQ(dir.Read("cache.txt"), "\r\n" + kDump + kEnd);
}

// Sending

const std::string kHeaderBytes = std::string("\x02") + "F00F000\x03\r\n" + "\x02" +
                                 "Site1     +00001.000000200020-100000S113\x03\r\n";

// Turkish letters go out as Windows-1254 bytes, checksummed as such.
TEST_F(TransferTest, SendingPutsHeaderPacketsAndEndPacketOnTheWire) {
    store.gridXYZData.SetCell(0, 1, u"ŞEHİR-ÇÖĞ");
    store.gridXYZData.SetCell(1, 1, u"1234.567");
    store.gridXYZData.SetCell(2, 1, u"-89.50");
    store.gridXYZData.SetCell(3, 1, u"100.000");
    store.SetCoordinateRecordCount(1);
    // What goes out is what was checked, whatever is typed in meanwhile.
    window.onCall = [&](const std::string& call) {
        if (call == "messages") store.gridXYZData.SetCell(1, 1, u"typed in");
    };
    SendToInstrument(store, port, Pause());

    const std::u16string packet = Packet(u"_+ŞEHİR-ÇÖĞ _ x-000089500_ y+001234567_ z+000100000_", 0);
    const std::string wire = kHeaderBytes + Bytes(packet) + kEnd;
    ASSERT_TRUE(instrument.WaitForReceived(wire.size(), 10s));
    EXPECT_EQ(instrument.Received(), wire);
    EXPECT_EQ(window.messages, Texts{u"Bilgi yükleme tamamlandı!"});
    EXPECT_EQ(pauses, (std::vector<int>{200, 300, 300}));
    EXPECT_EQ(StoreLines(), (Texts{u"\x02" u"F00F000\x03", u"\x02Site1     +00001.000000200020-100000S113\x03",
                                   packet.substr(0, 134), u"\x02\x04"}));
    EXPECT_EQ(window.calls.back(), "message Bilgi yükleme tamamlandı!");
}

// The instrument goes away once the header is through: the sending ends with
// the write error, the port is closed for the next Connect to open anew, and
// the raw text store holds the header only.
TEST_F(TransferTest, SendingToADeviceThatGoesAway) {
    store.SetCoordinateRecordCount(1);
    onPause = [this](int milliseconds) {
        if (milliseconds != 300) return;
        onPause = nullptr;
        ASSERT_TRUE(instrument.WaitForReceived(kHeaderBytes.size(), 5s));
        instrument.HangUp();
    };
    EXPECT_EQ(ErrorOf([&] { SendToInstrument(store, port, Pause()); }), u"Port write error!");
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(StoreLines(), (Texts{u"\x02" u"F00F000\x03", u"\x02Site1     +00001.000000200020-100000S113\x03"}));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(settings.Button1Visible());
    EXPECT_EQ(window.calls.back(), "counter hidden");
}

// The adapter unplugged and plugged in again between commands: the next
// reading, and the sending after a second replug, open the device anew.
TEST_F(TransferTest, DeviceRepluggedWhileIdleIsOpenedAnewByTheNextCommand) {
    SendOnceConnected(kDump + kEnd);
    Read();
    instrument.HangUp();
    InstrumentSimulator second;
    MapPort("COM1", second.DevicePath());
    onPause = [&](int milliseconds) {
        if (milliseconds == 100) second.Send(kDump + kEnd);
    };
    Read();
    EXPECT_EQ(window.messages, (Texts{Report(1, 3), Report(1, 3)}));

    second.HangUp();
    InstrumentSimulator third;
    MapPort("COM1", third.DevicePath());
    onPause = nullptr;
    SendToInstrument(store, port, Pause());
    EXPECT_EQ(window.messages.back(), u"Bilgi yükleme tamamlandı!");
    EXPECT_TRUE(third.WaitForReceived(kHeaderBytes.size() + 136 + 4, 10s));
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "open COM1"), 3);
}

// A value that is no number stops the sending before the port is opened.
TEST_F(TransferTest, SendingRefusesAValueThatIsNoNumber) {
    store.gridXYZData.SetCell(2, 1, u"12a");
    store.SetCoordinateRecordCount(1);
    SendToInstrument(store, port, Pause());
    EXPECT_EQ(window.messages, Texts{u"Bilgi gönderilmedi: satır 1, Y sütunundaki \"12a\" bir sayı değil."});
    EXPECT_TRUE(pauses.empty());
    EXPECT_TRUE(device.calls.empty());  // never connected
    EXPECT_EQ(StoreLines(), Texts{u"earlier"});
}
