#include "core/Errors.h"
#include "ui/ErrorDisplay.h"
#include "ui/ModemPortDialog.h"

#include "InstrumentSimulator.h"
#include "ModalHelper.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ModemPortTest : public ::testing::Test {
protected:
    TempDir dir;
    QString settingsFile = QString::fromStdString(dir.File("DovavIriduze.ini").string());
    ScriptedDialogs dialogs;
    ErrorDisplay errors{dialogs};
    std::unique_ptr<TModemPort> port;

    void Create() {
        port = std::make_unique<TModemPort>(dialogs, errors, settingsFile);
        errors.Run([this] { port->FormCreate(); });
    }
    void StoreAll(int portIndex, int baud, int byteSize, int stopBits, int parity) {
        Store("Port", portIndex);
        Store("BaudRate", baud);
        Store("ByteSize", byteSize);
        Store("StopBits", stopBits);
        Store("Parity", parity);
    }
    void Store(const QString& name, int value) {
        QSettings(settingsFile, QSettings::IniFormat).setValue("Software/Tanvel/DovavIriduze/" + name, value);
    }
    QString Stored(const QString& name) {
        return QSettings(settingsFile, QSettings::IniFormat).value("Software/Tanvel/DovavIriduze/" + name).toString();
    }
    QComboBox& Combo(const char* name) { return *port->findChild<QComboBox*>(name); }
    QPushButton& Button(const char* name) { return *port->findChild<QPushButton*>(name); }
    // The user picks the next item of a list with the keyboard.
    void PickNext(const char* combo) { QTest::keyClick(&Combo(combo), Qt::Key_Down); }
};

}  // namespace

TEST_F(ModemPortTest, FormMatchesTheSettings) {
    Create();
    const PortSettings& settings = port->Settings();
    const std::pair<const char*, const Selector*> lists[] = {
        {"PortCombo", &settings.PortCombo},         {"BaudCombo", &settings.BaudCombo},
        {"ByteSizeCombo", &settings.ByteSizeCombo}, {"StopBitsCombo", &settings.StopBitsCombo},
        {"ParityCombo", &settings.ParityCombo}};
    for (const auto& [name, selector] : lists) {
        QComboBox& combo = Combo(name);
        ASSERT_EQ(combo.count(), static_cast<int>(selector->Items().size())) << name;
        for (int i = 0; i < combo.count(); ++i)
            EXPECT_EQ(combo.itemText(i).toStdU16String(), selector->Items()[static_cast<std::size_t>(i)]) << name;
        EXPECT_FALSE(combo.isEditable());
        EXPECT_EQ(combo.currentIndex(), 0) << name;  // nothing stored: item 0
    }
    EXPECT_EQ(port->windowTitle(), "Port Configuration");
    EXPECT_EQ(port->size(), QSize(350, 220));
    EXPECT_TRUE(Button("BitBtn1").isDefault());
    EXPECT_FALSE(Button("BitBtn1").icon().isNull());
    EXPECT_EQ(Button("BitBtn2").text(), "&Close");
    EXPECT_FALSE(Button("Button1").isHidden());
}

TEST_F(ModemPortTest, SaveAndUseIsTheDefaultButtonAndStoresTheSelections) {
    Create();
    WhenModal([this](QWidget& modal) {
        PickNext("BaudCombo");
        PickNext("ParityCombo");
        PickNext("ParityCombo");
        QTest::keyClick(&modal, Qt::Key_Return);
    });
    port->Execute();
    EXPECT_FALSE(port->isVisible());
    EXPECT_EQ(port->Settings().BaudCombo.Text(), u"2400");
    EXPECT_EQ(Stored("Port"), "0");
    EXPECT_EQ(Stored("BaudRate"), "1");
    EXPECT_EQ(Stored("Parity"), "2");
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ModemPortTest, CloseReloadsTheStoredSettingsAndKeepsConnectVisible) {
    StoreAll(4, 2, 1, 0, 0);
    Create();
    port->Settings().HideButton1();  // a port is open
    bool connectHiddenWhenShown = false;
    WhenModal([&](QWidget&) {
        connectHiddenWhenShown = Button("Button1").isHidden();
        PickNext("PortCombo");
        EXPECT_EQ(port->Settings().PortCombo.Text(), u"COM4");
        EXPECT_FALSE(Button("Button1").isHidden());  // a new port: Connect again
        QTest::mouseClick(&Button("BitBtn2"), Qt::LeftButton);
    });
    port->Execute();
    EXPECT_TRUE(connectHiddenWhenShown);
    EXPECT_EQ(port->Settings().PortCombo.Text(), u"COM3");
    EXPECT_EQ(Combo("PortCombo").currentText(), "COM3");
    EXPECT_TRUE(port->Settings().Button1Visible());
    EXPECT_EQ(Stored("Port"), "4");
}

TEST_F(ModemPortTest, EscapeIsCloseButTheCloseControlReloadsNothing) {
    StoreAll(0, 0, 0, 0, 0);
    Create();
    WhenModal([this](QWidget& modal) {
        PickNext("BaudCombo");
        QTest::keyClick(&modal, Qt::Key_Escape);
    });
    port->Execute();
    EXPECT_EQ(port->Settings().BaudCombo.ItemIndex(), 0);

    WhenModal([this](QWidget& modal) {
        PickNext("BaudCombo");
        modal.close();
    });
    port->Execute();
    EXPECT_EQ(port->Settings().BaudCombo.ItemIndex(), 1);  // kept, unsaved
    EXPECT_EQ(Stored("BaudRate"), "0");
}

TEST_F(ModemPortTest, ConnectNeverClosesTheDialogAndItsErrorIsShownOverIt) {
    // COM1 maps to a device that is not there, then to the instrument.
    const std::filesystem::path ports = dir.File("ports");
    std::filesystem::create_directories(ports);
    std::filesystem::create_symlink(dir.File("no-such-device"), ports / "COM1");
    InstrumentSimulator instrument;
    Create();
    bool openDuringError = false;
    dialogs.onError = [&](const QString&) { openDuringError = port->isVisible(); };
    WhenModal([&](QWidget& modal) {
        QTest::mouseClick(&Button("Button1"), Qt::LeftButton);
        EXPECT_TRUE(modal.isVisible());
        EXPECT_FALSE(Button("Button1").isHidden());
        std::filesystem::remove(ports / "COM1");
        std::filesystem::create_symlink(instrument.DevicePath(), ports / "COM1");
        QTest::mouseClick(&Button("Button1"), Qt::LeftButton);
        EXPECT_TRUE(modal.isVisible());
        EXPECT_TRUE(Button("Button1").isHidden());
        modal.close();
    });
    port->Execute();
    EXPECT_EQ(dialogs.errors, std::vector<QString>{"Port COM1 açılamadı: No such file or directory."});
    EXPECT_TRUE(openDuringError);
    EXPECT_TRUE(port->sendMessage(u"ok"));
    EXPECT_TRUE(instrument.WaitForReceived(2, std::chrono::seconds(5)));
    EXPECT_EQ(instrument.Received(), "ok");
}

TEST_F(ModemPortTest, DialogClosesAfterAButtonWhoseHandlerRaised) {
    StoreAll(0, 0, 0, 0, 0);
    Create();
    QSettings(settingsFile, QSettings::IniFormat).remove("Software/Tanvel/DovavIriduze/StopBits");
    bool openDuringError = false;
    dialogs.onError = [&](const QString&) { openDuringError = port->isVisible(); };
    WhenModal([this](QWidget&) { QTest::mouseClick(&Button("BitBtn2"), Qt::LeftButton); });
    port->Execute();
    EXPECT_FALSE(port->isVisible());
    EXPECT_TRUE(openDuringError);
    EXPECT_EQ(dialogs.errors, std::vector<QString>{"Failed to get data for 'StopBits'"});
}

TEST_F(ModemPortTest, ListWithoutSelectionShowsTheValueInForce) {
    StoreAll(0, 5, 0, 0, 0);
    Create();
    port->Settings().ByteSizeCombo.SetText(u"6");
    port->show();
    EXPECT_EQ(Combo("BaudCombo").currentIndex(), -1);
    EXPECT_EQ(Combo("BaudCombo").placeholderText(), "");
    EXPECT_EQ(Combo("ByteSizeCombo").currentIndex(), -1);
    EXPECT_EQ(Combo("ByteSizeCombo").placeholderText(), "6");
    port->hide();
}
