#include "QtPrinting.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogs.h"

#include "ModalHelper.h"
#include "TempDir.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

const QString kFilter = QString::fromUtf8(TfrmMain::kFileFilter);

QString Path(const TempDir& dir, const char* name) { return QString::fromStdString(dir.File(name).string()); }

}  // namespace

TEST(QtDialogs, FilterPairsBecomeNameFiltersMatchingEitherCase) {
    EXPECT_EQ(NameFiltersOf(kFilter),
              QStringList({"Tüm dosyalar (*)", "XYZ Dosyaları (*.[Xx][Yy][Zz])", "YDE Dosyaları (*.[Yy][Dd][Ee])",
                           "Salt metin dosyaları (*.[Tt][Xx][Tt])"}));
    EXPECT_EQ(NameFiltersOf("Ham|*.raw;*.txt"), QStringList({"Ham (*.[Rr][Aa][Ww] *.[Tt][Xx][Tt])"}));
}

// A file dialog starts with the filter and the name last chosen; a save
// dialog adds the default extension and asks before a file is overwritten.
TEST(QtDialogs, SaveDialogAddsTheDefaultExtensionAndAsksBeforeOverwriting) {
    TempDir dir;
    FileDialog state(FileDialog::Kind::Save, kFilter);
    state.FilterIndex = 2;
    state.DefaultExt = "XYZ";
    state.FileName = Path(dir, "points");
    WhenModal([](QWidget& fileDialog) {
        auto& qtDialog = static_cast<QFileDialog&>(fileDialog);
        FileDialog shown(FileDialog::Kind::Save, kFilter);
        ReadBackFileDialog(qtDialog, shown);
        EXPECT_EQ(shown.FilterIndex, 2);
        qtDialog.selectNameFilter(qtDialog.nameFilters().at(3));  // the user picks text files
        static_cast<QDialog&>(qtDialog).accept();
    });
    QtDialogs dialogs;
    ASSERT_TRUE(dialogs.Execute(state));
    EXPECT_EQ(state.FileName, Path(dir, "points.XYZ"));
    EXPECT_EQ(state.FilterIndex, 4);

    dir.Write("points.XYZ", "");
    bool asked = false;
    WhenModal([&](QWidget& fileDialog) {
        WhenModal([&](QWidget& question) {
            asked = qobject_cast<QMessageBox*>(&question) != nullptr;
            static_cast<QMessageBox&>(question).button(QMessageBox::No)->click();
            WhenModal([](QWidget& stillOpen) { static_cast<QDialog&>(stillOpen).reject(); });
        });
        static_cast<QDialog&>(fileDialog).accept();
    });
    EXPECT_FALSE(dialogs.Execute(state));
    EXPECT_TRUE(asked);
}

TEST(QtDialogs, InputBoxTakes255CharactersAndGivesTheDefaultTextBackOnCancel) {
    QtDialogs dialogs;
    WhenModal([](QWidget& box) {
        box.findChild<QLineEdit*>()->setText("25");
        static_cast<QDialog&>(box).reject();
    });
    EXPECT_EQ(dialogs.InputBox("Kayıt sayısı", "Sayı:", "12"), "12");
    WhenModal([](QWidget& box) {
        QTest::keyClicks(box.findChild<QLineEdit*>(), QString(300, u'7'));
        static_cast<QDialog&>(box).accept();
    });
    EXPECT_EQ(dialogs.InputBox("Kayıt sayısı", "Sayı:", "12"), QString(255, u'7'));
}

TEST(QtDialogs, MessageBoxHasTheTitleOneButtonAndCrLfLineBreaks) {
    QCoreApplication::setApplicationName("ORVANA Transfer v1.22");
    QtDialogs dialogs;
    for (const bool error : {false, true}) {
        WhenModal([error](QWidget& widget) {
            auto& box = static_cast<QMessageBox&>(widget);
            EXPECT_EQ(box.windowTitle(), "ORVANA Transfer v1.22");
            EXPECT_EQ(box.text(), "Dönüştürme işlemi tamamlandı.\n3 XYZ kaydı");
            EXPECT_EQ(box.icon(), error ? QMessageBox::Critical : QMessageBox::NoIcon);
            EXPECT_EQ(box.buttons().size(), 1);
            box.button(QMessageBox::Ok)->click();
        });
        const QString text = "Dönüştürme işlemi tamamlandı.\r\n3 XYZ kaydı";
        error ? dialogs.ShowError(text) : dialogs.ShowMessage(text);
    }
}

// Qt's own buttons speak the language of the locale given.
TEST(QtDialogs, QtsOwnTextsFollowTheLocale) {
    QTranslator turkish;
    if (!InstallQtTranslations(turkish, QLocale(QLocale::Turkish, QLocale::Turkey)))
        GTEST_SKIP() << "Qt's Turkish translations (qtbase_tr.qm, package qt6-translations-l10n) are missing";
    QtDialogs dialogs;
    QString ok, save;
    WhenModal([&](QWidget& box) {
        ok = static_cast<QMessageBox&>(box).button(QMessageBox::Ok)->text();
        static_cast<QDialog&>(box).accept();
    });
    dialogs.ShowMessage("Bilgi yükleme tamamlandı!");
    FileDialog state(FileDialog::Kind::Save, kFilter);
    WhenModal([&](QWidget& box) {
        save = box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->text();
        static_cast<QDialog&>(box).reject();
    });
    dialogs.Execute(state);
    EXPECT_EQ(ok, "Tamam");
    EXPECT_EQ(save, "&Kaydet");
}
