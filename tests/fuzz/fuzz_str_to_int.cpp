// The integer text rule against a plain model of it: the same texts accepted,
// the same values given, and EConvertError exactly for the texts refused.

#include "core/Errors.h"
#include "core/IntegerText.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

int DigitValue(char16_t ch, int base) {
    int value = 99;
    if (ch >= u'0' && ch <= u'9') value = ch - u'0';
    else if (ch >= u'a' && ch <= u'f') value = ch - u'a' + 10;
    else if (ch >= u'A' && ch <= u'F') value = ch - u'A' + 10;
    return value < base ? value : -1;
}

std::optional<std::int32_t> Model(std::u16string_view text) {
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with(u"0x") || text.starts_with(u"0X")) base = 16, text.remove_prefix(2);
    else if (!text.empty() && (text.front() == u'$' || text.front() == u'x' || text.front() == u'X'))
        base = 16, text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    while (text.size() > 1 && text.front() == u'0') text.remove_prefix(1);  // leading zeros
    if (text.size() > 10) return std::nullopt;
    std::int64_t magnitude = 0;
    for (char16_t ch : text) {
        const int digit = DigitValue(ch, base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + digit;
    }
    if (base == 16) {
        if (text.size() > 8) return std::nullopt;
        const auto pattern = static_cast<std::uint32_t>(magnitude);
        return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One character per byte, so that digits, signs and prefixes come easily;
    // bytes from 0x80 on stand for characters beyond Latin-1 as well.
    std::u16string text(size, u'\0');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = data[i] < 0xF0 ? data[i] : static_cast<char16_t>(0xFF00 + data[i]);

    const std::optional<std::int32_t> expected = Model(text);
    if (TryStrToInt(text) != expected) std::abort();
    try {
        if (StrToInt(text) != expected) std::abort();
    } catch (const EConvertError& error) {
        if (expected || error.Message() != u"''" + text + u"'' is not a valid integer value") std::abort();
    }
    return 0;
}
