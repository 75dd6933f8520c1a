#include "core/Errors.h"
#include "core/RawTextStore.h"

#include "AllocationBudget.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
using L = std::vector<std::u16string>;

L Lines(const RawTextStore& store) {
    L lines;
    for (std::int32_t i = 0; i < store.Count(); ++i) lines.push_back(store.Strings(i));
    return lines;
}

L LinesOfText(std::u16string_view text) {
    RawTextStore store;
    store.SetText(text);
    return Lines(store);
}
}  // namespace

TEST(RawTextStore, WritingTextSplitsAtEveryLineEnd) {
    EXPECT_EQ(LinesOfText(u"a\r\nb"), (L{u"a", u"b"}));
    EXPECT_EQ(LinesOfText(u"a\r\n"), (L{u"a"}));
    EXPECT_EQ(LinesOfText(u"a\rb\nc"), (L{u"a", u"b", u"c"}));
    EXPECT_EQ(LinesOfText(u"a\r\n\r\nb"), (L{u"a", u"", u"b"}));
    EXPECT_EQ(LinesOfText(u""), L{});
    EXPECT_EQ(LinesOfText(std::u16string(u"a\0b\r\nc", 6)), (L{u"a"}));
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
    auto load = [&](const std::string& bytes) {
        dir.Write("in.txt", bytes);
        RawTextStore store;
        store.LoadFromFile(dir.Name("in.txt"));
        return Lines(store);
    };
    EXPECT_EQ(load("\xEF\xBB\xBFg\xC3\xBC\r\nx"), (L{u"gü", u"x"}));
    EXPECT_EQ(load(std::string("\xFF\xFE\x5F\x01\n\0", 6)), (L{u"ş"}));
    EXPECT_EQ(load(std::string("\xFE\xFF\x01\x5F\0\n", 6)), (L{u"ş"}));
    EXPECT_EQ(load("\xFE\xFD\r\n"), (L{u"şı"}));
}

// Windows-1254, no byte-order mark; an empty store empties the file.
TEST(RawTextStore, SaveToFileWritesTheTextInWindows1254) {
    TempDir dir;
    RawTextStore store;
    store.SetText(u"a\nşİ?€");
    store.SaveToFile(dir.Name("out.txt"));
    EXPECT_EQ(dir.Read("out.txt"), "a\r\n\xFE\xDD?\x80\r\n");
    store.Clear();
    store.SaveToFile(dir.Name("out.txt"));
    EXPECT_EQ(dir.Read("out.txt"), "");
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
    // A FIFO is refused at once, without waiting for a writer.
    const std::filesystem::path fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    try {
        store.LoadFromFile(fifo.u16string());
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), u"Cannot open file \"" + fifo.u16string() + u"\". Not a regular file");
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

TEST(RawTextStore, LoadingThatRunsOutOfMemoryKeepsTheLines) {
    TempDir dir;
    dir.Write("in.txt", "\xEF\xBB\xBF" "first line\r\nsecond line\nthird line\r\n");
    RawTextStore store;
    store.SetText(u"keep these\r\ntwo lines");
    const L before = Lines(store);
    const int failures = RunOutOfMemoryAtEveryStep([&] { store.LoadFromFile(dir.Name("in.txt")); },
                                                   [&] { EXPECT_EQ(Lines(store), before); });
    EXPECT_GT(failures, 3);
    EXPECT_EQ(Lines(store), (L{u"first line", u"second line", u"third line"}));
}
