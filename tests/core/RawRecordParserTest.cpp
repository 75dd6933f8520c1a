#include "core/RawRecordParser.h"

#include "FakeWindowServices.h"

#include "core/FieldText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using Row = std::vector<std::u16string>;

Row RowOf(const StringGrid& grid, std::int32_t row) {
    Row cells;
    for (std::int32_t col = 0; col < grid.ColCount(); ++col) cells.push_back(grid.Cell(col, row));
    return cells;
}

std::vector<Row> Records(const StringGrid& grid, std::int32_t count) {
    std::vector<Row> rows;
    for (std::int32_t row = 1; row <= count; ++row) rows.push_back(RowOf(grid, row));
    return rows;
}

std::u16string Repeat(std::u16string_view piece, int times) {
    std::u16string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

std::u16string Report(int xyz, int yde) {
    return u"Dönüştürme işlemi tamamlandı.\r\n" + Utf8ToUtf16(std::to_string(xyz)) +
           u" XYZ kaydı ve " + Utf8ToUtf16(std::to_string(yde)) + u" YDE kaydı bulundu.";
}

// Converts raw data into a fresh store and keeps it for the checks.
struct Conversion {
    FakeWindowServices window;
    RecordStore store{window};

    Conversion() = default;
    explicit Conversion(std::u16string_view raw) { ConvertRawData(store, raw); }
    std::vector<Row> Coordinates() { return Records(store.gridXYZData, store.LinesCountXYZ); }
    std::vector<Row> Observations() { return Records(store.gridYDEData, store.LinesCountYDE); }
};

class GridResetRecorder : public GridObserver {
public:
    GridResetRecorder(std::vector<std::string>& calls, std::string name)
        : calls_(calls), name_(std::move(name)) {}
    void CellChanged(std::int32_t, std::int32_t) override { calls_.push_back(name_ + " cell"); }
    void RowCountChanged(std::int32_t, std::int32_t) override { calls_.push_back(name_ + " rows"); }
    void GridReset() override { calls_.push_back(name_ + " reset"); }

private:
    std::vector<std::string>& calls_;
    std::string name_;
};

// The parse done the plain way, to hold the fast one against: the working
// text is a string that loses its front, and every search runs over all of it.
class PlainParse {
public:
    std::vector<Row> coordinates, observations;

    explicit PlainParse(std::u16string raw) : w_(std::move(raw)) {
        while (!w_.empty()) {
            if (Starts(u'\'')) {
                if (!Station()) return;
            } else if (Starts(u'+')) {
                if (!PointRecord()) return;
            } else {
                w_.erase(0, 1);
            }
        }
    }

private:
    struct Num { std::size_t col; std::size_t used; bool fromEnd; std::size_t n; char zeros; };

    bool Starts(char16_t c) const { return w_[0] == c || (w_.size() > 1 && w_[0] == u'_' && w_[1] == c); }
    std::size_t Pos(char16_t c) const { const auto p = w_.find(c); return p == w_.npos ? 0 : p + 1; }
    void RemoveUpTo(std::size_t p) { w_.erase(0, std::min(p, w_.size())); }

    bool Station() {
        RemoveUpTo(Pos(u'\''));
        std::size_t p = Pos(u'_');
        if (!p) return false;
        const std::u16string name = TrimSpaces(w_.substr(0, p - 1));
        RemoveUpTo(Pos(u')'));
        if (!(p = Pos(u'_'))) return false;
        observations.push_back({name, u"  0.0000", u"  0.0000", u"    0.000", w_.substr(0, p - 1)});
        RemoveUpTo(p);
        return true;
    }

    bool PointRecord() {
        RemoveUpTo(Pos(u'+'));
        const std::size_t p = Pos(u'_');
        if (!p) return false;
        const std::u16string name = TrimSpaces(w_.substr(0, p - 1));
        RemoveUpTo(p + 1);
        if (w_.empty()) return false;
        const auto obs = [&](std::vector<Num> nums, bool stars) {
            Row row{name, u"", u"", stars ? u"    *****" : u"", u""};
            for (const Num& n : nums) row[n.col] = Number(n, false);
            if (const std::size_t c = Pos(u',')) RemoveUpTo(c);
            const std::size_t e = Pos(u'_');
            row[4] = e ? w_.substr(0, e - 1) : u"";
            RemoveUpTo(e);
            observations.push_back(row);
            return true;
        };
        const auto xyz = [&](std::vector<Num> nums) {
            Row row{name, u"", u"", u""};
            for (std::size_t i = 0; i < 3; ++i) row[nums[i].col] = Number(nums[i], i == 2);
            coordinates.push_back(row);
        };
        switch (w_[0]) {
        case u'<': return obs({{2, 0, true, 4, 'r'}, {1, 0, true, 4, 'b'}}, true);
        case u'\'': return obs({{2, 7, false, 3, 'r'}, {1, 7, false, 3, 'b'}}, true);
        case u'(': return obs({{3, 8, false, 5, 'b'}, {1, 7, false, 3, 'b'}, {2, 7, false, 3, 'b'}}, false);
        case u'?': return obs({{3, 0, true, 3, 'b'}, {2, 0, true, 4, 'b'}, {1, 0, true, 4, 'b'}}, false);
        case u'x': xyz({{1, 0, true, 3, 's'}, {2, 0, true, 3, 's'}, {3, 0, true, 3, 's'}}); return true;
        case u'/': xyz({{1, 0, false, 8, 's'}, {2, 0, false, 8, 's'}, {3, 0, false, 8, 's'}}); return true;
        case u'U': {
            xyz({{2, 0, true, 3, 's'}, {1, 0, true, 3, 's'}, {3, 0, true, 3, 's'}});
            const std::size_t c = Pos(u',');
            if (!c) return false;
            RemoveUpTo(c);
            const std::size_t e = Pos(u'_');
            if (!e) return false;
            RemoveUpTo(e);
            return true;
        }
        default: w_.erase(0, 1); return true;
        }
    }

    std::u16string Number(const Num& n, bool last) {
        const std::size_t k = FirstDigitPos(w_);
        const char16_t sign = k > 1 && w_[k - 2] == u'-' ? u'-' : u'+';
        if (k) RemoveUpTo(k - 1);
        const std::size_t e = FirstNonDigitPos(w_);
        std::u16string v = e ? w_.substr(0, e - 1) : w_;
        if (!e) w_.clear();
        else RemoveUpTo(n.zeros == 's' && !last ? e - 1 : e);
        if (n.used && v.size() > n.used) v.resize(n.used);
        v.insert(n.fromEnd ? v.size() - std::min(v.size(), n.n) : std::min(v.size(), n.n), u".");
        if (n.zeros == 'r') return v;
        return SuppressLeadingZeros(v, n.zeros == 's' ? sign : u'+');
    }

    std::u16string w_;
};

}  // namespace

TEST(RawRecordParser, AgreesWithThePlainParseOnRandomStreams) {
    // Pieces of records and filler; the long ones carry searches across
    // many characters.
    const std::vector<std::u16string> pieces = {
        u"_'", u"_+", u"_", u")", u",", u" ", u"-", u".", u"<", u"'", u"(", u"?", u"x", u"/", u"U",
        u"A", u"0", u"7", u"0012345", u"0901234", u"-000089500_ ", u"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"};
    std::mt19937 random(7);
    std::size_t records = 0;
    for (int round = 0; round < 3000; ++round) {
        std::u16string raw;
        const std::size_t count = random() % 120;
        for (std::size_t i = 0; i < count; ++i) raw += pieces[random() % pieces.size()];
        SCOPED_TRACE(Utf16ToUtf8(raw));
        const PlainParse plain(raw);
        Conversion c(raw);
        ASSERT_EQ(c.Coordinates(), plain.coordinates);
        ASSERT_EQ(c.Observations(), plain.observations);
        records += plain.coordinates.size() + plain.observations.size();
    }
    EXPECT_GT(records, 5000u);  // the streams hold records, not only filler
}

TEST(RawRecordParser, WorkedExamples) {
    struct Example {
        std::u16string raw;
        std::vector<Row> coordinates;
        std::vector<Row> observations;
        int itemIndex;
    };
    const std::vector<Example> examples = {
        {u"_'S1_)1.600__+P7_ ?+00012345m0901234+1234567d+0012345t,1.500__+P8_ <0901234 0450000 ,1.550_",
         {},
         {{u"S1", u"  0.0000", u"  0.0000", u"    0.000", u"1.600"},
          {u"P7", u"123.4567", u" 90.1234", u"   12.345", u"1.500"},
          {u"P8", u" 45.0000", u"090.1234", u"    *****", u"1.550"}},
         2},
        {u"_+P1        _ x-000089500_ y+001234567_ z+000100000_",
         {{u"P1", u"   -89.500", u"  1234.567", u"   100.000"}},
         {},
         0},
        {u"_+Q2_ /00001234567 -00000012345 +00000100000__+Q3_ U+000123456 -000654321 +000010000 ,ABC_",
         {{u"Q2", u"    1234.567", u"     -12.345", u"     100.000"},
          {u"Q3", u"  -654.321", u"   123.456", u"    10.000"}},
         {},
         0},
        // The station record cut short at the end is not counted.
        {u"AB_+P1_ Z12_+P2_ <0901234 0450000 ,1.5_'S9",
         {},
         {{u"P2", u" 45.0000", u"090.1234", u"    *****", u"1.5"}},
         2},
        {u"_+P9_ (000123456 12345678 0901234 ,1.600__+P10_ '09012345 0450000 ,1.550_",
         {},
         {{u"P9", u"123.4567", u" 90.1234", u"   12.345", u"1.600"},
          {u"P10", u" 45.0000", u"090.1234", u"    *****", u"1.550"}},
         2},
    };
    for (const Example& example : examples) {
        SCOPED_TRACE(Utf16ToUtf8(example.raw));
        Conversion c(example.raw);
        EXPECT_EQ(c.Coordinates(), example.coordinates);
        EXPECT_EQ(c.Observations(), example.observations);
        EXPECT_EQ(c.store.LinesCountXYZ, static_cast<std::int32_t>(example.coordinates.size()));
        EXPECT_EQ(c.store.LinesCountYDE, static_cast<std::int32_t>(example.observations.size()));
        EXPECT_EQ(c.store.comboDataFormat.ItemIndex(), example.itemIndex);
        EXPECT_EQ(c.window.messages,
                  std::vector<std::u16string>{Report(static_cast<int>(example.coordinates.size()),
                                                     static_cast<int>(example.observations.size()))});
    }
}

TEST(RawRecordParser, ReportSelectsTheKindWithMoreRecordsAfterOneRefreshPerGrid) {
    Conversion c;
    GridResetRecorder xyz(c.window.calls, "XYZ"), yde(c.window.calls, "YDE");
    c.store.gridXYZData.SetObserver(&xyz);
    c.store.gridYDEData.SetObserver(&yde);
    c.store.comboDataFormat.SetItemIndex(0);
    ConvertRawData(c.store, u"");
    // Both grids refresh once, before the grid comes to the front and the
    // report shows.
    ASSERT_EQ(c.window.calls.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(c.window.calls.begin(), c.window.calls.begin() + 2),
              (std::vector<std::string>{"YDE reset", "XYZ reset"}));
    EXPECT_EQ(c.window.calls[2], "front YDE");
    EXPECT_EQ(c.window.messages.back(), Report(0, 0));
    EXPECT_EQ(c.window.messages.back(),
              u"Dönüştürme işlemi tamamlandı.\r\n0 XYZ kaydı ve 0 YDE kaydı bulundu.");
    EXPECT_EQ(c.store.gridXYZData.RowCount(), 10);
    EXPECT_EQ(c.store.gridYDEData.RowCount(), 10);

    const std::u16string station = u"_'S1_)1.6_";
    const std::u16string point = u"_+P1_ x1 2 3_";
    ConvertRawData(c.store, station + point);  // a tie selects YDE
    EXPECT_EQ(c.store.comboDataFormat.ItemIndex(), 2);
    EXPECT_EQ(c.store.FrontGrid(), GridKind::YDE);
    ConvertRawData(c.store, station + point + point);
    EXPECT_EQ(c.store.comboDataFormat.ItemIndex(), 0);
    EXPECT_EQ(c.store.FrontGrid(), GridKind::XYZ);
    EXPECT_EQ(c.window.messages.back(), Report(2, 1));
}

TEST(RawRecordParser, TenthAndTwelfthRecordsGrowTheGrid) {
    const std::u16string station = u"_'S_)1_";
    for (const auto& [records, rows] : {std::pair{9, 10}, {10, 12}, {11, 12}, {12, 14}}) {
        Conversion c(Repeat(station, records));
        EXPECT_EQ(c.store.LinesCountYDE, records);
        EXPECT_EQ(c.store.gridYDEData.RowCount(), rows);
        EXPECT_EQ(c.store.gridXYZData.RowCount(), 10);
    }
}

TEST(RawRecordParser, StationRecords) {
    // No ")" anywhere after the start marker: the height is the text from
    // the start of the name to the "_", blanks included; reading goes on
    // after that "_".
    Conversion noParen(u"_' S1 _x_'S2_");
    EXPECT_EQ(noParen.Observations(),
              (std::vector<Row>{{u"S1", u"  0.0000", u"  0.0000", u"    0.000", u" S1 "},
                                {u"S2", u"  0.0000", u"  0.0000", u"    0.000", u"S2"}}));

    // The first ")" lies in a later record: everything up to it goes.
    Conversion laterParen(u"_'S1_1.6__+P7_ <1 2 ,1.5_)2.0_");
    EXPECT_EQ(laterParen.Observations(),
              (std::vector<Row>{{u"S1", u"  0.0000", u"  0.0000", u"    0.000", u"2.0"}}));

    // A height keeps its blanks.
    Conversion blanks(u"_'S1_) 1.600 _");
    EXPECT_EQ(blanks.store.gridYDEData.Cell(4, 1), u" 1.600 ");
}

TEST(RawRecordParser, NumbersAndTheirDecimalPoint) {
    // A "." ends a number; a "-" parted from the digits by a blank is no sign.
    Conversion cut(u"_+P_ x12.5 7_+Q_ x- 1000 -2000 3000_");
    EXPECT_EQ(cut.Coordinates(), (std::vector<Row>{{u"P", u".12", u".5", u".7"},
                                                   {u"Q", u"1.000", u"-2.000", u"3.000"}}));

    // Fewer digits than decimals: the point goes in front, or behind.
    Conversion shortValues(u"_+A_ <123 5 ,1_+B_ '12 0450000 ,2_");
    EXPECT_EQ(shortValues.Observations(),
              (std::vector<Row>{{u"A", u".5", u".123", u"    *****", u"1"},
                                {u"B", u" 45.0000", u"12.", u"    *****", u"2"}}));
}

TEST(RawRecordParser, HeightsFoundFarAway) {
    // The last number ended by "," itself: the height comes from the next ","
    // and the record in between is lost.
    Conversion commaEnds(u"_+P1_ <0901234 0450000,1.5__+P2_ <0901234 0450000 ,1.6_");
    EXPECT_EQ(commaEnds.store.LinesCountYDE, 1);
    EXPECT_EQ(commaEnds.store.gridYDEData.Cell(4, 1), u"1.6");

    // No "," and no "_" after the numbers: the height is empty.
    Conversion none(u"_+P1_ <0901234 0450000 AB");
    EXPECT_EQ(none.Observations(),
              (std::vector<Row>{{u"P1", u" 45.0000", u"090.1234", u"    *****", u""}}));
}

TEST(RawRecordParser, UnknownTypeCharacterCostsOneCharacter) {
    Conversion c(u"_+P1_ Z_'S2_)1.0_");
    EXPECT_EQ(c.Observations(),
              (std::vector<Row>{{u"S2", u"  0.0000", u"  0.0000", u"    0.000", u"1.0"}}));
    EXPECT_EQ(c.store.LinesCountXYZ, 0);
}

TEST(RawRecordParser, RecordsThatEndTheParse) {
    // A point record with no "_" after its name, or nothing after the "_" and
    // the character behind it.
    EXPECT_EQ(Conversion(u"_'S1_)1_+P2 x1 2 3").store.LinesCountYDE, 1);
    EXPECT_EQ(Conversion(u"_'S1_)1_+P2_ ").store.LinesCountXYZ, 0);
    // A "U" record without "," or "_" after its numbers is complete.
    Conversion u(u"_+Q3_ U+000123456 -000654321 +000010000 ,ABC");
    EXPECT_EQ(u.Coordinates(), (std::vector<Row>{{u"Q3", u"  -654.321", u"   123.456", u"    10.000"}}));
    // A station record without "_" after its ")" is not counted.
    Conversion station(u"_'S1_)1_'S2_)1.6");
    EXPECT_EQ(station.store.LinesCountYDE, 1);
    EXPECT_EQ(station.window.messages.back(), Report(0, 1));
}

TEST(RawRecordParser, DigitsThatRunToTheEndAreKept) {
    Conversion coordinate(u"_+P1_ x000012345");
    EXPECT_EQ(coordinate.Coordinates(), (std::vector<Row>{{u"P1", u"    12.345", u".", u"."}}));
    Conversion observation(u"_+P1_ <0901234 0450000");
    EXPECT_EQ(observation.Observations(),
              (std::vector<Row>{{u"P1", u" 45.0000", u"090.1234", u"    *****", u""}}));
}

TEST(RawRecordParser, HiddenRowsKeepTheirTextAndCountOnlyWhenWritten) {
    Conversion c(Repeat(u"_'OLD_)9_", 30));
    ASSERT_EQ(c.store.LinesCountYDE, 30);

    // Ten records bring rows 10 and 11 back into view. Row 10 receives a
    // record, all of its cells, also the empty height; row 11 shows its old
    // text and is no record, also when a station record cut short follows.
    ConvertRawData(c.store, Repeat(u"_'S_)1_", 9) + u"_+P_ <1 2 'S9");
    EXPECT_EQ(c.store.LinesCountYDE, 10);
    EXPECT_EQ(c.store.gridYDEData.RowCount(), 12);
    EXPECT_EQ(RowOf(c.store.gridYDEData, 10), (Row{u"P", u".2", u".1", u"    *****", u""}));
    EXPECT_EQ(RowOf(c.store.gridYDEData, 11),
              (Row{u"OLD", u"  0.0000", u"  0.0000", u"    0.000", u"9"}));
    EXPECT_EQ(c.window.messages.back(), Report(0, 10));

    // Fewer records leave rows 10 and below hidden with their text.
    ConvertRawData(c.store, u"_'S_)1_");
    EXPECT_EQ(c.store.gridYDEData.RowCount(), 10);
    EXPECT_EQ(c.store.gridYDEData.Cell(0, 2), u"");
    EXPECT_EQ(c.store.gridYDEData.Cell(0, 10), u"P");
    EXPECT_EQ(c.store.gridYDEData.Cell(0, 20), u"OLD");
}

TEST(RawRecordParser, PathologicalInputCompletes) {
    // Station starts with no ")" and no "_": the first ends the parse.
    EXPECT_EQ(Conversion(Repeat(u"'", 200000)).store.LinesCountYDE, 0);

    // Many records whose searches find nothing in the whole rest of the
    // stream: station records without ")", observation records without ",",
    // coordinate records without digits.
    const int n = 50000;
    Conversion c(Repeat(u"'A_", n) + Repeat(u"_+P_ <1 2 _", n) + Repeat(u"_+Q_ x_", n));
    EXPECT_EQ(c.store.LinesCountYDE, 2 * n);
    EXPECT_EQ(c.store.LinesCountXYZ, n);
    EXPECT_EQ(RowOf(c.store.gridYDEData, n),
              (Row{u"A", u"  0.0000", u"  0.0000", u"    0.000", u"A"}));
    EXPECT_EQ(RowOf(c.store.gridYDEData, 2 * n), (Row{u"P", u".2", u".1", u"    *****", u""}));
    EXPECT_EQ(RowOf(c.store.gridXYZData, n), (Row{u"Q", u".", u".", u"."}));
}
