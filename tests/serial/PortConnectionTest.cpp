#include "core/Errors.h"
#include "serial/PortConnection.h"
#include "serial/TermiosDevice.h"

#include "PortFixture.h"

#include <chrono>
#include <filesystem>
#include <functional>

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

namespace {

constexpr int kCOM1 = 0, kCOM2 = 1, kLPT1 = 2, kCOM7 = 8;

class PortConnectionTest : public PortTest {
protected:
    void SelectPort(int index) {
        settings.PortCombo.SetItemIndex(index);
        settings.PortComboChange();
    }
    // Whether another opener could have the port now.
    bool PortIsFree(const std::string& name) {
        TermiosDevice other(dir.File("ports"));
        const int handle = other.Open(Utf8ToUtf16(name));
        other.Close(handle);
        return handle != INVALID_HANDLE_VALUE;
    }
    void ExpectNotOpen() {
        EXPECT_EQ(PortHandle, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(settings.Button1Visible());
        std::u16string text;
        EXPECT_EQ(ErrorOf([&] { port.readMessage(text); }), u"Connect to the port first!");
        EXPECT_EQ(ErrorOf([&] { port.sendMessage(u"x"); }), u"Connect to the port first!");
    }
    void ExpectClosedAsGone() {
        EXPECT_FALSE(port.IsOpen());
        EXPECT_TRUE(settings.Button1Visible());
        EXPECT_EQ(device.calls.back(), "close");
    }
    static double SecondsOf(const std::function<void()>& action) {
        const auto start = std::chrono::steady_clock::now();
        action();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};

}  // namespace

TEST_F(PortConnectionTest, ConnectOpensConfiguresPurgesOnceOnly) {
    settings.StopBitsCombo.SetItemIndex(2);
    port.Connect();
    EXPECT_EQ(device.calls, (Strings{"open COM1", "get", "set", "timeouts", "purge"}));
    const COMMTIMEOUTS& t = device.timeouts;
    EXPECT_EQ((std::vector<std::uint32_t>{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier,
                                          t.ReadTotalTimeoutConstant, t.WriteTotalTimeoutMultiplier,
                                          t.WriteTotalTimeoutConstant}),
              (std::vector<std::uint32_t>{50, 2, 50, 10, 50}));
    EXPECT_NE(PortHandle, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(settings.Button1Visible());
    const termios line = instrument.Line();
    EXPECT_EQ(cfgetospeed(&line), B4800);
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    EXPECT_FALSE(PortIsFree("COM1"));

    port.Connect();
    EXPECT_EQ(device.calls.size(), 5u);
}

TEST_F(PortConnectionTest, PortSelectionChangeClosesTheOldPortAndOpensTheNew) {
    InstrumentSimulator second;
    MapPort("COM2", second.DevicePath());
    port.Connect();
    SelectPort(kCOM2);
    EXPECT_TRUE(settings.Button1Visible());
    port.Connect();
    EXPECT_EQ(device.calls[5], "close");
    EXPECT_EQ(device.calls[6], "open COM2");
    EXPECT_TRUE(PortIsFree("COM1"));
    EXPECT_TRUE(port.sendMessage(u"hi"));
    EXPECT_TRUE(second.WaitForReceived(2, 5s));
    EXPECT_EQ(second.Received(), "hi");

    // A failed reopening leaves no port open, not even the old one, and the
    // next Connect tries again.
    MapPort("COM7", dir.File("no-such-device"));
    SelectPort(kCOM7);
    const std::u16string missing = u"Port COM7 açılamadı: No such file or directory";
    EXPECT_EQ(ErrorOf([&] { port.Connect(); }), missing);
    ExpectNotOpen();
    EXPECT_TRUE(PortIsFree("COM2"));
    EXPECT_EQ(ErrorOf([&] { port.Connect(); }), missing);
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "open COM7"), 2);
}

TEST_F(PortConnectionTest, RefusedLineSettingsCloseThePortAndConnectTriesAgain) {
    struct Case { const char* what; Selector* selector; int badIndex, goodIndex; };
    for (const Case& c : {Case{"byte size 9", &settings.ByteSizeCombo, 2, 1},
                          Case{"no parity selected", &settings.ParityCombo, -1, 0}}) {
        SCOPED_TRACE(c.what);
        c.selector->SetItemIndex(c.badIndex);
        EXPECT_EQ(ErrorOf([&] { port.Connect(); }), u"Port için yeni ayarlar uygulanamadı: 22");
        ExpectNotOpen();
        EXPECT_TRUE(PortIsFree("COM1"));
        c.selector->SetItemIndex(c.goodIndex);
        port.Connect();
        EXPECT_FALSE(settings.Button1Visible());
        SelectPort(kCOM1);
    }
}

// A pseudo-terminal refuses 7 data bits and parity from its second opening
// on: it has no line, so that is no failure.
TEST_F(PortConnectionTest, PseudoTerminalOpensAgainWithSettingsItCantCarry) {
    settings.ByteSizeCombo.SetItemIndex(0);  // 7
    settings.ParityCombo.SetItemIndex(2);    // even
    for (int opening = 1; opening <= 3; ++opening) {
        SCOPED_TRACE(opening);
        port.Connect();
        EXPECT_TRUE(port.IsOpen());
        SelectPort(kCOM1);
    }
}

TEST_F(PortConnectionTest, UnreadableStateAndFailedTimeoutsCloseThePort) {
    dir.Write("not-a-terminal", "");
    MapPort("LPT1", dir.File("not-a-terminal"));
    SelectPort(kLPT1);
    EXPECT_EQ(ErrorOf([&] { port.Connect(); }), u"Port durumu okunamadı: 25");
    ExpectNotOpen();
    EXPECT_TRUE(PortIsFree("LPT1"));

    SelectPort(kCOM1);
    device.failing = "timeouts";
    device.calls.clear();
    EXPECT_EQ(ErrorOf([&] { port.Connect(); }), u"Timeout ayarlari uygulanamadi: 5");
    EXPECT_EQ(device.calls, (Strings{"open COM1", "get", "set", "timeouts", "close"}));
    ExpectNotOpen();
}

TEST_F(PortConnectionTest, UnselectedBaudAndByteSizeKeepThePortsOwn) {
    settings.BaudCombo.SetItemIndex(1);  // 2400
    port.Connect();
    SelectPort(kCOM1);
    settings.BaudCombo.SetItemIndex(-1);
    settings.ByteSizeCombo.SetItemIndex(-1);
    port.Connect();
    EXPECT_EQ(settings.BaudCombo.Text(), u"2400");
    EXPECT_EQ(settings.ByteSizeCombo.Text(), u"8");  // a pseudo-terminal carries 8 bits
    const termios line = instrument.Line();
    EXPECT_EQ(cfgetospeed(&line), B2400);
}

TEST_F(PortConnectionTest, ReadTakesWhatCameUpTo300BytesLeavingOutNulBytes) {
    port.Connect();
    std::u16string text = u"old";
    const double seconds = SecondsOf([&] { EXPECT_FALSE(port.readMessage(text)); });
    EXPECT_EQ(text, u"");
    EXPECT_GT(seconds, 0.5);  // a silent line: empty after the read time-out
    EXPECT_LT(seconds, 3.0);

    instrument.Send(std::string(400, 'a'));
    ASSERT_TRUE(instrument.WaitUntilSent(5s));
    ASSERT_TRUE(port.readMessage(text));
    EXPECT_EQ(text, std::u16string(300, u'a'));
    ASSERT_TRUE(port.readMessage(text));
    EXPECT_EQ(text, std::u16string(100, u'a'));

    instrument.Send("abcdef", {0, 3, 400ms});  // a pause ends a read
    ASSERT_TRUE(port.readMessage(text));
    EXPECT_EQ(text, u"abc");
    ASSERT_TRUE(port.readMessage(text));
    EXPECT_EQ(text, u"def");

    instrument.Send(std::string("ab\0c\0\xDD\xFE", 7));
    ASSERT_TRUE(instrument.WaitUntilSent(5s));
    EXPECT_TRUE(port.readMessage(text));
    EXPECT_EQ(text, u"abcİş");
    instrument.Send(std::string(1, '\0'));
    ASSERT_TRUE(instrument.WaitUntilSent(5s));
    EXPECT_TRUE(port.readMessage(text));
    EXPECT_EQ(text, u"");
}

TEST_F(PortConnectionTest, SendWritesTheWholeTextInPiecesAndDropsUnreadInput) {
    port.Connect();
    instrument.Send("stale");
    ASSERT_TRUE(instrument.WaitUntilSent(5s));
    device.calls.clear();
    EXPECT_TRUE(port.sendMessage(u""));
    EXPECT_EQ(device.calls, Strings{"purge"});

    std::u16string text;
    for (int i = 0; i < 700; ++i) text.push_back(static_cast<char16_t>(u'A' + i % 26));
    text[5] = u'Ğ';
    text[6] = u'\0';
    EXPECT_TRUE(port.sendMessage(text));
    EXPECT_EQ(device.calls, (Strings{"purge", "purge", "write 300", "write 300", "write 100"}));
    ASSERT_TRUE(instrument.WaitForReceived(700, 5s));
    EXPECT_EQ(instrument.Received(), Utf16ToCp1254(text));

    std::u16string chunk;
    EXPECT_FALSE(port.readMessage(chunk));  // "stale" was dropped
}

TEST_F(PortConnectionTest, PartialWritesGoOnAndTheSixthEmptyWriteOfATextFails) {
    port.Connect();
    std::u16string packet;
    for (int i = 0; i < 136; ++i) packet.push_back(static_cast<char16_t>(u'0' + i % 10));
    device.writeLimits = {100};
    device.calls.clear();
    EXPECT_TRUE(port.sendMessage(packet));
    EXPECT_EQ(device.calls, (Strings{"purge", "write 136", "write 36"}));
    ASSERT_TRUE(instrument.WaitForReceived(136, 5s));

    // Empty writes count over the whole text, also after one that moved bytes.
    device.writeLimits = {0, 0, 10, 0, 0, 0, 0, 0};
    device.calls.clear();
    EXPECT_EQ(ErrorOf([&] { port.sendMessage(std::u16string(20, u'x')); }), u"Port write error!");
    EXPECT_EQ(device.calls, (Strings{"purge", "write 20", "write 20", "write 20", "write 10", "write 10",
                                     "write 10", "write 10"}));
    ASSERT_TRUE(instrument.WaitForReceived(146, 5s));
    EXPECT_EQ(instrument.Received(), Utf16ToCp1254(packet) + std::string(10, 'x'));
    EXPECT_NE(PortHandle, INVALID_HANDLE_VALUE);  // the port stays open
}

TEST_F(PortConnectionTest, StalledLineGivesWriteErrorAndWorksAgainLater) {
    port.Connect();
    instrument.StopReading();
    const std::size_t filled = instrument.FillLine();
    ASSERT_GT(filled, 0u);
    device.calls.clear();
    EXPECT_EQ(ErrorOf([&] { port.sendMessage(u"abcde"); }), u"Port write error!");
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "write 5"), 6);

    instrument.ResumeReading();
    EXPECT_TRUE(port.sendMessage(u"ok"));
    ASSERT_TRUE(instrument.WaitForReceived(filled + 2, 5s));
    const std::string received = instrument.Received();
    EXPECT_EQ(received.substr(received.size() - 2), "ok");
}

// A device that hangs up mid-transfer hands over what came before, then the
// port is closed and the next Connect opens the device anew.
TEST_F(PortConnectionTest, InstrumentHangingUpMidTransferClosesThePort) {
    port.Connect();
    std::string stream;
    for (int i = 0; i < 500; ++i) stream.push_back(static_cast<char>('a' + i % 26));
    instrument.Send(stream, {5000});
    instrument.HangUpAfterSending();

    std::string got;
    const double seconds = SecondsOf([&] {
        std::u16string chunk;
        for (int reads = 0; reads < 50 && port.IsOpen(); ++reads)
            if (port.readMessage(chunk)) got += Utf16ToCp1254(chunk);
    });
    EXPECT_LT(seconds, 10.0);
    // What the line still held when it hung up may be lost, but nothing is
    // altered on the way.
    EXPECT_EQ(got, stream.substr(0, got.size()));
    ExpectClosedAsGone();
    EXPECT_EQ(ErrorOf([&] { port.sendMessage(u"abc"); }), u"Port write error!");

    // Plugged in again, under the same name.
    InstrumentSimulator again;
    MapPort("COM1", again.DevicePath());
    port.Connect();
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.sendMessage(u"hi"));
    EXPECT_TRUE(again.WaitForReceived(2, 5s));
}

TEST_F(PortConnectionTest, WriteToAGoneDeviceClosesThePort) {
    port.Connect();
    instrument.HangUp();
    device.calls.clear();
    EXPECT_EQ(ErrorOf([&] { port.sendMessage(u"abc"); }), u"Port write error!");
    EXPECT_EQ(device.calls, (Strings{"purge", "write 3", "close"}));  // no waiting out five more
    ExpectClosedAsGone();
}
