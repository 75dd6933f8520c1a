#include "ui/ErrorDisplay.h"

#include "InstrumentSimulator.h"
#include "ModalHelper.h"
#include "ProgramFixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace {

// The port settings window alone, over the fixture's settings store.
class ModemPortTest : public ProgramTest {
protected:
    ErrorDisplay errors{dialogs};
    std::unique_ptr<TModemPort> port;

    void Create() {
        port = std::make_unique<TModemPort>(dialogs, errors, settingsFile);
        errors.Run([this] { port->FormCreate(); });
    }
    void StoreAll(int portIndex, int baud, int byteSize, int stopBits, int parity) {
        StoreSetting("Port", portIndex);
        StoreSetting("BaudRate", baud);
        StoreSetting("ByteSize", byteSize);
        StoreSetting("StopBits", stopBits);
        StoreSetting("Parity", parity);
    }
    QString Stored(const QString& name) { return StoredSetting(name).toString(); }
    QComboBox& Combo(const char* name) { return Child<QComboBox>(*port, name); }
    QPushButton& Button(const char* name) { return Child<QPushButton>(*port, name); }
    // The user picks the next item of a list with the keyboard.
    void PickNext(const char* combo) { QTest::keyClick(&Combo(combo), Qt::Key_Down); }
};

}  // namespace

// The form's lists hold the settings' items, in the same order: an index
// picked in one is the index stored for the other.
TEST_F(ModemPortTest, ListsMatchTheSettings) {
    Create();
    const PortSettings& settings = port->Settings();
    const std::pair<const char*, const Selector*> lists[] = {
        {"PortCombo", &settings.PortCombo},         {"BaudCombo", &settings.BaudCombo},
        {"ByteSizeCombo", &settings.ByteSizeCombo}, {"StopBitsCombo", &settings.StopBitsCombo},
        {"ParityCombo", &settings.ParityCombo}};
    for (const auto& [name, selector] : lists) {
        SCOPED_TRACE(name);
        QComboBox& combo = Combo(name);
        QStringList shown, items;
        for (int i = 0; i < combo.count(); ++i) shown << combo.itemText(i);
        for (const std::u16string& item : selector->Items()) items << QString::fromStdU16String(item);
        EXPECT_EQ(shown, items);
        EXPECT_EQ(combo.currentIndex(), 0);  // nothing stored: item 0
    }
    EXPECT_EQ(port->windowTitle(), "Port Configuration");
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

// "&Close" and Esc reload the stored settings and leave Connect visible; the
// window's own close control reloads nothing.
TEST_F(ModemPortTest, CloseReloadsTheStoredSettingsButTheCloseControlDoesNot) {
    StoreAll(4, 0, 1, 0, 0);
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
    EXPECT_EQ(Combo("PortCombo").currentText(), "COM3");
    EXPECT_TRUE(port->Settings().Button1Visible());
    EXPECT_EQ(Stored("Port"), "4");

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

// Enter presses the focused button: Connect (failing here) leaves the window
// open, "&Close" reloads the stored settings, "Save and Use" stores them.
TEST_F(ModemPortTest, EnterPressesTheFocusedButton) {
    std::filesystem::create_directories(dir.File("ports"));
    std::filesystem::create_symlink(dir.File("no-such-device"), dir.File("ports") / "COM1");
    StoreAll(0, 0, 0, 0, 0);
    Create();
    struct Case { const char* button; bool staysOpen; int shownBaud; const char* storedBaud; };
    for (const Case& c : {Case{"Button1", true, 1, "0"}, Case{"BitBtn2", false, 0, "0"},
                          Case{"BitBtn1", false, 1, "1"}}) {
        SCOPED_TRACE(c.button);
        bool open = false;
        WhenModal([&](QWidget& modal) {
            PickNext("BaudCombo");
            // Straight to the button: the window may not be active yet, and
            // a key the button leaves goes on to the window.
            Button(c.button).setFocus();
            QTest::keyClick(&Button(c.button), Qt::Key_Return);
            if ((open = modal.isVisible())) modal.close();
        });
        port->Execute();
        EXPECT_EQ(open, c.staysOpen);
        EXPECT_EQ(port->Settings().BaudCombo.ItemIndex(), c.shownBaud);
        EXPECT_EQ(Stored("BaudRate"), c.storedBaud);
    }
    EXPECT_EQ(dialogs.errors.size(), 1u);  // Connect's
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
    EXPECT_EQ(Combo("ByteSizeCombo").placeholderText(), "6");
    port->hide();
}
