#include "core/InstrumentPacket.h"
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
    EXPECT_EQ(UploadText(grid.store), u"_+P1        _ x-000089500_ y+001234567_ z+000100000_" + Blanks(76));

    RecordingMessageSender sender;
    RecordingSleep sleep;
    SendPackets(grid.store, sender, sleep.Function(), UploadText(grid.store));
    ASSERT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(sender.sent[0].substr(129, 4), u"0102");  // sequence digit and checksum
}

TEST(UploadText, RecordCountsAndPacketCounts) {
    Grid none;
    none.store.LinesCountXYZ = -3;
    EXPECT_EQ(UploadText(none.store), u"_" + Blanks(127));

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

// Every value travels in thousandths: fewer or more decimals than three no
// longer scale it.
TEST(UploadText, ValuesTravelInThousandths) {
    struct Case { const char16_t* cell; const char16_t* field; };
    for (const Case& c : {
             Case{u"1234.56", u"+001234560"},  Case{u"1234.5", u"+001234500"},
             Case{u"1234", u"+001234000"},     Case{u"1234.5678", u"+001234568"},
             Case{u"1234567.891", u"+234567891"},  // six integer digits kept
             Case{u"", u"+000000000"},         Case{u"12-3", u"-000000123"},
             Case{u" 1234,5\t", u"+001234500"}}) {  // the decimal comma
        EXPECT_EQ(XField(c.cell), c.field);
    }
}

TEST(UploadText, ThreeDecimalsOnTheDigitText) {
    struct Case { const char16_t* text; const char16_t* result; };
    for (const Case& c : {
             Case{u"1234.5", u"1234.500"},   Case{u"1234", u"1234.000"},     Case{u"5.", u"5.000"},
             Case{u"1234.56749", u"1234.567"}, Case{u"0.9995", u"1.000"},    Case{u"-1.0005", u"-1.001"},
             Case{u"+999.99951", u"+1000.000"}, Case{u".5", u"0.500"},       Case{u"-.0004", u"-0.000"},
             Case{u"0012.3", u"0012.300"},   Case{u"-1234,5", u"-1234.500"}, Case{u",5", u"0.500"}}) {
        EXPECT_EQ(ThreeDecimals(c.text), c.result);
    }
    // Texts that are no plain number stay as they are.
    for (const std::u16string text : {u"", u"-.", u"12-3", u"1.2.3", u"1,2.3", u"1e5", u"١.5"})
        EXPECT_EQ(ThreeDecimals(text), text);
}

// A value cell that, trimmed, is neither empty nor a plain number stops the
// sending: the first one, by rows, then X, Y, Z, is named.
TEST(UploadText, RefusalNamesTheFirstValueThatIsNoNumber) {
    struct Case { const char16_t* cell; bool sent; };
    for (const Case& c : {Case{u" \t", true}, Case{u"-12", true}, Case{u"+,5", true}, Case{u"5.", true},
                          Case{u"1,2.3", false}, Case{u"-", false}, Case{u",", false}, Case{u"1 2", false},
                          Case{u"1e5", false}}) {
        Grid grid;
        grid.Row(1, u"?!", u"1", u"2", c.cell);
        grid.store.LinesCountXYZ = 1;
        EXPECT_EQ(UploadRefusal(grid.store).has_value(), !c.sent);
    }
    Grid grid;
    grid.Row(1, u"P1", u"1", u"2", u"3");
    grid.Row(2, u"P2", u"1", u" 12a ", u"x");
    grid.Row(3, u"P3", u"bad", u"", u"");
    grid.store.LinesCountXYZ = 3;
    EXPECT_EQ(UploadRefusal(grid.store), u"Bilgi gönderilmedi: satır 2, Y sütunundaki \"12a\" bir sayı değil.");
    grid.store.LinesCountXYZ = 1;  // rows past the count are not sent
    EXPECT_EQ(UploadRefusal(grid.store), std::nullopt);
}
