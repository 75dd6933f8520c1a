#include "core/CoordinateFiles.h"

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "core/TextTrim.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>

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
    // The new file complete and on the disk, not yet in place.
    void Complete() {
        Flush();
        file_.Complete();
    }
    void PutInPlace() { file_.PutInPlace(); }

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

// Rows 1 to count of the grid, line by line, and the file completed.
void WriteRecords(LineWriter& out, const StringGrid& grid, std::int32_t count, LineLayout layout) {
    // Counted in 64 bits: a count of INT32_MAX must end the loop, not wrap.
    for (std::int64_t row = 1; row <= count; ++row) {
        layout(out, grid, static_cast<std::int32_t>(row));
        out.EndLine();
    }
    out.Complete();
}

// The file system's failures of a save as EInOutError.
template <class Save>
void WithInOutErrors(const Save& save) {
    try {
        save();
    } catch (const FileError& error) {
        throw EInOutError(error.Message(), error.errorNumber);
    }
}

void SaveRecords(const std::u16string& fileName, const StringGrid& grid, std::int32_t count, LineLayout layout) {
    WithInOutErrors([&] {
        LineWriter out(fileName);
        WriteRecords(out, grid, count, layout);
        out.PutInPlace();
    });
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

// Takes the CRs out of the text's lines and ends the text before a line that
// starts with the character of code 26: then its lines are what its LFs
// separate, as the line rule has it (a line ends at LF or CR LF, a CR anywhere
// else is dropped, code 26 at the start of a line ends the file). A last line
// without a line end is a line too, also when it held nothing but CRs: it is
// kept as an LF alone, in the room its CRs leave.
void KeepLines(std::u16string& text) {
    std::size_t start = 0;  // of the next line
    std::size_t kept = 0;   // the end of what is kept
    while (start < text.size() && text[start] != kEndOfFile) {
        const std::size_t lf = text.find(u'\n', start);
        const std::size_t end = lf == std::u16string::npos ? text.size() : lf + 1;  // the LF stays
        const std::size_t lineStart = kept;
        for (; start < end; ++start)
            if (text[start] != u'\r') text[kept++] = text[start];
        if (kept == lineStart) text[kept++] = u'\n';
    }
    text.resize(kept);
}

// Calls record(row, pieces) for every line of a text cut by KeepLines, with
// rows from 1; gives the number of lines.
template <std::size_t Columns, class Record>
std::int32_t ForEachRecord(std::u16string_view text, const Record& record) {
    std::int32_t row = 0;
    for (std::size_t start = 0; start < text.size();) {
        // A grid can't number more rows.
        if (row == std::numeric_limits<std::int32_t>::max() - 2) throw FileError(EFBIG);
        const std::size_t lf = std::min(text.find(u'\n', start), text.size());
        record(++row, SplitLine<Columns>(text.substr(start, lf - start)));
        start = lf + 1;
    }
    return row;
}

// All or nothing: when the file can't be read, or memory runs out on the way,
// the grid, its count and the selected format stay as they were. The file is
// read whole and every cell made room for first, with no text changed; the
// pieces then go into that room, right-aligned in their columns' widths, in a
// step that allocates nothing and so can't fail. Then the format is selected.
template <std::size_t Columns>
void ReadRecords(RecordStore& store, const std::u16string& fileName, GridKind kind,
                 const std::array<std::size_t, Columns>& widths, int format) {
    StringGrid& grid = store.Grid(kind);
    std::int32_t records = 0;
    std::u16string text;
    try {
        text = Cp1254ToUtf16(ReadFileBytes(fileName));
        KeepLines(text);
        records = ForEachRecord<Columns>(text, [&](std::int32_t row, const auto& pieces) {
            for (std::size_t col = 0; col < Columns; ++col)
                grid.ReserveCell(static_cast<std::int32_t>(col), row, std::max(pieces[col].size(), widths[col]));
        });
    } catch (const FileError& error) {
        throw EInOutError(error.Message(), error.errorNumber);
    }
    {
        GridUpdate update(grid);
        ForEachRecord<Columns>(text, [&](std::int32_t row, const auto& pieces) {
            for (std::size_t col = 0; col < Columns; ++col)
                grid.AssignCell(static_cast<std::int32_t>(col), row, pieces[col], widths[col]);
        });
        grid.Clear(records + 1);
        store.SetRecordsRead(kind, records);
    }
    store.comboDataFormat.SetItemIndex(format);
    store.comboDataFormatChange();
}

}  // namespace

void SaveXYZFile(const RecordStore& store, const std::u16string& fileName) {
    SaveRecords(fileName, store.gridXYZData, store.LinesCountXYZ, XYZLine);
}

void SaveYXZFile(const RecordStore& store, const std::u16string& fileName) {
    SaveRecords(fileName, store.gridXYZData, store.LinesCountXYZ, YXZLine);
}

void SaveYDEFile(const RecordStore& store, const std::u16string& fileName) {
    SaveRecords(fileName, store.gridYDEData, store.LinesCountYDE, YDELine);
}

void SaveXYZAndYDEFiles(const RecordStore& store, const std::u16string& xyzFileName,
                        const std::u16string& ydeFileName) {
    WithInOutErrors([&] {
        LineWriter xyz(xyzFileName);
        WriteRecords(xyz, store.gridXYZData, store.LinesCountXYZ, XYZLine);
        LineWriter yde(ydeFileName);
        WriteRecords(yde, store.gridYDEData, store.LinesCountYDE, YDELine);
        // Both complete: only two renames are left, one right after the other.
        xyz.PutInPlace();
        yde.PutInPlace();
    });
}

void LoadXYZFile(RecordStore& store, const std::u16string& fileName) {
    // The pieces as they are.
    ReadRecords<4>(store, fileName, GridKind::XYZ, {0, 0, 0, 0}, DataFormatSelector::kXYZ);
}

void LoadYDEFile(RecordStore& store, const std::u16string& fileName) {
    // The point number as it is, the values as "%8s" and "%5s" set them.
    ReadRecords<5>(store, fileName, GridKind::YDE, {0, 8, 8, 8, 5}, DataFormatSelector::kYDE);
}
