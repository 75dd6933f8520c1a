#include "core/Errors.h"
#include "core/UploadText.h"

#include "FakeWindowServices.h"
#include "RecordingMessageSender.h"

#include <gtest/gtest.h>

namespace {

std::u16string Blanks(std::size_t count) { return std::u16string(count, u' '); }

struct Grid {
    FakeWindowServices window;
    RecordStore store{window};

    void Row(std::int32_t row, std::u16string name, std::u16string x, std::u16string y, std::u16string z) {
        store.gridXYZData.SetCell(0, row, std::move(name));
        store.gridXYZData.SetCell(1, row, std::move(x));
        store.gridXYZData.SetCell(2, row, std::move(y));
        store.gridXYZData.SetCell(3, row, std::move(z));
    }
};

// The field that a value of the grid's "Y" column becomes: the x field.
std::u16string XField(const std::u16string& value) {
    Grid grid;
    grid.Row(1, u"P", u"", value, u"");
    grid.store.LinesCountXYZ = 1;
    return UploadText(grid.store).substr(15, 10);
}

}  // namespace

TEST(UploadText, WorkedExampleOneRecordOnePacket) {
    Grid grid;
    grid.Row(1, u"P1", u"1234.567", u"-89.50", u"100.000");
    grid.store.LinesCountXYZ = 1;
    const std::u16string record = u"+P1        _ x-000089500_ y+001234567_ z+000100000_";
    EXPECT_EQ(UploadText(grid.store), u"_" + record + Blanks(76));

    RecordingMessageSender sender;
    RecordingSleep sleep;
    UploadCoordinates(grid.store, sender, sleep.Function());
    ASSERT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(sender.sent[0].substr(1, 128), u"_" + record + Blanks(76));
    EXPECT_EQ(sender.sent[0].substr(129, 4), u"0102");
    EXPECT_EQ(grid.store.memoDummyInput.Count(), 2);
    EXPECT_EQ(grid.store.gridXYZData.Cell(2, 1), u"-89.50");  // the grid is only read
}

TEST(UploadText, RecordCountsAndPacketCounts) {
    Grid none;
    EXPECT_EQ(UploadText(none.store), u"_" + Blanks(127));
    none.store.LinesCountXYZ = -3;
    RecordingMessageSender sender;
    RecordingSleep sleep;
    UploadCoordinates(none.store, sender, sleep.Function());
    ASSERT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(sender.sent[0].substr(129, 4), u"0079");

    Grid five;
    for (std::int32_t row = 1; row <= 6; ++row)
        five.Row(row, u"P" + std::u16string(1, static_cast<char16_t>(u'0' + row)), u"1.000", u"2.000", u"3.000");
    five.store.LinesCountXYZ = 5;
    EXPECT_EQ(UploadText(five.store).size(), 256u);
    EXPECT_EQ(UploadText(five.store).back(), u'_');
    five.store.LinesCountXYZ = 6;
    const std::u16string six = UploadText(five.store);
    EXPECT_EQ(six.size(), 384u);
    EXPECT_EQ(six.substr(307), Blanks(77));

    // Rows within the count that hold nothing still give records.
    five.store.LinesCountXYZ = 7;
    EXPECT_EQ(UploadText(five.store).substr(307, 51), u"+          _ x+000000000_ y+000000000_ z+000000000_");
}

TEST(UploadText, PointNamesAreTrimmedPaddedAndNeverCut) {
    Grid grid;
    grid.Row(1, u"ABCDEFGHIJKL", u"", u"", u"");
    grid.Row(2, u"  P 1 ", u"", u"", u"");
    grid.Row(3, u"\tQ\r\n", u" \t1.5\t", u"", u"");
    grid.store.LinesCountXYZ = 3;
    const std::u16string text = UploadText(grid.store);
    EXPECT_EQ(text.substr(1, 16), u"+ABCDEFGHIJKL_ x");
    EXPECT_EQ(text.substr(54, 12), u"+P 1       _");
    EXPECT_EQ(text.substr(105, 12), u"+Q         _");
    EXPECT_EQ(text.substr(105 + 27, 10), u"+000001500");  // "X" goes to the y field
}

TEST(UploadText, ValuesTravelInThousandths) {
    // Two and three decimals travel as they are.
    EXPECT_EQ(XField(u"1234.567"), u"+001234567");
    EXPECT_EQ(XField(u"1234.56"), u"+001234560");
    EXPECT_EQ(XField(u"-89.50"), u"-000089500");
    EXPECT_EQ(XField(u"1234567.891"), u"+234567891");  // six integer digits kept
    EXPECT_EQ(XField(u""), u"+000000000");
    // Fewer or more decimals no longer scale the value.
    EXPECT_EQ(XField(u"1234.5"), u"+001234500");
    EXPECT_EQ(XField(u"1234"), u"+001234000");
    EXPECT_EQ(XField(u"1234.5678"), u"+001234568");
    EXPECT_EQ(XField(u"-0.0005"), u"-000000001");
    EXPECT_EQ(XField(u".5"), u"+000000500");
    // Texts that are no plain number go as the signed-digits form makes them.
    EXPECT_EQ(XField(u"12-3"), u"-000000123");
    EXPECT_EQ(XField(u"abc"), u"+000000000");
    EXPECT_EQ(XField(u"1.2.3"), u"+000000123");
}

TEST(UploadText, ThreeDecimalsOnTheDigitText) {
    struct Case { const char16_t* text; const char16_t* result; };
    for (const Case& c : {
             Case{u"1234.5", u"1234.500"},   Case{u"1234", u"1234.000"},     Case{u"5.", u"5.000"},
             Case{u"1234.567", u"1234.567"}, Case{u"1234.5675", u"1234.568"}, Case{u"1234.56749", u"1234.567"},
             Case{u"0.9995", u"1.000"},      Case{u"-1.0005", u"-1.001"},    Case{u"+999.99951", u"+1000.000"},
             Case{u".5", u"0.500"},          Case{u"-.0004", u"-0.000"},     Case{u"0012.3", u"0012.300"},
         })
        EXPECT_EQ(ThreeDecimals(c.text), c.result) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    for (const std::u16string text : {u"", u"-", u"+", u".", u"-.", u"12-3", u"abc", u"1.2.3", u"12 34.5", u"1e5", u"١.5", u"--1"})
        EXPECT_EQ(ThreeDecimals(text), text);
}

TEST(UploadText, SendingFailuresPassThrough) {
    Grid grid;
    grid.store.memoDummyInput.Add(u"header");
    RecordingMessageSender sender;
    sender.failures[1] = u"Port write error!";
    RecordingSleep sleep;
    EXPECT_THROW(UploadCoordinates(grid.store, sender, sleep.Function()), EInOutError);
    EXPECT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(grid.store.memoDummyInput.Count(), 1);
}
