#pragma once
// The settings, the system's serial device as the program makes it (with a
// log of the calls made to it), and the connection, with COM1 mapped to a
// simulated instrument: 4800 baud, 8 data bits.

#include "core/Errors.h"
#include "serial/PortConnection.h"

#include "InstrumentSimulator.h"
#include "RecordingDevice.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

class PortTest : public ::testing::Test {
protected:
    TempDir dir;
    InstrumentSimulator instrument;
    QString iniFile = QString::fromStdString(dir.File("DovavIriduze.ini").string());
    PortSettings settings{iniFile, [](const std::u16string&) {}};
    std::unique_ptr<SerialDevice> system = MakeSystemSerialDevice(PortsFolder(iniFile));
    RecordingDevice device{*system};
    PortConnection port{settings, device};

    PortTest() {
        std::filesystem::create_directory(dir.File("ports"));
        MapPort("COM1", instrument.DevicePath());
        settings.FormCreate();
        MarkPortNotOpen();
        settings.BaudCombo.SetItemIndex(2);      // 4800
        settings.ByteSizeCombo.SetItemIndex(1);  // 8
    }

    // The message of the error that the operation raises.
    static std::u16string ErrorOf(const std::function<void()>& operation) {
        try {
            operation();
        } catch (const Exception& error) {
            return error.Message();
        }
        return u"(no error)";
    }

    // Maps the port name to a device, in place of what it stood for.
    void MapPort(const std::string& name, const std::filesystem::path& target) {
        std::filesystem::remove(dir.File("ports") / name);
        std::filesystem::create_symlink(target, dir.File("ports") / name);
    }
};
