#include "ModalHelper.h"
#include "ProgramFixture.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>

namespace {

class MainWindowTest : public ProgramTest {
protected:
    void SetUp() override {
        StartUp();
        Main().show();
    }
    QTableView& Grid(const char* name) { return Child<QTableView>(name); }
    QStringList Headers(QTableView& grid) {
        QStringList texts;
        for (int col = 0; col < grid.model()->columnCount(); ++col)
            texts << grid.model()->headerData(col, Qt::Horizontal).toString();
        return texts;
    }
    QStringList Captions(const QWidget& menu) {
        QStringList texts;
        for (const QAction* action : menu.actions()) texts << action->text();
        return texts;
    }
    // The grid that takes the mouse in the middle of the grids' place.
    std::string FrontGrid() {
        QWidget& xyz = Grid("gridXYZData");
        QWidget* hit = Main().centralWidget()->childAt(xyz.geometry().center());
        if (hit == &xyz || xyz.isAncestorOf(hit)) return "XYZ";
        QWidget& yde = Grid("gridYDEData");
        if (hit == &yde || yde.isAncestorOf(hit)) return "YDE";
        return "none";
    }
};

}  // namespace

TEST_F(MainWindowTest, StateRightAfterStartUp) {
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "ORVANA Transfer v1.22");
    EXPECT_EQ(Main().windowTitle(), "Orvana Elektronik VELMAR version 1.30");
    EXPECT_EQ(Main().minimumSize(), Main().maximumSize());

    QTableView& xyz = Grid("gridXYZData");
    QTableView& yde = Grid("gridYDEData");
    EXPECT_EQ(xyz.model()->rowCount(), 4);
    EXPECT_EQ(Headers(xyz), QStringList({"Nokta NO", "X", "Y", "Z"}));
    EXPECT_EQ(Headers(yde), QStringList({"Nokta NO", "Yatay açı", "Düşey açı", "Eğik mesafe", "Hedef yük."}));
    EXPECT_EQ(xyz.columnWidth(1), 97);  // the widths the form declares
    EXPECT_TRUE(QFontInfo(xyz.font()).fixedPitch()) << QFontInfo(xyz.font()).family().toStdString();

    EXPECT_EQ(Child<QComboBox>("comboDataFormat").currentText(), "XYZ");
    EXPECT_EQ(FrontGrid(), "XYZ");
    EXPECT_EQ(Child<QComboBox>("comboDeviceName").currentText(), "Korvex 10 - 15");
    EXPECT_TRUE(Child<QLabel>("lblPacketsCount").isHidden());
    EXPECT_EQ(Main().store.LinesCountXYZ, 0);
    EXPECT_EQ(Main().store.memoDummyInput.Count(), 0);
    EXPECT_TRUE(dialogs.errors.empty());

    // The picture's white background is transparent.
    const QImage picture = Child<QLabel>("Image1").pixmap().toImage();
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(106, 200)), 255);
}

TEST_F(MainWindowTest, MenuCaptions) {
    EXPECT_EQ(Captions(Child<QMenuBar>("MainMenu1")), QStringList({"&Dosya", "&DovavIriduze", "&Ayarlar", "&Yardım"}));
    EXPECT_EQ(Captions(Child<QMenu>("mnuFile")),
              QStringList({"&Aç...", "&Kaydet", "&Raw olarak kaydet", "&Hepsini kaydet", "&Dönüştür", "Çı&kış"}));
    EXPECT_EQ(Captions(Child<QMenu>("otalStation1")), QStringList({"Bilgi &oku", "Bilgi &gönder"}));
    EXPECT_EQ(Captions(Child<QMenu>("mnuConfig")), QStringList({"&Port ayarları", "Kayıt sayısını değiştir"}));
    EXPECT_EQ(Captions(Child<QMenu>("Yardm1")), QStringList({"&Hakkında"}));
}

TEST_F(MainWindowTest, PortSettingsAndExitItems) {
    bool portWindowShown = false;
    WhenModal([&](QWidget& modal) {
        portWindowShown = &modal == program->ModemPort.get();
        modal.close();
    });
    Child<QAction>("mnuPortConfig").trigger();
    EXPECT_TRUE(portWindowShown);
    Child<QAction>("mnuClose").trigger();
    EXPECT_FALSE(Main().isVisible());
}

// The user's pick brings its grid to the front; a selection from code waits
// for the change handler, and the list then shows it.
TEST_F(MainWindowTest, FormatPickBringsItsGridToFront) {
    QComboBox& format = Child<QComboBox>("comboDataFormat");
    format.setFocus();
    QTest::keyClick(&format, Qt::Key_Down);
    EXPECT_EQ(Main().store.comboDataFormat.ItemIndex(), DataFormatSelector::kYXZ);
    EXPECT_EQ(FrontGrid(), "XYZ");
    QTest::keyClick(&format, Qt::Key_Down);
    EXPECT_EQ(Main().store.comboDataFormat.ItemIndex(), DataFormatSelector::kYDE);
    EXPECT_EQ(FrontGrid(), "YDE");

    Main().store.comboDataFormat.SetItemIndex(DataFormatSelector::kXYZ);
    EXPECT_EQ(FrontGrid(), "YDE");
    Main().store.comboDataFormatChange();
    EXPECT_EQ(FrontGrid(), "XYZ");
    EXPECT_EQ(format.currentText(), "XYZ");
}

TEST_F(MainWindowTest, WindowServices) {
    WindowServices& services = Main();
    QLabel& counter = Child<QLabel>("lblPacketsCount");
    services.SetCounterVisible(true);
    services.SetCounterCaption(u"Alınan Paket sayısı: 1234");
    EXPECT_TRUE(counter.isVisible());
    EXPECT_EQ(counter.text(), "Alınan Paket sayısı: 1234");
    EXPECT_EQ(counter.geometry().right() + 1, 800);  // grows to the left
    EXPECT_GE(counter.width(), counter.sizeHint().width());
    services.SetCounterVisible(false);
    EXPECT_FALSE(counter.isVisible());

    services.SetScreenCursor(ScreenCursor::crHourGlass);
    services.SetScreenCursor(ScreenCursor::crHourGlass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    services.SetScreenCursor(ScreenCursor::crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    services.BringGridToFront(GridKind::YDE);
    EXPECT_EQ(FrontGrid(), "YDE");
}

TEST_F(MainWindowTest, EditingACellChangesTheRecordStoreOnly) {
    Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
    QTableView& xyz = Grid("gridXYZData");
    xyz.setFocus();
    xyz.setCurrentIndex(xyz.model()->index(0, 1));
    QTest::keyClick(&xyz, Qt::Key_4);  // typing starts editing in place
    ASSERT_NE(QApplication::focusWidget(), &xyz);
    QTest::keyClicks(QApplication::focusWidget(), "512.3");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor hands its text over queued
    EXPECT_EQ(Main().store.gridXYZData.Cell(1, 1), u"4512.3");
    EXPECT_EQ(Main().store.LinesCountXYZ, 0);
}

TEST_F(ProgramTest, StartUpErrorIsShownBeforeTheMainWindowAndStartUpGoesOn) {
    StoreSetting("Port", 1);
    StoreSetting("BaudRate", 2);
    StoreSetting("ByteSize", 1);
    StoreSetting("Parity", 2);
    bool mainWindowShown = true;
    dialogs.onError = [&](const QString&) { mainWindowShown = program->frmMain && program->frmMain->isVisible(); };
    StartUp();
    EXPECT_EQ(dialogs.errors, std::vector<QString>{"Failed to get data for 'StopBits'"});
    EXPECT_FALSE(mainWindowShown);
    ASSERT_NE(program->ModemPort, nullptr);
    ASSERT_NE(program->frmAboutBox, nullptr);
    EXPECT_EQ(program->ModemPort->Settings().PortCombo.Text(), u"COM2");
    EXPECT_EQ(program->ModemPort->Settings().ParityCombo.ItemIndex(), 0);
}
