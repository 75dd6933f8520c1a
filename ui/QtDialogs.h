#pragma once
// The modal boxes as Qt shows them. File dialogs are Qt's own (not the
// platform's), so that they behave the same everywhere.

#include "ui/Dialogs.h"

#include <QStringList>

class QFileDialog;
class QLocale;
class QTranslator;

class QtDialogs : public Dialogs {
public:
    bool Execute(FileDialog& dialog) override;
    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    QString InputBox(const QString& caption, const QString& prompt, const QString& defaultText) override;
    void Beep() override;
};

// Loads Qt's own texts (the file dialogs, the input box, the buttons of
// message boxes) for the locale into the translator and installs it for the
// application; false, with nothing installed, when Qt has none for it. The
// program's own texts are not translated.
bool InstallQtTranslations(QTranslator& translator, const QLocale& locale);

// "Tüm dosyalar|*.*|XYZ Dosyaları|*.XYZ" as Qt name filters, one per pair.
// "*.*" matches every file, and patterns match letters in either case, as file
// names do on the system the filters were written for.
QStringList NameFiltersOf(const QString& filter);

// Sets a Qt file dialog up from the dialog's state.
void PrepareFileDialog(QFileDialog& qtDialog, const FileDialog& dialog);
// Takes the chosen file name and filter back from a confirmed Qt dialog.
void ReadBackFileDialog(const QFileDialog& qtDialog, FileDialog& dialog);
