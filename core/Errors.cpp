#include "core/Errors.h"

#include "core/TextCodec.h"

#include <cstring>

Exception::Exception(std::u16string message)
    : message_(std::move(message)), utf8_(Utf16ToUtf8(message_)) {}

std::u16string SystemErrorMessage(int errorNumber) {
    // strerror's text is ASCII in the C locale and UTF-8 otherwise.
    return Utf8ToUtf16(std::strerror(errorNumber));
}
