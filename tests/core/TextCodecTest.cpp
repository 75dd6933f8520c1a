#include "core/TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::u16string text = Cp1254ToUtf16(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(Utf16ToCp1254(text), all);
}

TEST(TextCodec, TurkishLettersHighRangeAndMissingCharacters) {
    EXPECT_EQ(Cp1254ToUtf16("\xD0\xDD\xDE\xF0\xFD\xFE\xC7\xFC"), u"ĞİŞğışÇü");
    EXPECT_EQ(Cp1254ToUtf16("\x80\x8A\x9F"), u"€ŠŸ");
    // Ð and ð are Latin-1 but replaced by Ğ and ğ here; Greek is absent.
    EXPECT_EQ(Utf16ToCp1254(u"Ðð\u03A9\u0080"), "????");
}

TEST(TextCodec, Utf8RoundTripAndMalformedInput) {
    const std::u16string text = u"Dönüştür \U0001F600 ı";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xE0\x80\x80z"), u"\uFFFDz");  // overlong
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}
