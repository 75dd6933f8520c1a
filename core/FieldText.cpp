#include "core/FieldText.h"

namespace {
constexpr bool IsDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }
}  // namespace

std::size_t FirstNonDigitPos(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!IsDigit(text[i])) return i + 1;
    return 0;
}

std::size_t FirstDigitPos(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (IsDigit(text[i])) return i + 1;
    return 0;
}

std::u16string TrimSpaces(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(u' ');
    return std::u16string(text.substr(first, last - first + 1));
}

std::u16string SuppressLeadingZeros(std::u16string text, char16_t sign) {
    for (std::size_t i = 0; i + 1 < text.size() && text[i] == u'0' && text[i + 1] != u'.'; ++i)
        text[i] = u' ';
    if (sign == u'-') {
        const std::size_t first = text.find_first_not_of(u' ');
        if (first == std::u16string::npos) return text;
        if (first > 0) text[first - 1] = u'-';
        else text.insert(text.begin(), u'-');
    }
    return text;
}

std::u16string FormatSignedDigits(std::u16string_view text, std::uint8_t width) {
    const bool negative = text.find(u'-') != std::u16string_view::npos;
    std::u16string value(text);
    const std::size_t point = value.find(u'.');
    if (point != std::u16string::npos && point > 6) value.erase(0, point - 6);
    if (const std::size_t p = value.find(u'.'); p != std::u16string::npos && value.size() - p - 1 == 2)
        value.push_back(u'0');

    std::u16string field(static_cast<std::size_t>(width) + 1, u'0');
    field[0] = negative ? u'-' : u'+';
    std::size_t place = width;
    for (auto it = value.rbegin(); it != value.rend() && place > 0; ++it)
        if (IsDigit(*it)) field[place--] = *it;
    return field;
}

std::u16string PadRight(std::u16string text, std::uint8_t width) {
    if (text.size() < width) text.resize(width, u' ');
    return text;
}
