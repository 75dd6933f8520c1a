#include "core/Errors.h"
#include "core/RawTextStore.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::u16string> Lines(const RawTextStore& store) {
    std::vector<std::u16string> lines;
    for (std::int32_t i = 0; i < store.Count(); ++i) lines.push_back(store.Strings(i));
    return lines;
}
using L = std::vector<std::u16string>;
}  // namespace

TEST(RawTextStore, WritingTextSplitsAtEveryLineEnd) {
    RawTextStore store;
    store.SetText(u"a\r\nb");
    EXPECT_EQ(Lines(store), (L{u"a", u"b"}));
    store.SetText(u"a\r\n");
    EXPECT_EQ(Lines(store), (L{u"a"}));
    store.SetText(u"a\rb\nc");
    EXPECT_EQ(Lines(store), (L{u"a", u"b", u"c"}));
    store.SetText(u"a\r\n\r\nb");
    EXPECT_EQ(Lines(store), (L{u"a", u"", u"b"}));
    store.SetText(u"");
    EXPECT_EQ(store.Count(), 0);
    store.SetText(std::u16string(u"a\0b\r\nc", 6));
    EXPECT_EQ(Lines(store), (L{u"a"}));
}

TEST(RawTextStore, ReadingTextEndsEveryLineWithCrLf) {
    RawTextStore store;
    EXPECT_EQ(store.Text(), u"");
    store.SetText(u"a\nb");
    EXPECT_EQ(store.Text(), u"a\r\nb\r\n");
    // Appending keeps the old lines and gives the new text lines of its own.
    store.SetText(store.Text() + u"c");
    EXPECT_EQ(Lines(store), (L{u"a", u"b", u"c"}));
}

TEST(RawTextStore, LoadFromFileHonoursByteOrderMarks) {
    TempDir dir;
    RawTextStore store;
    dir.Write("utf8.txt", "\xEF\xBB\xBFg\xC3\xBC\r\nx");
    store.LoadFromFile(dir.Name("utf8.txt"));
    EXPECT_EQ(Lines(store), (L{u"gü", u"x"}));
    dir.Write("le.txt", std::string("\xFF\xFE\x5F\x01\n\0", 6));
    store.LoadFromFile(dir.Name("le.txt"));
    EXPECT_EQ(Lines(store), (L{u"ş"}));
    dir.Write("be.txt", std::string("\xFE\xFF\x01\x5F\0\n", 6));
    store.LoadFromFile(dir.Name("be.txt"));
    EXPECT_EQ(Lines(store), (L{u"ş"}));
    dir.Write("ansi.txt", "\xFE\xFD\r\n");
    store.LoadFromFile(dir.Name("ansi.txt"));
    EXPECT_EQ(Lines(store), (L{u"şı"}));
}

TEST(RawTextStore, FileErrorsNameTheFileAndKeepTheLines) {
    TempDir dir;
    RawTextStore store;
    store.SetText(u"keep");
    const std::u16string missing = dir.Name("missing.txt");
    try {
        store.LoadFromFile(missing);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), u"Cannot open file \"" + missing + u"\". No such file or directory");
    }
    EXPECT_EQ(Lines(store), (L{u"keep"}));
    const std::u16string badPath = dir.Name("no/such/folder.txt");
    try {
        store.SaveToFile(badPath);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), u"Cannot create file \"" + badPath + u"\". No such file or directory");
    }
}

TEST(RawTextStore, SaveToFileWritesWindows1254WithCrLf) {
    TempDir dir;
    RawTextStore store;
    store.SaveToFile(dir.Name("empty.txt"));
    EXPECT_EQ(dir.Read("empty.txt"), "");
    store.SetText(u"a\nbş");
    store.SaveToFile(dir.Name("two.txt"));
    EXPECT_EQ(dir.Read("two.txt"), "a\r\nb\xFE\r\n");
}
