#include "core/TextCodec.h"

#include <array>

namespace {

// Bytes 0x80 to 0x9F of Windows-1254. The unassigned 0x81, 0x8D to 0x90, 0x9D
// and 0x9E stand for themselves.
constexpr std::array<char16_t, 32> kHigh80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178,
};

// Bytes 0xA0 to 0xFF are Latin-1 but for the six Turkish letters.
constexpr char16_t Latin5(unsigned char byte) {
    switch (byte) {
    case 0xD0: return 0x011E;  // Ğ
    case 0xDD: return 0x0130;  // İ
    case 0xDE: return 0x015E;  // Ş
    case 0xF0: return 0x011F;  // ğ
    case 0xFD: return 0x0131;  // ı
    case 0xFE: return 0x015F;  // ş
    default: return byte;
    }
}

constexpr std::array<char16_t, 256> MakeDecodeTable() {
    std::array<char16_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        if (b < 0x80) table[b] = static_cast<char16_t>(b);
        else if (b < 0xA0) table[b] = kHigh80[b - 0x80];
        else table[b] = Latin5(static_cast<unsigned char>(b));
    }
    return table;
}

constexpr std::array<char16_t, 256> kDecode = MakeDecodeTable();

constexpr char16_t kReplacement = 0xFFFD;

}  // namespace

char16_t Cp1254ToChar(unsigned char byte) { return kDecode[byte]; }

unsigned char CharToCp1254(char16_t ch) {
    if (ch < 0x80) return static_cast<unsigned char>(ch);
    if (ch < 0x100 && kDecode[ch] == ch) return static_cast<unsigned char>(ch);
    for (unsigned b = 0x80; b < 0x100; ++b)
        if (kDecode[b] == ch) return static_cast<unsigned char>(b);
    return '?';
}

std::u16string Cp1254ToUtf16(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[i] = kDecode[static_cast<unsigned char>(bytes[i])];
    return text;
}

std::string Utf16ToCp1254(std::u16string_view text) {
    std::string bytes(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes[i] = static_cast<char>(CharToCp1254(text[i]));
    return bytes;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    while (i < n) {
        const unsigned char lead = byteAt(i);
        if (lead < 0x80) {
            text.push_back(lead);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; minimum = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; minimum = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; minimum = 0x10000; }
        else { text.push_back(kReplacement); ++i; continue; }
        std::size_t k = 1;
        for (; k <= static_cast<std::size_t>(extra); ++k) {
            if (i + k >= n || (byteAt(i + k) & 0xC0) != 0x80) break;
            cp = (cp << 6) | (byteAt(i + k) & 0x3F);
        }
        if (k <= static_cast<std::size_t>(extra) || cp < minimum || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            text.push_back(kReplacement);
            i += k;  // skip the lead and the continuation bytes seen
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(cp));
        }
        i += k;
    }
    return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            bytes.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            bytes.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            bytes.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            bytes.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            bytes.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return bytes;
}

std::u16string DecimalText(std::int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}
