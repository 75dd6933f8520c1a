#include "core/Errors.h"
#include "ui/ErrorDisplay.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(ErrorDisplay, FullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(WithFullStop("Port açılamadı"), "Port açılamadı.");
    EXPECT_EQ(WithFullStop("Access denied 5"), "Access denied 5.");
    EXPECT_EQ(WithFullStop("a/"), "a/.");  // "/" comes right after "."
    EXPECT_EQ(WithFullStop("done."), "done.");
    EXPECT_EQ(WithFullStop("Failed to get data for 'StopBits'"), "Failed to get data for 'StopBits'");
    EXPECT_EQ(WithFullStop("Hata!"), "Hata!");
    EXPECT_EQ(WithFullStop("(x)"), "(x)");
    EXPECT_EQ(WithFullStop("a-"), "a-");
    EXPECT_EQ(WithFullStop(""), "");
}

TEST(ErrorDisplay, ShowsWhatACommandRaisesAndGoesOn) {
    ScriptedDialogs dialogs;
    ErrorDisplay errors(dialogs);
    EXPECT_TRUE(errors.Run([] {}));
    EXPECT_FALSE(errors.Run([] { throw EInOutError(u"Bağlantı kurulamadı"); }));
    EXPECT_FALSE(errors.Run([] { throw ERegistryException(u"Invalid data type for 'Port'"); }));
    EXPECT_FALSE(errors.Run([] { throw std::runtime_error("out of memory"); }));
    EXPECT_EQ(dialogs.errors, (std::vector<QString>{"Bağlantı kurulamadı.", "Invalid data type for 'Port'",
                                                    "out of memory."}));
    EXPECT_TRUE(dialogs.messages.empty());
}
