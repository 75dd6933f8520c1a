#pragma once
// The default error display: the one boundary every command and every window
// creation runs through. What a command raises is shown in an error box with
// the application title as caption, and the program goes on.

#include <QString>

#include <functional>

class Dialogs;

class ErrorDisplay {
public:
    explicit ErrorDisplay(Dialogs& dialogs) : dialogs_(dialogs) {}

    // Runs the command and shows what it raises: "Out of memory." when memory
    // ran out, the message of an Exception, the text of another
    // std::exception, a general text for anything else; nothing passes. True
    // when it ended without an error.
    bool Run(const std::function<void()>& command);
    // Shows an error's text, with a full stop added where one belongs.
    void Show(const QString& message);

private:
    Dialogs& dialogs_;
};

// The text as the error box shows it: a "." is added when the last character
// sorts after "." (its code is greater), so "Failed" gets one and "Failed!",
// "'x'" and "done." do not.
QString WithFullStop(const QString& text);
