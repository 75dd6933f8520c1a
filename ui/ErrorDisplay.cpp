#include "ui/ErrorDisplay.h"

#include "core/Errors.h"
#include "ui/Dialogs.h"

#include <exception>

QString WithFullStop(const QString& text) {
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) return text + QLatin1Char('.');
    return text;
}

void ErrorDisplay::Show(const QString& message) { dialogs_.ShowError(WithFullStop(message)); }

bool ErrorDisplay::Run(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const Exception& e) {
        Show(QString::fromStdU16String(e.Message()));
    } catch (const std::exception& e) {
        Show(QString::fromUtf8(e.what()));
    }
    return false;
}
