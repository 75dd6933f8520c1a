#include "core/CoordinateFiles.h"
#include "core/Errors.h"
#include "core/TextCodec.h"

#include "FakeWindowServices.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using Row = std::vector<std::u16string>;

// Texts are written with "␣" for each blank, as the layouts are documented.
std::u16string S(std::u16string text) {
    for (char16_t& ch : text)
        if (ch == u'␣') ch = u' ';
    return text;
}

// A file's bytes from lines given as UTF-16 text, each ended with CR LF.
std::string FileOf(std::initializer_list<std::u16string> lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += Utf16ToCp1254(S(line)) + "\r\n";
    return bytes;
}

struct Files {
    TempDir dir;
    FakeWindowServices window;
    RecordStore store{window};

    void Fill(StringGrid& grid, std::int32_t& count, std::initializer_list<Row> rows) {
        std::int32_t row = 0;
        for (const Row& cells : rows) {
            ++row;
            for (std::size_t col = 0; col < cells.size(); ++col)
                grid.SetCell(static_cast<std::int32_t>(col), row, S(cells[col]));
        }
        count = row;
    }
    void FillXYZ(std::initializer_list<Row> rows) { Fill(store.gridXYZData, store.LinesCountXYZ, rows); }
    void FillYDE(std::initializer_list<Row> rows) { Fill(store.gridYDEData, store.LinesCountYDE, rows); }

    std::vector<Row> Rows(const StringGrid& grid, std::int32_t count) const {
        std::vector<Row> rows;
        for (std::int32_t row = 1; row <= count; ++row) {
            Row cells;
            for (std::int32_t col = 0; col < grid.ColCount(); ++col) cells.push_back(grid.Cell(col, row));
            rows.push_back(cells);
        }
        return rows;
    }
    std::vector<Row> XYZ() const { return Rows(store.gridXYZData, store.LinesCountXYZ); }
    std::vector<Row> YDE() const { return Rows(store.gridYDEData, store.LinesCountYDE); }

    std::vector<Row> LoadXYZ(const std::string& bytes) {
        dir.Write("in.txt", bytes);
        LoadXYZFile(store, dir.Name("in.txt"));
        return XYZ();
    }
    std::vector<Row> LoadYDE(const std::string& bytes) {
        dir.Write("in.txt", bytes);
        LoadYDEFile(store, dir.Name("in.txt"));
        return YDE();
    }
};

Row R(std::initializer_list<std::u16string> cells) {
    Row row;
    for (const auto& cell : cells) row.push_back(S(cell));
    return row;
}

const std::u16string kEight = u"        ";
const std::u16string kFive = u"     ";

}  // namespace

TEST(CoordinateFiles, XYZAndYXZLayouts) {
    Files files;
    files.FillXYZ({{u"P1", u"␣␣␣-89.500", u"␣␣1234.567", u"␣␣␣100.000"},
                   {u"Q2", u"␣␣␣␣1234.567", u"␣␣␣␣␣-12.345", u"␣␣␣␣␣100.000"}});
    SaveXYZFile(files.store, files.dir.Name("a.xyz"));
    const std::string xyz = FileOf({u"P1␣␣␣␣␣␣␣␣␣␣␣␣␣-89.500␣␣␣␣1234.567␣␣␣␣␣100.000",
                                    u"Q2␣␣␣␣␣␣␣␣␣␣␣␣1234.567␣␣␣␣␣-12.345␣␣␣␣␣100.000"});
    EXPECT_EQ(files.dir.Read("a.xyz"), xyz);
    EXPECT_EQ(files.LoadXYZ(xyz), (std::vector<Row>{R({u"P1", u"-89.500", u"1234.567", u"100.000"}),
                                                    R({u"Q2", u"1234.567", u"-12.345", u"100.000"})}));

    files.store.LinesCountXYZ = 1;
    SaveYXZFile(files.store, files.dir.Name("a.yxz"));
    const std::string yxz = FileOf({u"P1␣␣␣␣␣␣␣␣␣␣␣␣1234.567␣␣␣␣␣-89.500␣␣␣␣␣100.000"});
    EXPECT_EQ(files.dir.Read("a.yxz"), yxz);
    EXPECT_EQ(files.LoadXYZ(yxz), (std::vector<Row>{R({u"P1", u"1234.567", u"-89.500", u"100.000"})}));
    EXPECT_EQ(files.LoadYDE(yxz), (std::vector<Row>{R({u"P1", u"1234.567", u"␣-89.500", kEight, u"100.000"})}));
}

TEST(CoordinateFiles, YDELayoutBringsPiecesBackRightAligned) {
    Files files;
    files.FillYDE({{u"S1", u"␣␣0.0000", u"␣␣0.0000", u"␣␣␣␣0.000", u"1.600"},
                   {u"P7", u"123.4567", u"␣90.1234", u"␣␣␣12.345", u"1.500"},
                   {u"P8", u"␣45.0000", u"090.1234", u"␣␣␣␣*****", u"1.550"}});
    SaveYDEFile(files.store, files.dir.Name("a.yde"));
    const std::string yde = FileOf({u"␣␣␣S1␣␣␣␣␣␣␣␣␣␣␣0.0000␣␣␣␣0.0000␣␣␣␣0.000␣1.600␣␣",
                                    u"␣␣␣P7␣␣␣␣␣␣␣␣␣123.4567␣␣␣90.1234␣␣␣12.345␣1.500␣␣",
                                    u"␣␣␣P8␣␣␣␣␣␣␣␣␣␣45.0000␣␣090.1234␣␣␣␣*****␣1.550␣␣"});
    EXPECT_EQ(files.dir.Read("a.yde"), yde);
    EXPECT_EQ(files.LoadYDE(yde), (std::vector<Row>{R({u"S1", u"␣␣0.0000", u"␣␣0.0000", u"␣␣␣0.000", u"1.600"}),
                                                    R({u"P7", u"123.4567", u"␣90.1234", u"␣␣12.345", u"1.500"}),
                                                    R({u"P8", u"␣45.0000", u"090.1234", u"␣␣␣*****", u"1.550"})}));
}

TEST(CoordinateFiles, LongTextsAndEmptyFields) {
    Files files;
    files.FillXYZ({{u"STATION-0001", u"-1234.567890", u"567.890", u"12.345"},
                   {u"P␣5", u"10.000", u"20.000", u"30.000"},
                   {u"P6", u"", u"20.000", u"30.000"}});
    SaveXYZFile(files.store, files.dir.Name("long.xyz"));
    const std::string xyz = FileOf({u"STATION-0001-1234.567890␣␣␣␣␣567.890␣␣␣␣␣␣12.345",
                                    u"P␣5␣␣␣␣␣␣␣␣␣␣␣␣␣10.000␣␣␣␣␣␣20.000␣␣␣␣␣␣30.000",
                                    u"P6" + std::u16string(26, u' ') + u"20.000␣␣␣␣␣␣30.000"});
    EXPECT_EQ(files.dir.Read("long.xyz"), xyz);
    EXPECT_EQ(files.LoadXYZ(xyz), (std::vector<Row>{R({u"STATION-0001-1234.567890", u"567.890", u"", u"12.345"}),
                                                    R({u"P", u"5", u"10.000", u"20.000␣␣␣␣␣␣30.000"}),
                                                    R({u"P6", u"20.000", u"", u"30.000"})}));

    files.FillYDE({{u"P9", u"123.4567", u"", u"␣␣␣12.345", u"1.5"},
                   {u"LONGNAME-1234", u"1234.56789", u"␣90.1234", u"␣␣␣12.345", u"1.500"}});
    SaveYDEFile(files.store, files.dir.Name("long.yde"));
    const std::string yde = FileOf({u"␣␣␣P9␣␣␣␣␣␣␣␣␣123.4567␣␣␣␣␣␣␣␣␣␣␣␣␣12.345␣␣␣1.5␣␣",
                                    u"␣␣␣LONGNAME-1234␣1234.56789␣␣␣90.1234␣␣␣12.345␣1.500␣␣"});
    EXPECT_EQ(files.dir.Read("long.yde"), yde);
    EXPECT_EQ(files.LoadYDE(yde), (std::vector<Row>{R({u"P9", u"123.4567", u"␣␣12.345", kEight, u"␣␣1.5"}),
                                                    R({u"LONGNAME-1234", u"1234.56789", u"␣90.1234", u"␣␣12.345", u"1.500"})}));
}

TEST(CoordinateFiles, WritersWriteTheCountedRowsOnly) {
    Files files;
    files.dir.Write("old.xyz", "old content");
    files.store.gridXYZData.SetCell(0, 1, u"P1");
    files.store.LinesCountXYZ = -2;
    SaveXYZFile(files.store, files.dir.Name("old.xyz"));
    EXPECT_EQ(files.dir.Read("old.xyz"), "");

    files.store.LinesCountXYZ = 0;
    files.store.LinesCountYDE = 2;
    SaveYXZFile(files.store, files.dir.Name("empty.yxz"));
    EXPECT_EQ(files.dir.Read("empty.yxz"), "");
    SaveYDEFile(files.store, files.dir.Name("blank.yde"));
    EXPECT_EQ(files.dir.Read("blank.yde"), FileOf({std::u16string(49, u' '), std::u16string(49, u' ')}));

    // Point numbers keep their own blanks; values lose control characters;
    // text goes out in Windows-1254, a character it lacks as "?".
    files.FillXYZ({{u"␣Şğ", u"\t1.5\r", u"€", u"中"}});
    SaveXYZFile(files.store, files.dir.Name("text.xyz"));
    EXPECT_EQ(files.dir.Read("text.xyz"), std::string(" \xDE\xF0        ") + std::string(8, ' ') + "1.5" +
                                              std::string(11, ' ') + "\x80" + std::string(11, ' ') + "?\r\n");
}

TEST(CoordinateFiles, LineRule) {
    Files files;
    using Rows = std::vector<Row>;
    EXPECT_EQ(files.LoadXYZ("a 1 2 3\r\nb 4 5 6\r\n"), (Rows{R({u"a", u"1", u"2", u"3"}), R({u"b", u"4", u"5", u"6"})}));
    EXPECT_EQ(files.LoadXYZ("a 1 2 3\nb 4 5 6"), (Rows{R({u"a", u"1", u"2", u"3"}), R({u"b", u"4", u"5", u"6"})}));
    EXPECT_EQ(files.LoadXYZ("a\r\n\r\n"), (Rows{R({u"", u"", u"", u"a"}), R({u"", u"", u"", u""})}));
    EXPECT_EQ(files.LoadXYZ("\r\n"), (Rows{R({u"", u"", u"", u""})}));
    // A CR without LF is dropped and the line goes on.
    EXPECT_EQ(files.LoadXYZ("P\r1 2\r\r\n"), (Rows{R({u"P1", u"", u"", u"2"})}));
    // Code 26 ends the file at the start of a line, and is text inside one.
    EXPECT_EQ(files.LoadXYZ("a 1\r\n\x1A" "b 2\r\n"), (Rows{R({u"a", u"", u"", u"1"})}));
    EXPECT_EQ(files.LoadXYZ("a\x1A 1"), (Rows{R({u"a\x1A", u"", u"", u"1"})}));
    // A byte-order mark is three code page characters of the first piece.
    EXPECT_EQ(files.LoadXYZ("\xEF\xBB\xBFP1 1 2 3"), (Rows{R({u"ï»¿P1", u"1", u"2", u"3"})}));
}

TEST(CoordinateFiles, EmptyFilesGiveNoRecord) {
    Files files;
    files.FillXYZ({{u"P1", u"1", u"2", u"3"}});
    EXPECT_TRUE(files.LoadXYZ("").empty());
    EXPECT_EQ(files.store.LinesCountXYZ, 0);
    EXPECT_EQ(files.store.gridXYZData.Cell(0, 1), u"");
    files.FillYDE({{u"S1", u"1", u"2", u"3", u"4"}});
    EXPECT_TRUE(files.LoadYDE("\x1A" "S2 1 2 3 4\r\n").empty());
    EXPECT_EQ(files.store.LinesCountYDE, 0);
    // A line of blanks in a file is a record all the same.
    EXPECT_EQ(files.LoadYDE(std::string(49, ' ') + "\r\n"), (std::vector<Row>{R({u"", kEight, kEight, kEight, kFive})}));
}

TEST(CoordinateFiles, SplittingRule) {
    Files files;
    using Rows = std::vector<Row>;
    EXPECT_EQ(files.LoadXYZ("P1\t5 6"), (Rows{R({u"P1\t5", u"", u"", u"6"})}));
    EXPECT_EQ(files.LoadXYZ(" P1 \t 5\t\t6 7 8  9 \t"), (Rows{R({u"P1", u"5\t\t6", u"7", u"8  9"})}));
    EXPECT_EQ(files.LoadYDE("P1 5"), (Rows{R({u"P1", kEight, kEight, kEight, u"␣␣␣␣5"})}));
    EXPECT_EQ(files.LoadYDE("P1 123456789 2 3 4"), (Rows{R({u"P1", u"123456789", u"␣␣␣␣␣␣␣2", u"␣␣␣␣␣␣␣3", u"␣␣␣␣4"})}));
}

TEST(CoordinateFiles, ReadersReplaceTheirOwnGridAndSelectTheFormat) {
    Files files;
    files.FillYDE({{u"S1", u"1", u"2", u"3", u"4"}});
    files.store.comboDataFormat.SetItemIndex(DataFormatSelector::kYXZ);
    for (std::int32_t row = 1; row <= 4; ++row) files.store.gridXYZData.SetCell(1, row, u"old");

    files.LoadXYZ("a\nb\nc\n");
    EXPECT_EQ(files.store.LinesCountXYZ, 3);
    EXPECT_EQ(files.store.gridXYZData.RowCount(), 5);
    EXPECT_EQ(files.store.gridXYZData.Cell(1, 4), u"");  // cleared, no record
    EXPECT_EQ(files.store.comboDataFormat.ItemIndex(), DataFormatSelector::kXYZ);
    EXPECT_EQ(files.store.FrontGrid(), GridKind::XYZ);
    EXPECT_EQ(files.store.LinesCountYDE, 1);
    EXPECT_EQ(files.store.gridYDEData.Cell(0, 1), u"S1");

    class Observer : public GridObserver {
    public:
        int notices = 0;
        void CellChanged(std::int32_t, std::int32_t) override { ++notices; }
        void RowCountChanged(std::int32_t, std::int32_t) override { ++notices; }
        void GridReset() override { ++notices; }
    } observer;
    files.store.gridYDEData.SetObserver(&observer);
    files.LoadYDE("1\n2\n3\n4\n5\n");
    files.store.gridYDEData.SetObserver(nullptr);
    EXPECT_EQ(observer.notices, 1);  // the view refreshes once
    EXPECT_EQ(files.store.LinesCountYDE, 5);
    EXPECT_EQ(files.store.gridYDEData.RowCount(), 7);
    EXPECT_EQ(files.store.FrontGrid(), GridKind::YDE);
    EXPECT_EQ(files.store.comboDataFormat.ItemIndex(), DataFormatSelector::kYDE);
    EXPECT_EQ(files.store.LinesCountXYZ, 3);
}

TEST(CoordinateFiles, FailuresCarryTheSystemErrorAndLoseNothing) {
    Files files;
    files.FillXYZ({{u"P1", u"1", u"2", u"3"}});
    files.store.comboDataFormat.SetItemIndex(DataFormatSelector::kYDE);
    files.store.comboDataFormatChange();
    const std::size_t calls = files.window.calls.size();
    const auto records = files.XYZ();

    try {
        LoadXYZFile(files.store, files.dir.Name("missing.xyz"));
        FAIL() << "a missing file was read";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode, ENOENT);
        EXPECT_EQ(error.Message(), SystemErrorMessage(ENOENT));
    }
    try {
        LoadXYZFile(files.store, files.dir.Path().u16string());
        FAIL() << "a folder was read";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode, EISDIR);
    }
    EXPECT_EQ(files.XYZ(), records);
    EXPECT_EQ(files.store.comboDataFormat.ItemIndex(), DataFormatSelector::kYDE);
    EXPECT_EQ(files.window.calls.size(), calls);

    try {
        SaveXYZFile(files.store, files.dir.Name("no-such-folder/a.xyz"));
        FAIL() << "a file was created in a missing folder";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode, ENOENT);
    }
    EXPECT_THROW(SaveYDEFile(files.store, files.dir.Path().u16string()), EInOutError);
    if (std::filesystem::exists("/dev/full")) {
        try {
            SaveXYZFile(files.store, u"/dev/full");
            FAIL() << "a full disk took the records";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.ErrorCode, ENOSPC);
        }
    }
    EXPECT_EQ(files.XYZ(), records);
}
