#pragma once
// Program start-up: the application title, then the three windows, each
// created once and living until the program ends: the main window frmMain,
// the port settings window ModemPort and the About box frmAboutBox. An error
// raised while a window is created is shown in the default error display, the
// window exists all the same, and start-up goes on.

#include "ui/AboutBox.h"
#include "ui/ErrorDisplay.h"
#include "ui/MainWindow.h"
#include "ui/ModemPortDialog.h"

#include <QString>

#include <memory>

class Dialogs;

class Program {
public:
    static constexpr const char* kTitle = "ORVANA Transfer v1.22";

    // settingsFile: the per-user store of the port settings.
    Program(Dialogs& boxes, QString settingsFile);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Sets the application title and creates the windows, in this order:
    // frmMain, ModemPort, frmAboutBox.
    void StartUp();
    // Shows the main window and handles window messages until it is closed.
    int Run();

    ErrorDisplay& Errors() { return errors_; }

    Dialogs& dialogs;

private:
    // Declared before the windows, which use them while they exist.
    ErrorDisplay errors_;
    QString settingsFile_;

public:
    // The three windows, in the order they are created.
    std::unique_ptr<TfrmMain> frmMain;
    std::unique_ptr<TModemPort> ModemPort;
    std::unique_ptr<TfrmAboutBox> frmAboutBox;
};
