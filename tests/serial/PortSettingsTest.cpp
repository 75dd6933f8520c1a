#include "core/Errors.h"
#include "serial/PortSettings.h"

#include "TempDir.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace {

class PortSettingsTest : public ::testing::Test {
protected:
    TempDir dir;
    QString iniFile = QString::fromStdString(dir.File("DovavIriduze.ini").string());
    std::vector<std::u16string> messages;
    PortSettings settings{iniFile, [this](const std::u16string& m) { messages.push_back(m); }};

    void Store(const QString& name, const QVariant& value) {
        QSettings(iniFile, QSettings::IniFormat).setValue("Software/Tanvel/DovavIriduze/" + name, value);
    }
    QString Stored(const QString& name) {
        return QSettings(iniFile, QSettings::IniFormat).value("Software/Tanvel/DovavIriduze/" + name).toString();
    }
    std::vector<int> Indexes() {
        return {settings.PortCombo.ItemIndex(), settings.BaudCombo.ItemIndex(),
                settings.ByteSizeCombo.ItemIndex(), settings.StopBitsCombo.ItemIndex(),
                settings.ParityCombo.ItemIndex()};
    }
    // The message of the ERegistryException that loading raises.
    std::u16string LoadError() {
        try {
            settings.FormCreate();
        } catch (const ERegistryException& e) {
            return e.Message();
        }
        return u"(no error)";
    }
};

}  // namespace

TEST_F(PortSettingsTest, FirstRunLoadsNothingAndSaveWritesFiveZeros) {
    settings.FormCreate();
    EXPECT_EQ(Indexes(), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(settings.PortCombo.Text(), u"COM1");
    EXPECT_EQ(settings.ByteSizeCombo.Text(), u"7");
    settings.BitBtn2Click();
    EXPECT_EQ(Indexes(), (std::vector<int>{0, 0, 0, 0, 0}));
    settings.BitBtn1Click();
    for (const char* name : {"Port", "BaudRate", "ByteSize", "StopBits", "Parity"})
        EXPECT_EQ(Stored(name), "0") << name;
    EXPECT_TRUE(messages.empty());
}

// The item indexes are what is stored, so the order of the port list is part
// of the stored format: "LPT1" and "LPT2" come between "COM2" and "COM3".
TEST_F(PortSettingsTest, StoredIndexesComeBackAndOutOfRangeMeansNoSelection) {
    Store("Port", 4);
    Store("BaudRate", 5);
    Store("ByteSize", 1);
    Store("StopBits", 2);
    Store("Parity", 21);
    settings.FormCreate();
    EXPECT_EQ(Indexes(), (std::vector<int>{4, -1, 1, 2, -1}));
    EXPECT_EQ(settings.PortCombo.Text(), u"COM3");
    EXPECT_EQ(settings.BaudCombo.Text(), u"");
    settings.BitBtn1Click();
    EXPECT_EQ(Stored("BaudRate"), "-1");
    settings.PortCombo.SetItemIndex(21);
    EXPECT_EQ(settings.PortCombo.Text(), u"COM20");
}

TEST_F(PortSettingsTest, LoadingStopsAtAMissingOrMistypedValue) {
    Store("Port", 5);
    Store("BaudRate", 2);
    Store("ByteSize", 1);
    Store("Parity", 2);
    EXPECT_EQ(LoadError(), u"Failed to get data for 'StopBits'");
    EXPECT_EQ(Indexes(), (std::vector<int>{5, 2, 1, 0, 0}));

    Store("Port", "COM3");
    EXPECT_EQ(LoadError(), u"Invalid data type for 'Port'");
    EXPECT_EQ(Indexes(), (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST_F(PortSettingsTest, UnwritableStoreShowsTheSaveFailure) {
    PortSettings unwritable("/proc/korvex-no-such-dir/DovavIriduze.ini",
                            [this](const std::u16string& m) { messages.push_back(m); });
    unwritable.FormCreate();
    unwritable.BitBtn1Click();
    EXPECT_EQ(messages, (std::vector<std::u16string>{u"Save to Registry failed!"}));
}

TEST(Selector, SetTextSelectsAnItemOrShowsTheText) {
    Selector baud({u"1200", u"2400", u"4800"});
    baud.SetText(u"2400");
    EXPECT_EQ(baud.ItemIndex(), 1);
    baud.SetText(u"9600");
    EXPECT_EQ(baud.ItemIndex(), -1);
    EXPECT_EQ(baud.Text(), u"9600");
    baud.SetItemIndex(3);
    EXPECT_EQ(baud.Text(), u"");
}
