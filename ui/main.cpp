// ORVANA Transfer: moves survey data between the PC and a total station and
// converts it between the instrument's packets and coordinate files.

#include "serial/Registry.h"
#include "ui/Program.h"
#include "ui/QtDialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QtDialogs dialogs;
    Program program(dialogs, Registry::DefaultSettingsFile());
    program.StartUp();
    return program.Run();
}
