#include "core/FieldText.h"

#include <gtest/gtest.h>

TEST(FieldText, DigitPositionsTrimmingAndPadding) {
    EXPECT_EQ(FirstNonDigitPos(u"123a5"), 4u);
    EXPECT_EQ(FirstNonDigitPos(u"12345"), 0u);
    EXPECT_EQ(FirstNonDigitPos(u""), 0u);
    EXPECT_EQ(FirstDigitPos(u"ab3"), 3u);
    EXPECT_EQ(FirstDigitPos(u"abc"), 0u);
    EXPECT_EQ(FirstDigitPos(u"\u0663x7"), 3u);  // an Arabic-Indic three is no digit

    EXPECT_EQ(TrimSpaces(u"  ab c  "), u"ab c");
    EXPECT_EQ(TrimSpaces(u"   "), u"");
    EXPECT_EQ(TrimSpaces(u"\tab "), u"\tab");  // blanks only

    EXPECT_EQ(PadRight(u"P1", 10), u"P1        ");
    EXPECT_EQ(PadRight(u"P12345678901", 10), u"P12345678901");
}

TEST(FieldText, SuppressLeadingZeros) {
    struct Case { const char16_t* text; char16_t sign; const char16_t* result; };
    for (const Case& c : {
             Case{u"090.1234", u'+', u" 90.1234"},   Case{u"000.500", u'+', u"  0.500"},
             Case{u"0000", u'+', u"   0"},           Case{u"00012.345", u'-', u"  -12.345"},
             Case{u"000", u'-', u" -0"},             Case{u"  012", u'+', u"  012"},
             Case{u"  012", u'-', u" -012"},         Case{u"   ", u'-', u"   "},
             // Without a blank before the first digit the sign goes in front.
             Case{u"12345.678", u'-', u"-12345.678"}, Case{u"0.345", u'-', u"-0.345"}}) {
        EXPECT_EQ(SuppressLeadingZeros(c.text, c.sign), c.result);
    }
}

TEST(FieldText, FormatSignedDigits) {
    struct Case { const char16_t* text; std::uint8_t width; const char16_t* field; };
    for (const Case& c : {
             Case{u"1234.567", 9, u"+001234567"},      Case{u"-12.34", 9, u"-000012340"},
             Case{u"1234.5", 9, u"+000012345"},        Case{u"1.2345", 9, u"+000012345"},
             Case{u"-1234567.123", 9, u"-234567123"},  Case{u"-123456.789", 9, u"-123456789"},
             Case{u"1234567.8", 9, u"+002345678"},
             Case{u"5", 9, u"+000000005"},             Case{u"12-3", 9, u"-000000123"},
             Case{u"", 9, u"+000000000"},
             // More digits than places: the field keeps its width.
             Case{u"123456.7891", 9, u"+234567891"},   Case{u"-7", 0, u"-"}}) {
        EXPECT_EQ(FormatSignedDigits(c.text, c.width), c.field);
    }
}
