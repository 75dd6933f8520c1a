#include "core/Errors.h"
#include "core/FileIO.h"
#include "ui/ErrorDisplay.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <stdexcept>

// A "." is added after a character that sorts after "." ("/" is the first),
// not after "." itself or those before it ("-", "!", "'").
TEST(ErrorDisplay, FullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(WithFullStop("Port açılamadı"), "Port açılamadı.");
    EXPECT_EQ(WithFullStop("a/"), "a/.");
    EXPECT_EQ(WithFullStop("done."), "done.");
    EXPECT_EQ(WithFullStop("a-"), "a-");
    EXPECT_EQ(WithFullStop("Hata!"), "Hata!");
    EXPECT_EQ(WithFullStop("Failed to get data for 'StopBits'"), "Failed to get data for 'StopBits'");
    EXPECT_EQ(WithFullStop(""), "");
}

// Nothing a command raises passes the display, not even when showing it fails.
TEST(ErrorDisplay, ShowsWhatACommandRaisesAndGoesOn) {
    ScriptedDialogs dialogs;
    ErrorDisplay errors(dialogs);
    EXPECT_TRUE(errors.Run([] {}));
    EXPECT_FALSE(errors.Run([] { throw EInOutError(u"Bağlantı kurulamadı"); }));
    EXPECT_FALSE(errors.Run([] { throw FileError(ENOSPC); }));
    EXPECT_FALSE(errors.Run([] { throw std::runtime_error("out of memory"); }));
    EXPECT_FALSE(errors.Run([] { throw std::bad_alloc(); }));
    EXPECT_FALSE(errors.Run([] { throw 42; }));
    dialogs.onError = [&](const QString&) {
        dialogs.onError = nullptr;
        throw std::bad_alloc();
    };
    EXPECT_FALSE(errors.Run([] { throw EInOutError(u"x"); }));
    EXPECT_EQ(dialogs.errors, (std::vector<QString>{"Bağlantı kurulamadı.", "No space left on device.", "out of memory.",
                                                    "Out of memory.", "Beklenmeyen bir hata oluştu.", "x.",
                                                    "Out of memory."}));
    EXPECT_TRUE(dialogs.messages.empty());
}
