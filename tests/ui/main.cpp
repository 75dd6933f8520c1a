// The window tests run in one QApplication, on the offscreen platform unless
// another one is asked for.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // Closing a main window in one test must not end the modal loops of the
    // next ones.
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
