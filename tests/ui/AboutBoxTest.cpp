#include "ModalHelper.h"
#include "ProgramFixture.h"
#include "UrlRecorder.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

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
    Main().Hakknda1Click();
    EXPECT_EQ(first, program->frmAboutBox.get());
    const QPoint offCentre = centredAt - Main().screen()->availableGeometry().center();
    EXPECT_LE(std::abs(offCentre.x()), 3);
    EXPECT_LE(std::abs(offCentre.y()), 3);

    QPoint secondAt;
    QWidget* second = nullptr;
    WhenModal([&](QWidget& box) {
        second = &box;
        secondAt = box.pos();
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    Main().Hakknda1Click();
    EXPECT_EQ(second, first);
    EXPECT_EQ(secondAt, QPoint(40, 50));
}

TEST_F(ProgramTest, AboutBoxTextsLookAndWebAddress) {
    StartUp();
    TfrmAboutBox& box = *program->frmAboutBox;
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.size(), QSize(298, 231));
    EXPECT_EQ(Child<QLabel>(box, "ProductName").text(), "DovavIriduze transfer");
    EXPECT_EQ(Child<QLabel>(box, "Version").text(), "Version 1.23");
    QPushButton& ok = Child<QPushButton>(box, "OKButton");
    EXPECT_EQ(ok.text(), "Kapat");
    EXPECT_TRUE(ok.isDefault());

    box.show();
    const QImage look = box.grab().toImage();
    EXPECT_EQ(look.pixelColor(3, 3), QColor(255, 251, 240));

    QLabel& web = Child<QLabel>(box, "lblWebSite");
    UrlRecorder browser(QUrl(web.text()).scheme());
    QTest::mouseClick(&web, Qt::LeftButton);
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0].toString(), web.text());
    EXPECT_TRUE(box.isVisible());  // the box stays open
    box.hide();
}
