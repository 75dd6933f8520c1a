// Saves pictures of the three windows into the build folder, for a person to
// look at.

#include "ProgramFixture.h"

#include <QDir>

TEST_F(ProgramTest, SavesScreenshotsOfTheWindows) {
    StartUp();
    const QString folder = QStringLiteral(KORVEX_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    Main().store.gridXYZData.SetCell(0, 1, u"1");
    Main().store.gridXYZData.SetCell(1, 1, u"4512.300");
    Main().store.gridXYZData.SetCell(2, 1, u"3870.125");
    Main().store.gridXYZData.SetCell(3, 1, u"101.540");
    QWidget* windows[] = {&Main(), program->ModemPort.get(), program->frmAboutBox.get()};
    const char* names[] = {"frmMain.png", "ModemPort.png", "frmAboutBox.png"};
    for (int i = 0; i < 3; ++i) {
        windows[i]->show();
        EXPECT_TRUE(windows[i]->grab().save(folder + QLatin1Char('/') + QLatin1String(names[i])));
        windows[i]->hide();
    }
}
