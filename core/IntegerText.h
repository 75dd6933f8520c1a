#pragma once
// The integer text rule: how the program reads a whole number from text
// (checksum fields of packets, the baud and byte-size texts, the record count).
//
// Blanks (code 32 only) before the number are skipped; then at most one "+" or
// "-"; then decimal digits, or a hexadecimal prefix ("$", "x", "X", "0x",
// "0X") and hexadecimal digits. Nothing may follow. A decimal value must fit
// in 32 signed bits; a hexadecimal one may have up to 8 significant digits and
// is taken as a 32-bit pattern. Anything else raises EConvertError.

#include <cstdint>
#include <optional>
#include <string_view>

// The value of the text, or nothing when the text breaks the rule.
std::optional<std::int32_t> TryStrToInt(std::u16string_view text);

// The value of the text; EConvertError "''<text>'' is not a valid integer
// value" when the text breaks the rule.
std::int32_t StrToInt(std::u16string_view text);
