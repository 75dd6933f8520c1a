#pragma once
// The modal boxes the windows show: file open and save dialogs, the plain
// message box, the error box and the one-line input box. The program uses the
// Qt implementation (QtDialogs); tests use a scripted one, so that no test
// waits on a box.

#include <QString>

// The state of one file dialog (OpenDialog1, SaveDialog1). It outlives each
// showing: a dialog starts with the file name last chosen in it, and after a
// confirmed dialog FilterIndex holds the filter last chosen.
struct FileDialog {
    enum class Kind { Open, Save };

    FileDialog(Kind dialogKind, QString filter) : kind(dialogKind), Filter(std::move(filter)) {}

    Kind kind;
    // Pairs of description and pattern, all separated by "|".
    QString Filter;
    // The pair the dialog starts with, counted from 1.
    int FilterIndex = 1;
    // Save dialog: the extension added to a name typed without one.
    QString DefaultExt;
    // The full path last chosen.
    QString FileName;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows the dialog; true when the user confirmed a name, which is then in
    // dialog.FileName. An open dialog accepts only an existing file; a save
    // dialog asks before an existing file is overwritten.
    virtual bool Execute(FileDialog& dialog) = 0;
    // A box with the text, the application title as caption, one OK button
    // and no icon. A CR LF in the text starts a new line.
    virtual void ShowMessage(const QString& text) = 0;
    // The same box with an error icon.
    virtual void ShowError(const QString& text) = 0;
    // A one-line input box of up to 255 characters; gives defaultText back
    // when cancelled.
    virtual QString InputBox(const QString& caption, const QString& prompt, const QString& defaultText) = 0;
    // The system's warning sound: what a refused command gives instead.
    virtual void Beep() = 0;
};
