#include "serial/TermiosDevice.h"

#include "InstrumentSimulator.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

using namespace std::chrono_literals;

namespace {

class TermiosDeviceTest : public ::testing::Test {
protected:
    TempDir dir;
    InstrumentSimulator instrument;
    TermiosDevice device{dir.File("ports")};

    TermiosDeviceTest() {
        std::filesystem::create_directory(dir.File("ports"));
        std::filesystem::create_symlink(instrument.DevicePath(), dir.File("ports") / "COM3");
    }
};

}  // namespace

TEST_F(TermiosDeviceTest, PortNamesMapToLinksOrToTheSystemsDevices) {
    EXPECT_EQ(device.DevicePath(u"COM3"), dir.File("ports") / "COM3");
    EXPECT_EQ(device.DevicePath(u"COM1"), "/dev/ttyS0");
    EXPECT_EQ(device.DevicePath(u"COM20"), "/dev/ttyS19");
    EXPECT_EQ(device.DevicePath(u"LPT2"), "/dev/lp1");
    EXPECT_EQ(device.DevicePath(u"COM0"), dir.File("ports") / "COM0");
    EXPECT_EQ(device.DevicePath(u"../COM3"), "");
    EXPECT_EQ(device.DevicePath(u""), "");  // a port selector without selection
    EXPECT_EQ(PortsFolder("/home/u/.config/Tanvel/DovavIriduze.ini"), "/home/u/.config/Tanvel/ports");

    EXPECT_EQ(device.SystemErrorText(), u"0");
    EXPECT_EQ(device.Open(u"../COM3"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(device.LastError(), ENOENT);
}

TEST_F(TermiosDeviceTest, SecondOpenerOfAPortIsRefusedUntilItCloses) {
    const int first = device.Open(u"COM3");
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    TermiosDevice other(dir.File("ports"));
    EXPECT_EQ(other.Open(u"COM3"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(other.LastError(), EBUSY);
    EXPECT_EQ(other.SystemErrorText(), u"Device or resource busy");
    EXPECT_EQ(device.Open(u"COM3"), INVALID_HANDLE_VALUE);  // this program too
    device.Close(first);
    const int again = other.Open(u"COM3");
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    other.Close(again);
}

TEST_F(TermiosDeviceTest, UnsupportedLineSettingsChangeNothing) {
    const int handle = device.Open(u"COM3");
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DCB dcb;
    ASSERT_TRUE(device.GetCommState(handle, dcb));
    dcb.BaudRate = 1200;
    dcb.StopBits = TWOSTOPBITS;
    ASSERT_TRUE(device.SetCommState(handle, dcb));

    for (auto change : {+[](DCB& d) { d.BaudRate = 12345; }, +[](DCB& d) { d.ByteSize = 9; },
                        +[](DCB& d) { d.StopBits = ONE5STOPBITS; }, +[](DCB& d) { d.StopBits = 255; },
                        +[](DCB& d) { d.Parity = 255; }, +[](DCB& d) { d.fBinary = false; }}) {
        DCB bad = dcb;
        bad.BaudRate = 4800;
        change(bad);
        EXPECT_FALSE(device.SetCommState(handle, bad));
        EXPECT_EQ(device.LastError(), EINVAL);
    }
    DCB now;
    ASSERT_TRUE(device.GetCommState(handle, now));
    EXPECT_EQ(now.BaudRate, 1200u);
    EXPECT_EQ(now.StopBits, TWOSTOPBITS);
    device.Close(handle);
    EXPECT_FALSE(device.GetCommState(handle, now));
    EXPECT_EQ(device.LastError(), EBADF);
}

TEST_F(TermiosDeviceTest, WriteToAStalledLineGivesUpAfterItsTimeout) {
    const int handle = device.Open(u"COM3");
    ASSERT_TRUE(device.SetCommTimeouts(handle, {50, 2, 50, 10, 50}));
    instrument.StopReading();
    instrument.FillLine();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device.Write(handle, "abcdefghij", 10), 0u);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GT(elapsed, 100ms);
    EXPECT_LT(elapsed, 3s);
    device.Close(handle);
}
