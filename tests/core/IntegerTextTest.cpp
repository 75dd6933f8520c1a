#include "core/Errors.h"
#include "core/IntegerText.h"
#include "core/TextCodec.h"

#include <gtest/gtest.h>

TEST(IntegerText, AcceptedForms) {
    struct Case { const char16_t* text; std::int32_t value; };
    for (const Case& c : {
             Case{u"   12", 12},  Case{u"+12", 12},     Case{u"-05", -5},      Case{u"0", 0},
             Case{u"$1f", 31},    Case{u"x1F", 31},     Case{u"X10", 16},      Case{u"0x10", 16},
             Case{u"0X10", 16},   Case{u"-$10", -16},   Case{u"$FFFFFFFF", -1},
             Case{u"2147483647", 2147483647},           Case{u"-2147483648", -2147483647 - 1},
             Case{u"$0000000080000000", -2147483647 - 1}}) {  // leading zeros don't count
        EXPECT_EQ(StrToInt(c.text), c.value) << Utf16ToUtf8(c.text);
    }
}

TEST(IntegerText, RejectedFormsAndTheirMessage) {
    for (const char16_t* text :
         {u"", u" ", u"+", u"-", u"$", u"0x", u"x", u"12 ", u"12a", u"\t12", u"1 2", u"--1",
          u"2147483648", u"-2147483649", u"$100000000", u"1.0", u"١٢", u"+-1", u"$-1"}) {
        EXPECT_FALSE(TryStrToInt(text).has_value()) << Utf16ToUtf8(text);
    }
    try {
        StrToInt(u"12a");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"''12a'' is not a valid integer value");
    }
}
