#include "ui/ErrorDisplay.h"

#include "core/Errors.h"
#include "ui/Dialogs.h"

#include <exception>
#include <new>

QString WithFullStop(const QString& text) {
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) return text + QLatin1Char('.');
    return text;
}

void ErrorDisplay::Show(const QString& message) { dialogs_.ShowError(WithFullStop(message)); }

namespace {

const QString kOutOfMemory = QStringLiteral("Out of memory.");
const QString kUnknownError = QStringLiteral("Beklenmeyen bir hata oluştu.");

// The text of the error being handled.
QString CurrentErrorText() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (const Exception& e) {
        return QString::fromStdU16String(e.Message());
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return kUnknownError;
    }
}

}  // namespace

bool ErrorDisplay::Run(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (...) {
        // Nothing may leave: the command runs inside a slot of the toolkit.
        // Should showing the error run out of memory too, that is shown
        // instead if it can be; otherwise the error is dropped.
        try {
            Show(CurrentErrorText());
        } catch (const std::bad_alloc&) {
            try {
                dialogs_.ShowError(kOutOfMemory);
            } catch (...) {
            }
        } catch (...) {
        }
    }
    return false;
}
