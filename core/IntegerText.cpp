#include "core/IntegerText.h"

#include "core/Errors.h"

#include <string>

namespace {

int HexDigitValue(char16_t ch) {
    if (ch >= u'0' && ch <= u'9') return ch - u'0';
    if (ch >= u'a' && ch <= u'f') return ch - u'a' + 10;
    if (ch >= u'A' && ch <= u'F') return ch - u'A' + 10;
    return -1;
}

std::optional<std::int32_t> ParseHex(std::u16string_view digits, bool negative) {
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    int significant = 0;
    for (char16_t ch : digits) {
        const int d = HexDigitValue(ch);
        if (d < 0) return std::nullopt;
        if (significant > 0 || d != 0) ++significant;
        if (significant > 8) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ParseDecimal(std::u16string_view digits, bool negative) {
    if (digits.empty()) return std::nullopt;
    // Magnitude up to 2^31 for a negative number, 2^31 - 1 otherwise.
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    std::uint64_t value = 0;
    for (char16_t ch : digits) {
        if (ch < u'0' || ch > u'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(ch - u'0');
        if (value > limit) return std::nullopt;
    }
    const std::int64_t signedValue =
        negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
    return static_cast<std::int32_t>(signedValue);
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const std::u16string_view rest = text.substr(i);
    if (!rest.empty() && (rest[0] == u'$' || rest[0] == u'x' || rest[0] == u'X'))
        return ParseHex(rest.substr(1), negative);
    if (rest.size() >= 2 && rest[0] == u'0' && (rest[1] == u'x' || rest[1] == u'X'))
        return ParseHex(rest.substr(2), negative);
    return ParseDecimal(rest, negative);
}

std::int32_t StrToInt(std::u16string_view text) {
    if (const auto value = TryStrToInt(text)) return *value;
    throw EConvertError(u"''" + std::u16string(text) + u"'' is not a valid integer value");
}
