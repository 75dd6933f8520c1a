#pragma once
// Modal boxes for tests: file dialogs and input boxes answer from a script,
// messages and errors are recorded. Nothing waits on the user.

#include "QtPrinting.h"
#include "ui/Dialogs.h"

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

class ScriptedDialogs : public Dialogs {
public:
    // One answer per file dialog shown: a file name confirms the dialog (with
    // the filter index, 0 to keep the dialog's), nullopt cancels it.
    struct FileAnswer {
        std::optional<QString> fileName;
        int filterIndex = 0;
    };
    std::deque<FileAnswer> fileAnswers;
    // One answer per input box: the text typed, or nullopt for Cancel.
    std::deque<std::optional<QString>> inputAnswers;

    // The state of each file dialog as it was shown.
    std::vector<FileDialog> fileDialogsShown;
    std::vector<QString> messages;
    std::vector<QString> errors;
    int beeps = 0;
    // Runs as an error box would be shown.
    std::function<void(const QString&)> onError;

    bool Execute(FileDialog& dialog) override {
        fileDialogsShown.push_back(dialog);
        if (fileAnswers.empty()) return false;
        const FileAnswer answer = fileAnswers.front();
        fileAnswers.pop_front();
        if (!answer.fileName) return false;
        dialog.FileName = *answer.fileName;
        if (answer.filterIndex > 0) dialog.FilterIndex = answer.filterIndex;
        return true;
    }
    void ShowMessage(const QString& text) override { messages.push_back(text); }
    void ShowError(const QString& text) override {
        errors.push_back(text);
        if (onError) onError(text);
    }
    void Beep() override { ++beeps; }
    QString InputBox(const QString&, const QString&, const QString& defaultText) override {
        if (inputAnswers.empty()) return defaultText;
        const std::optional<QString> answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer.value_or(defaultText);
    }
};
