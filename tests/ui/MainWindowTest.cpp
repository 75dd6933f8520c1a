#include "ModalHelper.h"
#include "ProgramFixture.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
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
    QList<int> Widths(QTableView& grid) {
        QList<int> widths;
        for (int col = 0; col < grid.model()->columnCount(); ++col) widths << grid.columnWidth(col);
        return widths;
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
    EXPECT_EQ(QCoreApplication::applicationName(), "ORVANA Transfer v1.22");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "ORVANA Transfer v1.22");
    EXPECT_EQ(Main().windowTitle(), "Orvana Elektronik VELMAR version 1.30");
    EXPECT_EQ(Main().centralWidget()->size(), QSize(808, 509));
    EXPECT_EQ(Main().minimumSize(), Main().maximumSize());
    EXPECT_FALSE(Main().windowFlags() & Qt::WindowMaximizeButtonHint);

    QTableView& xyz = Grid("gridXYZData");
    QTableView& yde = Grid("gridYDEData");
    EXPECT_EQ(xyz.model()->rowCount(), 4);
    EXPECT_EQ(yde.model()->rowCount(), 4);
    EXPECT_EQ(Headers(xyz), QStringList({"Nokta NO", "X", "Y", "Z"}));
    EXPECT_EQ(Headers(yde), QStringList({"Nokta NO", "Yatay açı", "Düşey açı", "Eğik mesafe", "Hedef yük."}));
    EXPECT_EQ(Widths(xyz), QList<int>({96, 97, 96, 94}));
    EXPECT_EQ(Widths(yde), QList<int>({96, 104, 104, 94, 84}));
    EXPECT_EQ(xyz.geometry(), QRect(264, 8, 540, 465));
    EXPECT_EQ(yde.geometry(), xyz.geometry());
    EXPECT_FALSE(xyz.tabKeyNavigation());
    EXPECT_EQ(xyz.selectionMode(), QAbstractItemView::ContiguousSelection);

    EXPECT_EQ(Child<QComboBox>("comboDataFormat").currentText(), "XYZ");
    EXPECT_EQ(FrontGrid(), "XYZ");
    QComboBox& model = Child<QComboBox>("comboDeviceName");
    EXPECT_EQ(model.count(), 1);
    EXPECT_EQ(model.currentText(), "Korvex 10 - 15");
    EXPECT_TRUE(Child<QLabel>("lblPacketsCount").isHidden());
    EXPECT_EQ(Main().store.LinesCountXYZ, 0);
    EXPECT_EQ(Main().store.LinesCountYDE, 0);
    EXPECT_EQ(Main().store.memoDummyInput.Count(), 0);
    EXPECT_TRUE(Main().CacheFileName.empty());
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(MainWindowTest, FontsAndPicture) {
    const QFontInfo label(Child<QLabel>("Label1").font());
    EXPECT_EQ(label.pixelSize(), 11);
    EXPECT_FALSE(label.fixedPitch());
    const QFontInfo cells(Grid("gridXYZData").font());
    EXPECT_EQ(cells.pixelSize(), 11);
    EXPECT_TRUE(cells.fixedPitch()) << cells.family().toStdString();
    const QFontInfo counter(Child<QLabel>("lblPacketsCount").font());
    EXPECT_EQ(counter.pixelSize(), 19);
    EXPECT_TRUE(counter.bold());

    const QLabel& image = Child<QLabel>("Image1");
    EXPECT_EQ(image.geometry(), QRect(16, 96, 212, 354));
    const QImage picture = image.pixmap().toImage();
    ASSERT_EQ(picture.size(), QSize(212, 354));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);        // white background
    EXPECT_EQ(qAlpha(picture.pixel(106, 200)), 255);  // the instrument
}

TEST_F(MainWindowTest, UsersFormatPickBringsItsGridToFront) {
    QComboBox& format = Child<QComboBox>("comboDataFormat");
    format.setFocus();
    QTest::keyClick(&format, Qt::Key_Down);
    EXPECT_EQ(Main().store.comboDataFormat.ItemIndex(), DataFormatSelector::kYXZ);
    EXPECT_EQ(FrontGrid(), "XYZ");
    QTest::keyClick(&format, Qt::Key_Down);
    EXPECT_EQ(Main().store.comboDataFormat.ItemIndex(), DataFormatSelector::kYDE);
    EXPECT_EQ(FrontGrid(), "YDE");
    QTest::keyClick(&format, Qt::Key_Up);
    EXPECT_EQ(FrontGrid(), "XYZ");
    EXPECT_EQ(Headers(Grid("gridXYZData")), QStringList({"Nokta NO", "X", "Y", "Z"}));
}

TEST_F(MainWindowTest, FormatSelectedFromCodeWaitsForTheChangeHandler) {
    Main().store.comboDataFormat.SetItemIndex(DataFormatSelector::kYDE);
    EXPECT_EQ(FrontGrid(), "XYZ");
    Main().store.comboDataFormatChange();
    EXPECT_EQ(FrontGrid(), "YDE");
    EXPECT_EQ(Child<QComboBox>("comboDataFormat").currentText(), "YDE");
}

TEST_F(MainWindowTest, MenuItemsCaptionsAccessKeysAndHandlers) {
    struct Item {
        const char* menu;
        const char* name;
        const char* caption;
        QKeyCombination key;
    };
    const Item items[] = {
        {"mnuFile", "mnuFileOpen", "&Aç...", Qt::ALT | Qt::Key_A},
        {"mnuFile", "mnuSave", "&Kaydet", Qt::ALT | Qt::Key_K},
        {"mnuFile", "mnuSaveRaw", "&Raw olarak kaydet", Qt::ALT | Qt::Key_R},
        {"mnuFile", "mnuSaveAll", "&Hepsini kaydet", Qt::ALT | Qt::Key_H},
        {"mnuFile", "mnuConvert", "&Dönüştür", Qt::ALT | Qt::Key_D},
        {"mnuFile", "mnuClose", "Çı&kış", Qt::ALT | Qt::Key_K},
        {"otalStation1", "mnuReadDevice", "Bilgi &oku", Qt::ALT | Qt::Key_O},
        {"otalStation1", "mnuWriteDevice", "Bilgi &gönder", Qt::ALT | Qt::Key_G},
        {"mnuConfig", "mnuPortConfig", "&Port ayarları", Qt::ALT | Qt::Key_P},
        {"mnuConfig", "mnuSetRecordCount", "Kayıt sayısını değiştir", {}},
        {"Yardm1", "Hakknda1", "&Hakkında", Qt::ALT | Qt::Key_H},
    };
    QStringList menus;
    for (QAction* menu : Child<QMenuBar>("MainMenu1").actions()) menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&Dosya", "&DovavIriduze", "&Ayarlar", "&Yardım"}));

    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        QMenu& menu = Child<QMenu>(item.menu);
        QAction& action = Child<QAction>(item.name);
        EXPECT_TRUE(menu.actions().contains(&action));
        EXPECT_EQ(action.text(), QString::fromUtf8(item.caption));
        EXPECT_TRUE(action.shortcut().isEmpty());
        const QKeySequence key = item.key.toCombined() ? QKeySequence(item.key) : QKeySequence();
        EXPECT_EQ(QKeySequence::mnemonic(action.text()).toString(), key.toString());
        const QByteArray handler = QByteArray(item.name) + "Click()";
        EXPECT_GE(Main().metaObject()->indexOfSlot(handler), 0);
    }
}

TEST_F(MainWindowTest, AccessKeysOpenMenusAndRunTheirItems) {
    Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
    QMenu& file = Child<QMenu>("mnuFile");

    // "&Ayarlar" > "&Port ayarları" opens the port settings window.
    QTest::keyClick(&Main(), Qt::Key_A, Qt::AltModifier);
    QMenu& config = Child<QMenu>("mnuConfig");
    ASSERT_TRUE(config.isVisible());
    bool portWindowShown = false;
    WhenModal([&](QWidget& modal) {
        portWindowShown = &modal == program->ModemPort.get();
        modal.close();
    });
    QTest::keyClick(&config, Qt::Key_P);
    EXPECT_TRUE(portWindowShown);
    Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));

    // Two menus share "D": each Alt+D goes on to the next of them.
    for (int press = 0; press < 2 && !file.isVisible(); ++press) {
        QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : &Main();
        QTest::keyClick(target, Qt::Key_D, Qt::AltModifier);
    }
    ASSERT_TRUE(file.isVisible());
    QTest::keyClick(&file, Qt::Key_K, Qt::NoModifier);  // "&Kaydet" and "Çı&kış" share K
    EXPECT_TRUE(Main().isVisible());
    QTest::keyClick(&file, Qt::Key_K, Qt::NoModifier);
    QTest::keyClick(&file, Qt::Key_Return, Qt::NoModifier);
    EXPECT_FALSE(Main().isVisible());  // "Çı&kış" closed the main window
}

TEST_F(MainWindowTest, WindowServices) {
    WindowServices& services = Main();
    QLabel& counter = Child<QLabel>("lblPacketsCount");
    services.SetCounterVisible(true);
    services.SetCounterCaption(u"Alınan Paket sayısı: 1234");
    services.RepaintCounter();
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

    bool handled = false;
    QMetaObject::invokeMethod(&Main(), [&] { handled = true; }, Qt::QueuedConnection);
    services.ProcessMessages();
    EXPECT_TRUE(handled);

    services.ShowMessage(u"Bilgi yükleme tamamlandı!");
    EXPECT_EQ(dialogs.messages, std::vector<QString>{"Bilgi yükleme tamamlandı!"});

    services.BringGridToFront(GridKind::YDE);
    EXPECT_EQ(FrontGrid(), "YDE");
    services.BringGridToFront(GridKind::XYZ);
    EXPECT_EQ(FrontGrid(), "XYZ");
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
    EXPECT_EQ(Main().store.gridXYZData.RowCount(), 5);
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
    EXPECT_EQ(program->ModemPort->Settings().StopBitsCombo.ItemIndex(), 0);
    EXPECT_EQ(program->ModemPort->Settings().ParityCombo.ItemIndex(), 0);
    Main().show();
    EXPECT_TRUE(Main().isVisible());
}
