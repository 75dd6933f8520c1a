// The file commands, the convert command and the record count through the
// real main window, with scripted dialogs and files in a temporary folder.

#include "PacketText.h"
#include "ProgramFixture.h"
#include "ScratchMount.h"
#include "core/TextCodec.h"

#include <QAction>
#include <QTableView>

#include <filesystem>

using namespace packet_text;

namespace {

const QString kInvalidCount = QStringLiteral("Girdiğiniz kayıt sayısı geçersiz! Lütfen tekrar deneyin.");

class FileCommandsTest : public ProgramTest {
protected:
    TempDir files;

    void SetUp() override { StartUp(); }
    void Run(const char* item) { Child<QAction>(item).trigger(); }
    RecordStore& Store() { return Main().store; }
    QString Path(const std::string& name) { return QString::fromStdString(files.File(name).string()); }
    void Choose(const std::string& name, int filterIndex = 0) { dialogs.fileAnswers.push_back({Path(name), filterIndex}); }
    void Cancel() { dialogs.fileAnswers.push_back({std::nullopt}); }
    const FileDialog& LastDialog() { return dialogs.fileDialogsShown.back(); }
    void SelectFormat(int index) {
        Store().comboDataFormat.SetItemIndex(index);
        Store().comboDataFormatChange();
    }
    void FillGrids() {
        const std::vector<std::u16string> xyz{u"P1", u"1234.567", u"-89.500", u"100.000"};
        for (std::size_t col = 0; col < 4; ++col) Store().gridXYZData.SetCell(static_cast<std::int32_t>(col), 1, xyz[col]);
        Store().LinesCountXYZ = 1;
        const std::vector<std::u16string> yde{u"S1", u"  0.0000", u"  0.0000", u"    0.000", u"1.600"};
        for (std::size_t col = 0; col < 5; ++col) Store().gridYDEData.SetCell(static_cast<std::int32_t>(col), 1, yde[col]);
        Store().LinesCountYDE = 1;
    }
    int ModelRows() { return Child<QTableView>("gridXYZData").model()->rowCount(); }
};

// One coordinate record in each layout, as the writers put it.
const std::string kXYZLine = "P1            1234.567     -89.500     100.000\r\n";
const std::string kYXZLine = "P1             -89.500    1234.567     100.000\r\n";
const std::string kYDELine = "   S1           0.0000    0.0000    0.000 1.600  \r\n";

}  // namespace

TEST_F(FileCommandsTest, OpenPicksTheReaderByTheEndOfTheName) {
    const std::string line = "A 1.000 2.000 3.000\r\n";
    struct Case {
        std::string name;
        bool xyz;
    };
    // The last three characters of the whole name count, in any case.
    const Case cases[] = {{"JOB.XyZ", true}, {"myxyz", true}, {"job.yxz", false}, {"job.xyz.bak", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        files.Write(c.name, line);
        Store().LinesCountXYZ = Store().LinesCountYDE = 0;
        SelectFormat(DataFormatSelector::kYXZ);
        Choose(c.name);
        Run("mnuFileOpen");
        EXPECT_EQ(Store().LinesCountXYZ, c.xyz ? 1 : 0);
        EXPECT_EQ(Store().LinesCountYDE, c.xyz ? 0 : 1);
        EXPECT_EQ(Store().comboDataFormat.ItemIndex(), c.xyz ? DataFormatSelector::kXYZ : DataFormatSelector::kYDE);
    }
    EXPECT_EQ(Store().gridXYZData.Cell(3, 1), u"3.000");
    EXPECT_EQ(dialogs.errors, std::vector<QString>{});
}

TEST_F(FileCommandsTest, OpenPresetsTheFilterByTheFormatAndOffersTheLastName) {
    files.Write("a.XYZ", "A 1 2 3\r\n");
    Choose("a.XYZ");
    Run("mnuFileOpen");
    EXPECT_EQ(LastDialog().FilterIndex, TfrmMain::kFilterXYZ);
    EXPECT_EQ(LastDialog().kind, FileDialog::Kind::Open);

    SelectFormat(DataFormatSelector::kYDE);
    Cancel();
    Run("mnuFileOpen");
    EXPECT_EQ(LastDialog().FilterIndex, TfrmMain::kFilterYDE);
    EXPECT_EQ(LastDialog().FileName, Path("a.XYZ"));
    EXPECT_EQ(Store().LinesCountXYZ, 1);  // the cancelled dialog changed nothing
    EXPECT_EQ(Store().LinesCountYDE, 0);
}

TEST_F(FileCommandsTest, SaveWritesTheSelectedLayout) {
    FillGrids();
    struct Case {
        int format;
        const char* name;
        QString ext;
        int filter;
        std::string content;
    };
    const Case cases[] = {{DataFormatSelector::kXYZ, "x.XYZ", "XYZ", TfrmMain::kFilterXYZ, kXYZLine},
                          {DataFormatSelector::kYXZ, "y.XYZ", "XYZ", TfrmMain::kFilterXYZ, kYXZLine},
                          {DataFormatSelector::kYDE, "d.YDE", "YDE", TfrmMain::kFilterYDE, kYDELine}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectFormat(c.format);
        Choose(c.name);
        Run("mnuSave");
        EXPECT_EQ(LastDialog().DefaultExt, c.ext);
        EXPECT_EQ(LastDialog().FilterIndex, c.filter);
        EXPECT_EQ(LastDialog().kind, FileDialog::Kind::Save);
        EXPECT_EQ(files.Read(c.name), c.content);
    }

    // Cancelled: no file. No format selected: no dialog at all.
    Cancel();
    Run("mnuSave");
    Store().comboDataFormat.SetItemIndex(-1);
    Run("mnuSave");
    EXPECT_EQ(dialogs.fileDialogsShown.size(), 4u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.Path()), {}), 3);
}

TEST_F(FileCommandsTest, SaveRawWritesTheRawTextStore) {
    Store().memoDummyInput.Add(u"a");
    Store().memoDummyInput.Add(u"ş");
    Choose("raw.txt");
    Run("mnuSaveRaw");
    EXPECT_EQ(LastDialog().DefaultExt, "txt");
    EXPECT_EQ(LastDialog().FilterIndex, TfrmMain::kFilterText);
    EXPECT_EQ(files.Read("raw.txt"), "a\r\n\xFE\r\n");
}

TEST_F(FileCommandsTest, SaveAllWritesBothLayoutsUnderTheStemOfTheChosenName) {
    FillGrids();
    SelectFormat(DataFormatSelector::kYXZ);  // still the XYZ layout
    Choose("job.txt");
    Run("mnuSaveAll");
    EXPECT_EQ(LastDialog().DefaultExt, "txt");
    EXPECT_EQ(LastDialog().FilterIndex, TfrmMain::kFilterText);
    EXPECT_EQ(files.Read("job.XYZ"), kXYZLine);
    EXPECT_EQ(files.Read("job.YDE"), kYDELine);
    EXPECT_FALSE(std::filesystem::exists(files.File("job.txt")));

    // Three characters go, whatever they are; empty grids give empty files.
    Store().LinesCountXYZ = Store().LinesCountYDE = 0;
    Choose("job.x");
    Run("mnuSaveAll");
    EXPECT_EQ(files.Read("joXYZ"), "");
    EXPECT_EQ(files.Read("joYDE"), "");
    EXPECT_TRUE(std::filesystem::exists(files.File("joYDE")));
}

// Either name failing, neither file changes.
TEST_F(FileCommandsTest, SaveAllChangesNeitherFileWhenOneFails) {
    FillGrids();
    std::filesystem::create_directory(files.File("job.XYZ"));
    Choose("job.txt");
    Run("mnuSaveAll");
    std::filesystem::create_directory(files.File("two.YDE"));
    files.Write("two.XYZ", "old");
    Choose("two.txt");
    Run("mnuSaveAll");
    EXPECT_EQ(dialogs.errors, std::vector<QString>(2, "Is a directory."));
    EXPECT_FALSE(std::filesystem::exists(files.File("job.YDE")));
    EXPECT_EQ(files.Read("two.XYZ"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.Path()), {}), 3);
}

// On a full disk each save shows the system's reason and keeps the old files
// as they were, with nothing new beside them; saving both grids changes
// neither file, also when the coordinates fit and the observations don't.
TEST_F(FileCommandsTest, SavesOntoAFullDiskKeepThePreviousFiles) {
    ScratchMount disk(files.File("disk"), "64k");
    if (!disk.Mounted()) GTEST_SKIP() << "no small file system could be mounted";
    for (std::int32_t row = 1; row <= 3000; ++row) {
        Store().gridXYZData.SetCell(0, row, u"P" + DecimalText(row));
        Store().memoDummyInput.Add(std::u16string(40, u'x'));
    }
    Store().LinesCountXYZ = 3000;
    for (const char* name : {"job.XYZ", "job.YDE", "raw.txt"}) TempDir::WriteFile(disk.Path() / name, name);
    Choose("disk/job.XYZ");
    Run("mnuSave");
    Choose("disk/raw.txt");
    Run("mnuSaveRaw");
    Choose("disk/job.txt");
    Run("mnuSaveAll");
    Store().LinesCountXYZ = 1;
    for (std::int32_t row = 1; row <= 3000; ++row) Store().gridYDEData.SetCell(0, row, u"S" + DecimalText(row));
    Store().LinesCountYDE = 3000;
    Choose("disk/job.txt");
    Run("mnuSaveAll");
    EXPECT_EQ(dialogs.errors, std::vector<QString>(4, "No space left on device."));
    for (const char* name : {"job.XYZ", "job.YDE", "raw.txt"}) EXPECT_EQ(TempDir::ReadFile(disk.Path() / name), name);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.Path()), {}), 3);
}

TEST_F(FileCommandsTest, RecordCountAnswers) {
    struct Case {
        std::optional<QString> answer;  // nullopt: Cancel
        std::int32_t count;             // afterwards
        std::int32_t rowCount;
        bool refused;
    };
    const Case cases[] = {
        {"12", 12, 13, false},         {"12 ", 12, 13, true},     {"abc", 12, 13, true},
        {std::nullopt, 12, 13, false}, {"1000001", 12, 13, true}, {"1000000", 1'000'000, 1'000'001, false},
        {"-3", -3, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.value_or("(cancel)").toStdString());
        dialogs.messages.clear();
        dialogs.inputAnswers.push_back(c.answer);
        Run("mnuSetRecordCount");
        EXPECT_EQ(Store().LinesCountXYZ, c.count);
        EXPECT_EQ(Store().gridXYZData.RowCount(), c.rowCount);
        EXPECT_EQ(dialogs.messages, c.refused ? std::vector<QString>{kInvalidCount} : std::vector<QString>{});
    }
    EXPECT_EQ(dialogs.errors, std::vector<QString>{});
    EXPECT_EQ(Store().gridYDEData.RowCount(), 5);
}

// Cancel gives the current count back, which is applied again: the spare rows
// a conversion added go.
TEST_F(FileCommandsTest, RecordCountCancelCutsSpareRows) {
    Store().ConversionReset();
    for (std::int32_t row = 1; row <= 3; ++row) Store().gridXYZData.SetCell(0, Store().AddRecord(GridKind::XYZ), u"Q");
    ASSERT_EQ(Store().gridXYZData.RowCount(), 10);
    Run("mnuSetRecordCount");
    EXPECT_EQ(Store().gridXYZData.RowCount(), 4);
    EXPECT_EQ(Store().LinesCountXYZ, 3);
    EXPECT_EQ(ModelRows(), 3);
}

TEST_F(FileCommandsTest, ConvertLoadsDecodesAndParsesTheChosenFile) {
    const std::u16string raw = std::u16string(kObservations) + std::u16string(kCoordinate);
    files.Write("dump.txt", Bytes(Packets(raw) + kEndPacket));
    Choose("dump.txt");
    Run("mnuConvert");
    EXPECT_EQ(LastDialog().FilterIndex, TfrmMain::kFilterAllFiles);
    EXPECT_EQ(Store().memoDummyInput.Count(), 3);
    EXPECT_EQ(Store().LinesCountXYZ, 1);
    EXPECT_EQ(Store().LinesCountYDE, 3);
    EXPECT_EQ(dialogs.messages,
              std::vector<QString>{"Dönüştürme işlemi tamamlandı.\r\n1 XYZ kaydı ve 3 YDE kaydı bulundu."});

    // Cancelled: nothing changes.
    Cancel();
    Run("mnuConvert");
    EXPECT_EQ(Store().memoDummyInput.Count(), 3);
    EXPECT_EQ(Store().LinesCountYDE, 3);
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // A dump without its end packet is converted, and said to be incomplete.
    files.Write("cut.txt", Bytes(Packets(raw)));
    Choose("cut.txt");
    Run("mnuConvert");
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2], "Uyarı: Aktarımın bitiş paketi gelmedi; veriler eksik olabilir, lütfen tekrar okuyun.");
    EXPECT_EQ(Store().LinesCountYDE, 3);
}

TEST_F(FileCommandsTest, ConvertNamesTwentyBadChecksumsAndLeavesOutTheRest) {
    std::u16string packets = Packets(std::u16string(25 * 128, u' '));
    for (std::size_t i = 0; i < 25; ++i) packets[i * 136 + 130] = u'9';  // the checksum field's first digit
    files.Write("bad.txt", Bytes(packets + kEndPacket));
    Choose("bad.txt");
    Run("mnuConvert");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1],
              "Uyarı: 25 paketin sağlama toplamı hatalı (satır 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, "
              "16, 17, 18, 19, 20, ...). Veriler bozuk olabilir, lütfen tekrar okuyun.");
}

// A raw dump saved after a sending begins with the short header lines, which
// carry no checksum field: the decoding stops, the grids stay as they were.
TEST_F(FileCommandsTest, ConvertOfAFileThatIsNoPacketDumpChangesNoGrid) {
    FillGrids();
    files.Write("sent.txt", "\x02" "F00F000\x03\r\n");
    Choose("sent.txt");
    Run("mnuConvert");
    EXPECT_EQ(dialogs.errors, std::vector<QString>{"'''' is not a valid integer value."});
    EXPECT_EQ(Store().memoDummyInput.Count(), 1);
    EXPECT_EQ(Store().LinesCountXYZ, 1);
    EXPECT_EQ(Store().gridXYZData.Cell(0, 1), u"P1");
}
