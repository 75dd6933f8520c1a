// Reading from and sending to the instrument through the real main window,
// with a simulated instrument at the far end of a pseudo-terminal that the
// port name COM1 maps to.

#include "ModalHelper.h"
#include "PacketText.h"
#include "ProgramFixture.h"

#include "InstrumentSimulator.h"
#include "ui/QtDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace std::chrono_literals;
using namespace packet_text;

namespace {

const std::string kHeaderBytes = std::string("\x02") + "F00F000\x03\r\n" + "\x02" +
                                 "Site1     +00001.000000200020-100000S113\x03\r\n";
const QString kSent = QStringLiteral("Bilgi yükleme tamamlandı!");

// Message boxes and error boxes as the program shows them, recorded.
class RecordingQtDialogs : public QtDialogs {
public:
    std::vector<QString> messages;
    std::vector<QString> errors;
    void ShowMessage(const QString& text) override {
        messages.push_back(text);
        QtDialogs::ShowMessage(text);
    }
    void ShowError(const QString& text) override {
        errors.push_back(text);
        QtDialogs::ShowError(text);
    }
};

class InstrumentTransferTest : public ProgramTest {
protected:
    InstrumentSimulator instrument;
    TempDir programDir;
    std::vector<int> pauses;
    std::function<void(int)> onPause;

    void SetUp() override {
        std::filesystem::create_directories(dir.File("ports"));
        std::filesystem::create_symlink(instrument.DevicePath(), dir.File("ports") / "COM1");
        // COM1, 4800 baud, 8 data bits (Turkish letters need the eighth), 1
        // stop bit, no parity.
        StoreSetting("Port", 0);
        StoreSetting("BaudRate", 2);
        StoreSetting("ByteSize", 1);
        StoreSetting("StopBits", 0);
        StoreSetting("Parity", 0);
    }
    void Start(Dialogs* other = nullptr) {
        if (other) {
            program = std::make_unique<Program>(*other, settingsFile);
            program->StartUp();
        } else {
            StartUp();
        }
        Main().ProgramFolder = QString::fromStdString(programDir.Path().string());
        Main().Pause = [this](int milliseconds) {
            pauses.push_back(milliseconds);
            if (onPause) onPause(milliseconds);
        };
        Main().show();
    }
    void Run(const char* item) { Child<QAction>(item).trigger(); }
    // The instrument starts sending once the reading has connected: the
    // connection drops what the line held before.
    void SendOnceConnected(std::string bytes) {
        onPause = [this, bytes = std::move(bytes)](int milliseconds) {
            if (milliseconds == 100) instrument.Send(bytes);
        };
    }
    // Runs the menu item once the running command handles window messages.
    void RunNested(const char* item) {
        QMetaObject::invokeMethod(&Child<QAction>(item), "trigger", Qt::QueuedConnection);
    }
    RecordStore& Store() { return Main().store; }
    QLabel& Counter() { return Child<QLabel>("lblPacketsCount"); }
    std::vector<std::u16string> StoreLines() {
        std::vector<std::u16string> lines;
        for (std::int32_t i = 0; i < Store().memoDummyInput.Count(); ++i)
            lines.push_back(Store().memoDummyInput.Strings(i));
        return lines;
    }
    void SetCoordinates(std::int32_t row, std::vector<std::u16string> cells) {
        for (std::size_t col = 0; col < cells.size(); ++col)
            Store().gridXYZData.SetCell(static_cast<std::int32_t>(col), row, cells[col]);
    }
    std::string WaitForWire(std::size_t bytes) {
        EXPECT_TRUE(instrument.WaitForReceived(bytes, 10s));
        return instrument.Received();
    }
    static QString Report(int xyz, int yde) {
        return QStringLiteral("Dönüştürme işlemi tamamlandı.\r\n%1 XYZ kaydı ve %2 YDE kaydı bulundu.").arg(xyz).arg(yde);
    }
};

}  // namespace

// Reading

// A packet whose checksum does not match is converted all the same and named
// in a warning; the cache file holds what arrived, byte for byte, and
// converting it gives the same grids.
TEST_F(InstrumentTransferTest, ReadingEndsAtTheEndPacketAndConvertingItsCacheFileGivesTheSameGrids) {
    Start();
    std::u16string packets = Packets(std::u16string(kObservations) + std::u16string(kCoordinate));
    packets[136 + 120] = u'!';  // a filling blank of the second packet, checksum kept
    const std::string sent = Bytes(packets + kEndPacket);
    SendOnceConnected(sent);
    Run("mnuReadDevice");

    const QString warning = "Uyarı: 1 paketin sağlama toplamı hatalı (satır 2). Veriler bozuk olabilir, lütfen "
                            "tekrar okuyun.";
    EXPECT_EQ(dialogs.errors, std::vector<QString>{});
    EXPECT_EQ(dialogs.messages, (std::vector<QString>{Report(1, 3), warning}));
    EXPECT_EQ(pauses, std::vector<int>{100});
    EXPECT_EQ(Main().CacheFileName, programDir.Name("cache.txt"));
    EXPECT_EQ(programDir.Read("cache.txt"), sent);  // the end packet included
    const std::vector<std::u16string> lines = StoreLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], u"\x02\x04");
    EXPECT_EQ(Row(Store().gridXYZData, 1),
              (std::vector<std::u16string>{u"P1", u"   -89.500", u"  1234.567", u"   100.000"}));
    EXPECT_EQ(Store().comboDataFormat.ItemIndex(), DataFormatSelector::kYDE);
    EXPECT_TRUE(Counter().isHidden());
    EXPECT_TRUE(Counter().text().startsWith("Alınan Paket sayısı: "));

    const auto xyz = Snapshot(Store().gridXYZData);
    const auto yde = Snapshot(Store().gridYDEData);
    Store().SetCoordinateRecordCount(0);
    Store().gridYDEData.SetCell(1, 2, u"edited");
    Store().memoDummyInput.Clear();
    dialogs.fileAnswers.push_back({QString::fromStdU16String(Main().CacheFileName)});
    Run("mnuConvert");
    EXPECT_EQ(Snapshot(Store().gridXYZData), xyz);
    EXPECT_EQ(Snapshot(Store().gridYDEData), yde);
    EXPECT_EQ(StoreLines(), lines);
    EXPECT_EQ(dialogs.messages, (std::vector<QString>{Report(1, 3), warning, Report(1, 3), warning}));
}

// Sending

// The window's cursor and counter follow the sending; what it sends is
// checked in detail by the serial link's own tests.
TEST_F(InstrumentTransferTest, SendingPutsHeaderPacketsAndEndPacketOnTheWire) {
    Start();
    SetCoordinates(1, {u"P1", u"1234.567", u"-89.50", u"100.000"});
    Store().SetCoordinateRecordCount(1);
    Run("mnuWriteDevice");

    const std::u16string packet = Packet(u"_+P1        _ x-000089500_ y+001234567_ z+000100000_", 0);
    const std::string wire = kHeaderBytes + Bytes(packet) + "\x02\x04\r\n";
    EXPECT_EQ(WaitForWire(wire.size()), wire);
    EXPECT_EQ(dialogs.errors, std::vector<QString>{});
    EXPECT_EQ(dialogs.messages, std::vector<QString>{kSent});
    EXPECT_EQ(StoreLines().size(), 4u);
    EXPECT_TRUE(Counter().isHidden());
    EXPECT_EQ(Counter().text(), "Gönderilen Paket sayısı: 1");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Nesting

// While a transfer handles window messages, the commands that use the port,
// the cache file, the raw text store or the grids beep and do nothing; the
// port settings window still opens, but its Connect button is refused.
TEST_F(InstrumentTransferTest, CommandsChosenDuringASendingAreRefused) {
    Start();
    SetCoordinates(1, {u"P1", u"1.000", u"2.000", u"3.000"});
    Store().SetCoordinateRecordCount(1);
    const char* refused[] = {"mnuReadDevice", "mnuWriteDevice", "mnuConvert",   "mnuFileOpen",
                             "mnuSave",       "mnuSaveRaw",     "mnuSaveAll",   "mnuSetRecordCount"};
    for (const char* item : refused) RunNested(item);
    dialogs.fileAnswers.push_back({programDir.File("x.XYZ").string().c_str()});
    dialogs.inputAnswers.push_back("5");
    bool portWindowShown = false;
    int beepsInPortWindow = 0;
    RunNested("mnuPortConfig");
    WhenModal([&](QWidget& modal) {
        portWindowShown = &modal == program->ModemPort.get();
        QComboBox& ports = Child<QComboBox>(modal, "PortCombo");
        QTest::keyClick(&ports, Qt::Key_Down);  // another port: Connect shows again
        const int before = dialogs.beeps;
        Child<QPushButton>(modal, "Button1").click();
        beepsInPortWindow = dialogs.beeps - before;
        Child<QPushButton>(modal, "BitBtn2").click();
    });
    Run("mnuWriteDevice");

    EXPECT_EQ(dialogs.beeps, 9);
    EXPECT_EQ(beepsInPortWindow, 1);
    EXPECT_TRUE(portWindowShown);
    EXPECT_TRUE(dialogs.fileDialogsShown.empty());
    EXPECT_EQ(dialogs.inputAnswers.size(), 1u);
    EXPECT_EQ(dialogs.errors, std::vector<QString>{});
    EXPECT_EQ(dialogs.messages, std::vector<QString>{kSent});
    EXPECT_EQ(Store().LinesCountXYZ, 1);
    EXPECT_EQ(StoreLines().size(), 4u);
    EXPECT_FALSE(Main().TransferRunning());

    // Afterwards the commands run again.
    Run("mnuSetRecordCount");
    EXPECT_EQ(Store().LinesCountXYZ, 5);
    EXPECT_EQ(dialogs.beeps, 9);
}

// "Çı&kış" chosen during a transfer: the transfer runs to its end, with the
// real pauses, the message box it shows then closes at once, and the program
// ends after the command has returned.
TEST_F(InstrumentTransferTest, ExitDuringASendingTakesEffectWhenItHasReturned) {
    RecordingQtDialogs qtDialogs;
    Start(&qtDialogs);
    Main().Pause = Sleep;
    bool watchdogFired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        watchdogFired = true;
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(20s);

    bool sendReturned = false;
    std::chrono::steady_clock::duration elapsed{};
    QApplication::setQuitOnLastWindowClosed(true);
    QTimer::singleShot(0, [&] {
        RunNested("mnuClose");
        const auto start = std::chrono::steady_clock::now();
        Run("mnuWriteDevice");  // no records: one packet of "_" and blanks
        elapsed = std::chrono::steady_clock::now() - start;
        sendReturned = true;
    });
    const int exitCode = QApplication::exec();
    QApplication::setQuitOnLastWindowClosed(false);

    EXPECT_FALSE(watchdogFired);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(sendReturned);
    EXPECT_GE(elapsed, 800ms);  // 200 ms, 300 ms, and 300 ms after the packet
    EXPECT_FALSE(Main().isVisible());
    EXPECT_EQ(qtDialogs.messages, std::vector<QString>{kSent});
    EXPECT_TRUE(qtDialogs.errors.empty());
    const std::string wire =
        kHeaderBytes + "\x02_" + std::string(127, ' ') + "0" + "079" + "\x03\r\n" + "\x02\x04\r\n";
    EXPECT_EQ(WaitForWire(wire.size()), wire);
    EXPECT_EQ(Main().store.memoDummyInput.Count(), 4);
}
