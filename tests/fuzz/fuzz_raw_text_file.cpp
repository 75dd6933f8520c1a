// Files of any bytes loaded into the raw text store, as a raw dump is, and the
// same bytes as a reading keeps what it received, one character a byte. Kept
// so, every byte up to the first NUL is one character of the lines, the line
// ends aside. Loaded, a UTF-16 LE, UTF-16 BE or UTF-8 byte-order mark is
// dropped and the rest decoded by it; without a mark the lines are the same.

#include "core/RawTextStore.h"
#include "core/TextCodec.h"

#include "FuzzInput.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::u16string> Lines(const RawTextStore& store) {
    std::vector<std::u16string> lines;
    for (std::int32_t i = 0; i < store.Count(); ++i) lines.push_back(store.Strings(i));
    return lines;
}

std::vector<std::u16string> LinesOf(std::u16string_view text) {
    RawTextStore store;
    store.SetText(text);
    return Lines(store);
}

std::u16string Utf16(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(file.path, std::ios::binary | std::ios::trunc) << bytes;

    const std::vector<std::u16string> plain = LinesOf(Cp1254ToUtf16(bytes));
    std::string joined;
    for (const std::u16string& line : plain) joined += Utf16ToCp1254(line);
    std::string expected = bytes.substr(0, bytes.find('\0'));
    std::erase_if(expected, [](char ch) { return ch == '\r' || ch == '\n'; });
    Check(joined == expected, "one character a byte");

    RawTextStore marked;
    marked.LoadFromFile(file.Name());
    std::vector<std::u16string> lines;
    if (bytes.starts_with("\xFF\xFE")) lines = LinesOf(Utf16(bytes.substr(2), false));
    else if (bytes.starts_with("\xFE\xFF")) lines = LinesOf(Utf16(bytes.substr(2), true));
    else if (bytes.starts_with("\xEF\xBB\xBF")) lines = LinesOf(Utf8ToUtf16(bytes.substr(3)));
    else lines = plain;
    Check(Lines(marked) == lines, "a mark selects the decoding");
    return 0;
}
