#include "core/Errors.h"
#include "core/IntegerText.h"
#include "core/TextCodec.h"

#include <gtest/gtest.h>

TEST(IntegerText, AcceptedForms) {
    EXPECT_EQ(StrToInt(u"12"), 12);
    EXPECT_EQ(StrToInt(u"   12"), 12);
    EXPECT_EQ(StrToInt(u"+12"), 12);
    EXPECT_EQ(StrToInt(u"-05"), -5);
    EXPECT_EQ(StrToInt(u"$C"), 12);
    EXPECT_EQ(StrToInt(u"$1f"), 31);
    EXPECT_EQ(StrToInt(u"x1F"), 31);
    EXPECT_EQ(StrToInt(u"X10"), 16);
    EXPECT_EQ(StrToInt(u"0x10"), 16);
    EXPECT_EQ(StrToInt(u"0X10"), 16);
    EXPECT_EQ(StrToInt(u"-$10"), -16);
    EXPECT_EQ(StrToInt(u"0"), 0);
    EXPECT_EQ(StrToInt(u"2147483647"), 2147483647);
    EXPECT_EQ(StrToInt(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt(u"$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt(u"$0000000080000000"), -2147483647 - 1);  // leading zeros don't count
}

TEST(IntegerText, RejectedForms) {
    for (const char16_t* text :
         {u"", u" ", u"+", u"-", u"$", u"0x", u"x", u"12 ", u"12a", u"\t12", u"1 2", u"--1",
          u"2147483648", u"-2147483649", u"$100000000", u"1.0", u"١٢", u"+-1", u"$-1"}) {
        EXPECT_FALSE(TryStrToInt(text).has_value()) << Utf16ToUtf8(text);
    }
}

TEST(IntegerText, MessageQuotesTheText) {
    try {
        StrToInt(u"12a");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"''12a'' is not a valid integer value");
    }
    try {
        StrToInt(u"");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'''' is not a valid integer value");
    }
}
