#include "core/Errors.h"
#include "serial/PortSettings.h"
#include "serial/Registry.h"

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
        QSettings ini(iniFile, QSettings::IniFormat);
        ini.setValue("Software/Tanvel/DovavIriduze/" + name, value);
    }
    QVariant Stored(const QString& name) {
        return QSettings(iniFile, QSettings::IniFormat).value("Software/Tanvel/DovavIriduze/" + name);
    }
    std::vector<int> Indexes() {
        return {settings.PortCombo.ItemIndex(), settings.BaudCombo.ItemIndex(),
                settings.ByteSizeCombo.ItemIndex(), settings.StopBitsCombo.ItemIndex(),
                settings.ParityCombo.ItemIndex()};
    }
};

}  // namespace

TEST_F(PortSettingsTest, SelectorItemsInStoredOrder) {
    const auto& ports = settings.PortCombo.Items();
    ASSERT_EQ(ports.size(), 22u);
    EXPECT_EQ(ports[2], u"LPT1");
    EXPECT_EQ(ports[4], u"COM3");
    EXPECT_EQ(ports[21], u"COM20");
    EXPECT_EQ(settings.StopBitsCombo.Items()[1], u"1.5");
    EXPECT_EQ(settings.ParityCombo.Items()[2], u"Even");
}

TEST_F(PortSettingsTest, FirstRunLoadsNothingAndSaveWritesFiveZeros) {
    settings.FormCreate();
    EXPECT_EQ(Indexes(), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(settings.PortCombo.Text(), u"COM1");
    EXPECT_EQ(settings.ByteSizeCombo.Text(), u"7");
    settings.BitBtn2Click();
    EXPECT_EQ(Indexes(), (std::vector<int>{0, 0, 0, 0, 0}));
    settings.BitBtn1Click();
    for (const char* name : {"Port", "BaudRate", "ByteSize", "StopBits", "Parity"})
        EXPECT_EQ(Stored(name).toString(), "0") << name;
    EXPECT_TRUE(messages.empty());
}

TEST_F(PortSettingsTest, StoredIndexesComeBackAndOutOfRangeMeansNoSelection) {
    Store("Port", 4);
    Store("BaudRate", 5);
    Store("ByteSize", 1);
    Store("StopBits", 2);
    Store("Parity", -1);
    settings.FormCreate();
    EXPECT_EQ(Indexes(), (std::vector<int>{4, -1, 1, 2, -1}));
    EXPECT_EQ(settings.BaudCombo.Text(), u"");
    settings.BitBtn1Click();
    EXPECT_EQ(Stored("BaudRate").toString(), "-1");
    settings.LoadPortSettings();
    EXPECT_EQ(settings.BaudCombo.ItemIndex(), -1);
}

TEST_F(PortSettingsTest, MissingValueStopsLoadingAfterTheValuesBeforeIt) {
    Store("Port", 5);
    Store("BaudRate", 2);
    Store("ByteSize", 1);
    Store("Parity", 2);
    try {
        settings.FormCreate();
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), u"Failed to get data for 'StopBits'");
    }
    EXPECT_EQ(Indexes(), (std::vector<int>{5, 2, 1, 0, 0}));
}

TEST_F(PortSettingsTest, TextValueIsAnInvalidDataType) {
    Store("Port", "COM3");
    try {
        settings.LoadPortSettings();
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), u"Invalid data type for 'Port'");
    }
    EXPECT_EQ(settings.PortCombo.ItemIndex(), -1);  // never selected before
}

TEST_F(PortSettingsTest, CloseDiscardsUnsavedChangesButKeepsConnectVisible) {
    Store("Port", 0); Store("BaudRate", 0); Store("ByteSize", 0); Store("StopBits", 0); Store("Parity", 0);
    settings.FormCreate();
    settings.HideButton1();
    settings.PortCombo.SetItemIndex(6);
    settings.PortComboChange();
    EXPECT_TRUE(settings.Button1Visible());
    settings.BitBtn2Click();
    EXPECT_EQ(settings.PortCombo.Text(), u"COM1");
    EXPECT_TRUE(settings.Button1Visible());
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
