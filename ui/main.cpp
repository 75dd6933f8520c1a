// ORVANA Transfer: moves survey data between the PC and a total station and
// converts it between the instrument's packets and coordinate files.

#include "serial/Registry.h"
#include "ui/Program.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Qt's own dialogs and buttons speak the system's language.
    QTranslator qtTranslations;
    InstallQtTranslations(qtTranslations, QLocale::system());
    QtDialogs dialogs;
    Program program(dialogs, Registry::DefaultSettingsFile());
    program.StartUp();
    return program.Run();
}
