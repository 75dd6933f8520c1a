#include "core/FieldText.h"

#include <gtest/gtest.h>

TEST(FieldText, DigitPositions) {
    EXPECT_EQ(FirstNonDigitPos(u"123a5"), 4u);
    EXPECT_EQ(FirstNonDigitPos(u"12345"), 0u);
    EXPECT_EQ(FirstNonDigitPos(u"a1"), 1u);
    EXPECT_EQ(FirstNonDigitPos(u""), 0u);
    EXPECT_EQ(FirstDigitPos(u"ab3"), 3u);
    EXPECT_EQ(FirstDigitPos(u"abc"), 0u);
    EXPECT_EQ(FirstDigitPos(u""), 0u);
    EXPECT_EQ(FirstDigitPos(u"\u0663x7"), 3u);  // an Arabic-Indic three is no digit
    EXPECT_EQ(FirstNonDigitPos(u"1\uFF12"), 2u);
}

TEST(FieldText, TrimSpacesTrimsBlanksOnly) {
    EXPECT_EQ(TrimSpaces(u"  ab c  "), u"ab c");
    EXPECT_EQ(TrimSpaces(u"   "), u"");
    EXPECT_EQ(TrimSpaces(u""), u"");
    EXPECT_EQ(TrimSpaces(u"\tab "), u"\tab");
}

TEST(FieldText, SuppressLeadingZerosExamples) {
    struct Case { const char16_t* text; char16_t sign; const char16_t* result; };
    for (const Case& c : {
             Case{u"090.1234", u'+', u" 90.1234"}, Case{u"000.500", u'+', u"  0.500"},
             Case{u"0000", u'+', u"   0"},         Case{u"00.5", u'+', u" 0.5"},
             Case{u"00012.345", u'+', u"   12.345"}, Case{u"00012.345", u'-', u"  -12.345"},
             Case{u"000", u'-', u" -0"},           Case{u"  012", u'+', u"  012"},
             Case{u"  012", u'-', u" -012"},       Case{u"0", u'+', u"0"},
             Case{u"   ", u'-', u"   "},           Case{u"", u'-', u""}}) {
        EXPECT_EQ(SuppressLeadingZeros(c.text, c.sign), c.result);
    }
}

TEST(FieldText, SuppressLeadingZerosWithoutRoomForTheSignPutsItInFront) {
    EXPECT_EQ(SuppressLeadingZeros(u"12345.678", u'-'), u"-12345.678");
    EXPECT_EQ(SuppressLeadingZeros(u"0.345", u'-'), u"-0.345");
    EXPECT_EQ(SuppressLeadingZeros(u".", u'-'), u"-.");
}

TEST(FieldText, FormatSignedDigitsExamples) {
    struct Case { const char16_t* text; const char16_t* field; };
    for (const Case& c : {
             Case{u"1234.567", u"+001234567"},   Case{u"-12.34", u"-000012340"},
             Case{u"1234.56", u"+001234560"},    Case{u"1234.5", u"+000012345"},
             Case{u"0.05", u"+000000050"},       Case{u"-1234567.123", u"-234567123"},
             Case{u"-123456.789", u"-123456789"}, Case{u"5", u"+000000005"},
             Case{u"12", u"+000000012"},         Case{u"12-3", u"-000000123"},
             Case{u"", u"+000000000"},           Case{u"1.2345", u"+000012345"},
             Case{u"abc", u"+000000000"}}) {
        EXPECT_EQ(FormatSignedDigits(c.text, 9), c.field);
    }
}

TEST(FieldText, FormatSignedDigitsKeepsItsWidthWhenDigitsOverflow) {
    EXPECT_EQ(FormatSignedDigits(u"123456.7891", 9), u"+234567891");
    EXPECT_EQ(FormatSignedDigits(u"1234567890", 9), u"+234567890");
    EXPECT_EQ(FormatSignedDigits(u"-7", 0), u"-");
}

TEST(FieldText, PadRightNeverShortens) {
    EXPECT_EQ(PadRight(u"P1", 10), u"P1        ");
    EXPECT_EQ(PadRight(u"P12345678901", 10), u"P12345678901");
    EXPECT_EQ(PadRight(u"", 3), u"   ");
    EXPECT_EQ(PadRight(u"abc", 0), u"abc");
}
