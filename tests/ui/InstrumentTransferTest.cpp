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
const QString kNothingRead = QStringLiteral("Bilgi okunamadı! Lütfen bağlantıyı kontrol edip tekrar deneyin.");
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

// Empty reads while the instrument is started and a pause in the middle of a
// line, together six or more, end nothing: only empty reads in a row count.
// Without an end packet, the first empty read after a whole line ends it.
TEST_F(InstrumentTransferTest, PausesBeforeAndWithinATransferLoseNothing) {
    Start();
    const std::string sent = Bytes(Packets(CoordinateRecords(100)));
    ASSERT_GT(sent.size(), 4096u);  // the pending text is written out on the way
    const std::size_t half = (sent.size() + 1) / 2;
    ASSERT_NE(sent[half - 1], '\n');  // the pause falls inside a line
    std::jthread instrumentStarted;
    onPause = [&](int) {
        instrumentStarted = std::jthread([&] {
            std::this_thread::sleep_for(2400ms);  // about three empty reads
            instrument.Send(sent, {0, half, 2300ms});
        });
    };
    Run("mnuReadDevice");
    EXPECT_EQ(dialogs.errors, std::vector<QString>{});
    EXPECT_EQ(programDir.Read("cache.txt"), sent);
    EXPECT_EQ(Store().LinesCountXYZ, 100);
    EXPECT_EQ(Row(Store().gridXYZData, 100),
              (std::vector<std::u16string>{u"P100", u"   -89.500", u"  1234.567", u"   100.000"}));
    EXPECT_EQ(dialogs.messages, std::vector<QString>{Report(100, 0)});
}

TEST_F(InstrumentTransferTest, SilentInstrumentLeavesEverythingAsItWas) {
    Start();
    Store().memoDummyInput.Add(u"earlier");
    SetCoordinates(1, {u"K1", u"1.000", u"2.000", u"3.000"});
    Store().LinesCountXYZ = 1;
    const auto xyz = Snapshot(Store().gridXYZData);
    Run("mnuReadDevice");
    EXPECT_EQ(dialogs.messages, std::vector<QString>{kNothingRead});
    EXPECT_EQ(dialogs.errors, std::vector<QString>{});
    EXPECT_EQ(Counter().text(), "Alınan Paket sayısı: 6");
    EXPECT_TRUE(Counter().isHidden());
    EXPECT_TRUE(std::filesystem::exists(programDir.File("cache.txt")));
    EXPECT_EQ(programDir.Read("cache.txt"), "");
    EXPECT_EQ(StoreLines(), std::vector<std::u16string>{u"earlier"});
    EXPECT_EQ(Snapshot(Store().gridXYZData), xyz);
    EXPECT_EQ(Store().LinesCountXYZ, 1);
}

TEST_F(InstrumentTransferTest, CacheFileThatCantBeCreatedEndsTheReading) {
    Start();
    Main().ProgramFolder = QString::fromStdString(programDir.File("missing").string());
    Store().memoDummyInput.Add(u"earlier");
    Run("mnuReadDevice");
    EXPECT_EQ(dialogs.errors, std::vector<QString>{"No such file or directory."});
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(Counter().isHidden());
    EXPECT_EQ(StoreLines(), std::vector<std::u16string>{u"earlier"});
}

// The rest of the received text can't be written: the reading ends with that
// error and the cache file is closed all the same.
TEST_F(InstrumentTransferTest, FailedWriteOfTheRestEndsTheReadingAndClosesTheCacheFile) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Start();
    std::filesystem::create_symlink("/dev/full", programDir.File("cache.txt"));
    SendOnceConnected(Bytes(Packets(kCoordinate) + kEndPacket));
    Run("mnuReadDevice");
    EXPECT_EQ(dialogs.errors, std::vector<QString>{"No space left on device."});
    EXPECT_TRUE(Counter().isHidden());
    EXPECT_EQ(Store().memoDummyInput.Count(), 0);
    EXPECT_EQ(Store().LinesCountXYZ, 0);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ignored;
        EXPECT_NE(std::filesystem::read_symlink(fd.path(), ignored), "/dev/full");
    }
}

// Sending

// Turkish letters go out as Windows-1254 bytes, checksummed as such.
TEST_F(InstrumentTransferTest, SendingPutsHeaderPacketsAndEndPacketOnTheWire) {
    Start();
    SetCoordinates(1, {u"ŞEHİR-ÇÖĞ", u"1234.567", u"-89.50", u"100.000"});
    Store().SetCoordinateRecordCount(1);
    Run("mnuWriteDevice");

    const std::u16string packet = Packet(u"_+ŞEHİR-ÇÖĞ _ x-000089500_ y+001234567_ z+000100000_", 0);
    const std::string wire = kHeaderBytes + Bytes(packet) + "\x02\x04\r\n";
    EXPECT_EQ(WaitForWire(wire.size()), wire);
    EXPECT_NE(wire.find("_+\xDE" "EH\xDD" "R-\xC7\xD6\xD0 _"), std::string::npos);
    EXPECT_EQ(dialogs.errors, std::vector<QString>{});
    EXPECT_EQ(dialogs.messages, std::vector<QString>{kSent});
    EXPECT_EQ(pauses, (std::vector<int>{200, 300, 300}));
    EXPECT_EQ(StoreLines(), (std::vector<std::u16string>{u"\x02" u"F00F000\x03",
                                                         u"\x02Site1     +00001.000000200020-100000S113\x03",
                                                         packet.substr(0, 134), u"\x02\x04"}));
    EXPECT_TRUE(Counter().isHidden());
    EXPECT_EQ(Counter().text(), "Gönderilen Paket sayısı: 1");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The instrument hangs up once the header is through: the sending ends with
// the write error, and the raw text store holds the header only.
TEST_F(InstrumentTransferTest, SendingToAnInstrumentThatHangsUp) {
    Start();
    SetCoordinates(1, {u"P1", u"1.000", u"2.000", u"3.000"});
    Store().SetCoordinateRecordCount(1);
    Store().memoDummyInput.Add(u"earlier");
    onPause = [this](int milliseconds) {
        if (milliseconds != 300) return;
        onPause = nullptr;
        ASSERT_TRUE(instrument.WaitForReceived(kHeaderBytes.size(), 5s));
        instrument.HangUp();
    };
    Run("mnuWriteDevice");
    EXPECT_EQ(dialogs.errors, std::vector<QString>{"Port write error!"});
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(StoreLines(), (std::vector<std::u16string>{u"\x02" u"F00F000\x03",
                                                         u"\x02Site1     +00001.000000200020-100000S113\x03"}));
    EXPECT_TRUE(Counter().isHidden());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(instrument.Received(), kHeaderBytes);
}

// A value that is no number stops the sending before the port is opened.
TEST_F(InstrumentTransferTest, SendingRefusesAValueThatIsNoNumber) {
    Start();
    SetCoordinates(1, {u"P1", u"1", u"12a", u"3"});
    Store().SetCoordinateRecordCount(1);
    Store().memoDummyInput.Add(u"earlier");
    Run("mnuWriteDevice");
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(pauses.empty());
    EXPECT_TRUE(program->ModemPort->Settings().Button1Visible());  // never connected
    EXPECT_EQ(StoreLines(), std::vector<std::u16string>{u"earlier"});
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
