#include "core/Errors.h"
#include "ui/ErrorDisplay.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

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

TEST(ErrorDisplay, ShowsWhatACommandRaisesAndGoesOn) {
    ScriptedDialogs dialogs;
    ErrorDisplay errors(dialogs);
    EXPECT_TRUE(errors.Run([] {}));
    EXPECT_FALSE(errors.Run([] { throw EInOutError(u"Bağlantı kurulamadı"); }));
    EXPECT_FALSE(errors.Run([] { throw std::runtime_error("out of memory"); }));
    EXPECT_EQ(dialogs.errors, (std::vector<QString>{"Bağlantı kurulamadı.", "out of memory."}));
    EXPECT_TRUE(dialogs.messages.empty());
}
