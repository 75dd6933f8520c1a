#include "core/CoordinateFiles.h"

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "core/TextTrim.h"

#include <algorithm>
#include <array>

namespace {

// The character that marks the end of a text file when it starts a line.
constexpr char16_t kEndOfFile = 26;

// Buffered Windows-1254 output of one file's lines.
class LineWriter {
public:
    explicit LineWriter(const std::u16string& fileName) : file_(fileName) { buffer_.reserve(kFlushSize + 1024); }

    void Blanks(std::size_t count) { buffer_.append(count, ' '); }
    // The text followed by blanks up to the width: a padded cell.
    void Padded(std::u16string_view text, std::size_t width) {
        Text(text);
        if (text.size() < width) Blanks(width - text.size());
    }
    // Blanks up to the width followed by the text: a "%<width>s" field. A
    // text that fills its width and would touch a non-blank before it gets
    // one blank in front, so that the two read back as two fields.
    void RightAligned(std::u16string_view text, std::size_t width) {
        if (text.size() < width) Blanks(width - text.size());
        else if (text.front() != u' ' && !buffer_.empty() && buffer_.back() != ' ' && buffer_.back() != '\n')
            Blanks(1);
        Text(text);
    }
    void EndLine() {
        buffer_ += "\r\n";
        if (buffer_.size() >= kFlushSize) Flush();
    }
    void Commit() {
        Flush();
        file_.Commit();
    }

private:
    static constexpr std::size_t kFlushSize = 1 << 16;

    void Text(std::u16string_view text) {
        for (char16_t ch : text) buffer_.push_back(static_cast<char>(CharToCp1254(ch)));
    }
    void Flush() {
        file_.Write(buffer_);
        buffer_.clear();
    }

    OutputFile file_;
    std::string buffer_;
};

using LineLayout = void (*)(LineWriter& out, const StringGrid& grid, std::int32_t row);

void XYZLine(LineWriter& out, const StringGrid& grid, std::int32_t row) {
    out.Padded(grid.Cell(0, row), 11);
    out.RightAligned(Trim(grid.Cell(1, row)), 11);
    out.RightAligned(Trim(grid.Cell(2, row)), 12);
    out.RightAligned(Trim(grid.Cell(3, row)), 12);
}

void YXZLine(LineWriter& out, const StringGrid& grid, std::int32_t row) {
    out.Padded(grid.Cell(0, row), 11);
    out.RightAligned(Trim(grid.Cell(2, row)), 11);
    out.RightAligned(Trim(grid.Cell(1, row)), 12);
    out.RightAligned(Trim(grid.Cell(3, row)), 12);
}

void YDELine(LineWriter& out, const StringGrid& grid, std::int32_t row) {
    out.Blanks(3);
    out.Padded(grid.Cell(0, row), 10);
    out.Blanks(1);
    out.RightAligned(Trim(grid.Cell(1, row)), 8);
    out.Blanks(2);
    out.RightAligned(Trim(grid.Cell(2, row)), 8);
    out.Blanks(1);
    out.RightAligned(Trim(grid.Cell(3, row)), 8);
    out.Blanks(1);
    out.RightAligned(Trim(grid.Cell(4, row)), 5);
    out.Blanks(2);
}

void WriteRecords(const std::u16string& fileName, const StringGrid& grid, std::int32_t count,
                  LineLayout layout) {
    try {
        LineWriter out(fileName);
        // Counted in 64 bits: a count of INT32_MAX must end the loop, not wrap.
        for (std::int64_t row = 1; row <= count; ++row) {
            layout(out, grid, static_cast<std::int32_t>(row));
            out.EndLine();
        }
        out.Commit();
    } catch (const FileError& error) {
        throw EInOutError(error.Message(), error.errorNumber);
    }
}

// The splitting rule: the trimmed line is cut at its first blank into the
// first piece and the trimmed rest, which gives the next piece the same way;
// the last piece is what remains, blanks inside and all. A rest without a
// blank passes on whole, leaving the pieces before the last one empty.
template <std::size_t Columns>
std::array<std::u16string_view, Columns> SplitLine(std::u16string_view line) {
    std::array<std::u16string_view, Columns> pieces{};
    std::u16string_view rest = Trim(line);
    for (std::size_t i = 0; i + 1 < Columns; ++i) {
        const std::size_t blank = rest.find(u' ');
        if (blank == std::u16string_view::npos) continue;
        pieces[i] = rest.substr(0, blank);
        rest = Trim(rest.substr(blank));
    }
    pieces[Columns - 1] = rest;
    return pieces;
}

// A piece set right-aligned in the width, as "%<width>s" does.
std::u16string RightAligned(std::u16string_view piece, std::size_t width) {
    std::u16string text;
    if (piece.size() < width) text.assign(width - piece.size(), u' ');
    text += piece;
    return text;
}

void StoreXYZLine(StringGrid& grid, std::int32_t row, std::u16string_view line) {
    const auto pieces = SplitLine<4>(line);
    for (std::int32_t col = 0; col < 4; ++col)
        grid.SetCell(col, row, std::u16string(pieces[static_cast<std::size_t>(col)]));
}

void StoreYDELine(StringGrid& grid, std::int32_t row, std::u16string_view line) {
    const auto pieces = SplitLine<5>(line);
    grid.SetCell(0, row, std::u16string(pieces[0]));
    grid.SetCell(1, row, RightAligned(pieces[1], 8));
    grid.SetCell(2, row, RightAligned(pieces[2], 8));
    grid.SetCell(3, row, RightAligned(pieces[3], 8));
    grid.SetCell(4, row, RightAligned(pieces[4], 5));
}

using StoreLine = void (*)(StringGrid& grid, std::int32_t row, std::u16string_view line);

// Reads the whole file first, so that a file that can't be read leaves the
// grid as it was; then replaces the grid's records by the file's lines and
// selects the format.
void ReadRecords(RecordStore& store, const std::u16string& fileName, GridKind kind, StoreLine storeLine,
                 int format) {
    std::u16string text;
    try {
        text = Cp1254ToUtf16(ReadFileBytes(fileName));
    } catch (const FileError& error) {
        throw EInOutError(error.Message(), error.errorNumber);
    }

    StringGrid& grid = store.Grid(kind);
    {
        GridUpdate update(grid);
        grid.Clear();
        store.LinesCount(kind) = 0;
        std::u16string scratch;  // a line with its lone CRs taken out
        std::size_t start = 0;
        // A line ends at LF or CR LF; a CR anywhere else is dropped. The
        // character of code 26 at the start of a line ends the file.
        while (start < text.size() && text[start] != kEndOfFile) {
            const std::size_t lf = text.find(u'\n', start);
            const std::size_t end = lf == std::u16string::npos ? text.size() : lf;
            std::u16string_view line(text.data() + start, end - start);
            start = lf == std::u16string::npos ? text.size() : lf + 1;
            if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
            if (line.find(u'\r') != std::u16string_view::npos) {
                scratch.assign(line);
                std::erase(scratch, u'\r');
                line = scratch;
            }
            storeLine(grid, store.AddRecord(kind), line);
        }
    }
    store.comboDataFormat.SetItemIndex(format);
    store.comboDataFormatChange();
}

}  // namespace

void SaveXYZFile(const RecordStore& store, const std::u16string& fileName) {
    WriteRecords(fileName, store.gridXYZData, store.LinesCountXYZ, XYZLine);
}

void SaveYXZFile(const RecordStore& store, const std::u16string& fileName) {
    WriteRecords(fileName, store.gridXYZData, store.LinesCountXYZ, YXZLine);
}

void SaveYDEFile(const RecordStore& store, const std::u16string& fileName) {
    WriteRecords(fileName, store.gridYDEData, store.LinesCountYDE, YDELine);
}

void LoadXYZFile(RecordStore& store, const std::u16string& fileName) {
    ReadRecords(store, fileName, GridKind::XYZ, StoreXYZLine, DataFormatSelector::kXYZ);
}

void LoadYDEFile(RecordStore& store, const std::u16string& fileName) {
    ReadRecords(store, fileName, GridKind::YDE, StoreYDELine, DataFormatSelector::kYDE);
}
