#include "ModalHelper.h"
#include "ProgramFixture.h"
#include "UrlRecorder.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

// "&Hakkında" shows the one About box: centred the first time, afterwards
// where it was left; "Kapat", Esc and Enter close it with the result OK.
TEST_F(ProgramTest, AboutBoxIsReusedAndOpensWhereItWasLeft) {
    StartUp();
    Main().show();
    QWidget* first = nullptr;
    QPoint centredAt;
    WhenModal([&](QWidget& box) {
        first = &box;
        centredAt = box.geometry().center();
        box.move(40, 50);
        QTest::mouseClick(box.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    });
    Child<QAction>("Hakknda1").trigger();
    EXPECT_EQ(first, program->frmAboutBox.get());
    EXPECT_EQ(program->frmAboutBox->result(), QDialog::Accepted);
    const QPoint offCentre = centredAt - Main().screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 6);

    QPoint secondAt;
    WhenModal([&](QWidget& box) {
        secondAt = box.pos();
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    Child<QAction>("Hakknda1").trigger();
    EXPECT_EQ(secondAt, QPoint(40, 50));
    EXPECT_EQ(program->frmAboutBox->result(), QDialog::Accepted);

    WhenModal([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(program->frmAboutBox->ShowModal(), QDialog::Accepted);
}

TEST_F(ProgramTest, AboutBoxTextsAndWebAddress) {
    StartUp();
    TfrmAboutBox& box = *program->frmAboutBox;
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(Child<QLabel>(box, "ProductName").text(), "DovavIriduze transfer");
    EXPECT_EQ(Child<QLabel>(box, "Version").text(), "Version 1.23");
    EXPECT_EQ(Child<QPushButton>(box, "OKButton").text(), "Kapat");

    // A click on the address hands the label's own text to the system.
    box.show();
    QLabel& web = Child<QLabel>(box, "lblWebSite");
    UrlRecorder browser(QUrl(web.text()).scheme());
    QTest::mouseClick(&web, Qt::LeftButton);
    EXPECT_EQ(browser.opened, QList<QUrl>{QUrl(web.text())});
    EXPECT_TRUE(box.isVisible());  // the box stays open
    box.hide();
}
