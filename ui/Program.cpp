#include "ui/Program.h"

#include "ui/FormLook.h"

#include <QApplication>

Program::Program(Dialogs& boxes, QString settingsFile)
    : dialogs(boxes), errors_(boxes), settingsFile_(std::move(settingsFile)) {
    Q_INIT_RESOURCE(forms);
}

Program::~Program() = default;

void Program::StartUp() {
    // The application title: the caption of every message box, and what the
    // desktop shows for the program. (As the application's name rather than
    // its display name, which Qt would append to every window's caption.)
    QCoreApplication::setApplicationName(QString::fromUtf8(kTitle));
    RegisterFontSubstitutes();

    frmMain = std::make_unique<TfrmMain>(*this);
    errors_.Run([this] { frmMain->FormCreate(); });

    ModemPort = std::make_unique<TModemPort>(dialogs, errors_, settingsFile_);
    errors_.Run([this] { ModemPort->FormCreate(); });

    frmAboutBox = std::make_unique<TfrmAboutBox>();
}

int Program::Run() {
    frmMain->show();
    return QApplication::exec();
}
