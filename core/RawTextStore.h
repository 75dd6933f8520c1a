#pragma once
// The raw text store: an ordered list of text lines (duplicates kept) holding
// the packet lines last received or loaded for conversion, or what an upload
// sent. Its text form ends every line with CR LF.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class RawTextStore {
public:
    void Clear() { lines_.clear(); }
    std::int32_t Count() const { return static_cast<std::int32_t>(lines_.size()); }
    const std::u16string& Strings(std::int32_t index) const { return lines_.at(static_cast<std::size_t>(index)); }
    void Add(std::u16string line) { lines_.push_back(std::move(line)); }

    // Every line followed by CR LF; empty for an empty store.
    std::u16string Text() const;
    // Replaces the lines by those of the text. A line ends at CR LF, CR or LF;
    // a line end at the very end adds no empty line; a NUL ends the text.
    // When memory runs out, the old lines stay.
    void SetText(std::u16string_view text);

    // Loads a file: a UTF-16 LE, UTF-16 BE or UTF-8 byte-order mark selects
    // that encoding, otherwise the bytes are Windows-1254. Raises EFOpenError "Cannot open file
    // "<name>". <reason>" and keeps the lines when the file can't be read.
    void LoadFromFile(std::u16string_view fileName);
    // Writes Text in Windows-1254 without a byte-order mark. Raises
    // EFCreateError "Cannot create file "<name>". <reason>" when the file can't
    // be created, EWriteError when writing fails.
    void SaveToFile(std::u16string_view fileName) const;

private:
    std::vector<std::u16string> lines_;
};

// Decodes the bytes of a text file as LoadFromFile does.
std::u16string DecodeTextFileBytes(std::string_view bytes);
