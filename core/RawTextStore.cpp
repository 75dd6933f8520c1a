#include "core/RawTextStore.h"

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"

#include <optional>

namespace {

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = bigEndian ? static_cast<char16_t>(first << 8 | second)
                            : static_cast<char16_t>(second << 8 | first);
    }
    return text;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

}  // namespace

std::u16string DecodeTextFileBytes(std::string_view bytes) {
    if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
    if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
    if (StartsWith(bytes, "\xEF\xBB\xBF")) return Utf8ToUtf16(bytes.substr(3));
    return Cp1254ToUtf16(bytes);
}

std::u16string RawTextStore::Text() const {
    std::size_t size = 0;
    for (const auto& line : lines_) size += line.size() + 2;
    std::u16string text;
    text.reserve(size);
    for (const auto& line : lines_) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

void RawTextStore::SetText(std::u16string_view text) {
    if (const auto nul = text.find(u'\0'); nul != std::u16string_view::npos)
        text = text.substr(0, nul);
    // The new lines are built apart and then swapped in: running out of
    // memory on the way leaves the old ones.
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
        lines.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == u'\r') ++end;
        if (end < text.size() && text[end] == u'\n') ++end;
        start = end;
    }
    lines_.swap(lines);
}

void RawTextStore::LoadFromFile(std::u16string_view fileName) {
    std::string bytes;
    try {
        bytes = ReadFileBytes(fileName);
    } catch (const FileError& error) {
        throw EFOpenError(u"Cannot open file \"" + std::u16string(fileName) + u"\". " + error.Message());
    }
    SetText(DecodeTextFileBytes(bytes));
}

void RawTextStore::SaveToFile(std::u16string_view fileName) const {
    std::optional<OutputFile> file;
    try {
        file.emplace(fileName);
    } catch (const FileError& error) {
        throw EFCreateError(u"Cannot create file \"" + std::u16string(fileName) + u"\". " + error.Message());
    }
    try {
        file->Write(Utf16ToCp1254(Text()));
        file->Commit();
    } catch (const FileError& error) {
        throw EWriteError(error.Message());
    }
}
