#pragma once
// Helpers for the text of fixed-width numeric fields. They take a text and
// give a new text or a position; positions count from 1 and 0 means "none".
// A digit is "0" to "9" only; a blank is the character of code 32 only.

#include <cstdint>
#include <string>
#include <string_view>

// Position of the first non-digit; 0 when every character is a digit.
std::size_t FirstNonDigitPos(std::u16string_view text);
// Position of the first digit; 0 when there is none.
std::size_t FirstDigitPos(std::u16string_view text);
// The text without its leading and trailing blanks.
std::u16string TrimSpaces(std::u16string_view text);
// The text with its leading zeros blanked (never the last character, never a
// "0" right before the "."), and for sign '-' a "-" put in place of the blank
// before the first significant character. Where no blank stands there, the
// "-" is put in front and the text grows by one.
std::u16string SuppressLeadingZeros(std::u16string text, char16_t sign);
// "+" or "-" (a "-" anywhere in the text) and exactly width digits: at most 6
// characters of the integer part, two decimals made three, the digits
// right-aligned and filled with "0". With more digits than places, the
// rightmost ones are kept.
std::u16string FormatSignedDigits(std::u16string_view text, std::uint8_t width);
// The text with blanks appended up to width characters; never shorter.
std::u16string PadRight(std::u16string text, std::uint8_t width);
