#pragma once
// Conversions between the program's UTF-16 text and the outside world:
// Windows-1254 (Turkish), the system's 8-bit code page for files and the
// serial line, and UTF-8 for file names and messages of the system.

#include <cstdint>
#include <string>
#include <string_view>

// One byte of Windows-1254 as a UTF-16 character. Every byte has one: the
// five bytes the code page leaves unassigned map to the control characters of
// the same value, so that any byte stream survives a round trip.
char16_t Cp1254ToChar(unsigned char byte);

// One character as a Windows-1254 byte; a character the code page lacks
// becomes '?'.
unsigned char CharToCp1254(char16_t ch);

std::u16string Cp1254ToUtf16(std::string_view bytes);
std::string Utf16ToCp1254(std::u16string_view text);

// An integer in decimal digits, with "-" before a negative one.
std::u16string DecimalText(std::int64_t value);

// UTF-8 and UTF-16. Malformed UTF-8 bytes and lone surrogates become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);
