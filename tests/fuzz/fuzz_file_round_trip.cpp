// Grids of any cells saved and opened again in each layout. A record whose
// cells are all plain (not empty, no character but those above the blank that
// Windows-1254 carries) comes back as it was: exactly from the XYZ layout,
// with X and Y exchanged from the YXZ layout (opened as XYZ), and right-aligned
// as the YDE reader sets values from the YDE layout. Empty cells can't come
// back: the layouts have no mark for an empty field. Up to a cell that holds
// an LF (or a point number that starts with the end-of-file character), every
// record is one line and comes back as one record.

#include "core/CoordinateFiles.h"

#include "FuzzInput.h"
#include "NullWindowServices.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool Plain(const std::u16string& cell) {
    return !cell.empty() && std::all_of(cell.begin(), cell.end(), [](char16_t ch) {
        return ch > u' ' && Cp1254ToChar(CharToCp1254(ch)) == ch;
    });
}

// The records, from the first, that are written as one line each, which the
// reader takes as one record: up to a cell with a line end, or an XYZ point
// number that starts with the end-of-file character.
std::int32_t WholeRecords(RecordStore& store, GridKind kind) {
    const StringGrid& grid = store.Grid(kind);
    std::int32_t row = 1;
    for (; row <= store.LinesCount(kind); ++row) {
        if (kind == GridKind::XYZ && grid.Cell(0, row).starts_with(u'\x1A')) break;
        for (std::int32_t col = 0; col < grid.ColCount(); ++col)
            if (grid.Cell(col, row).find(u'\n') != std::u16string::npos) return row - 1;
    }
    return row - 1;
}

// The cell as the YDE reader brings a plain value back: right-aligned.
std::u16string RightAligned(const std::u16string& text, std::size_t width) {
    return text.size() < width ? std::u16string(width - text.size(), u' ') + text : text;
}

// Saves the grid of the kind into the file, opens that into a fresh store, and
// checks the records; `back` gives the text a plain cell comes back as.
template <class Back>
void RoundTrip(RecordStore& saved, GridKind kind, const std::u16string& file,
               void (*save)(const RecordStore&, const std::u16string&),
               void (*load)(RecordStore&, const std::u16string&), const Back& back) {
    NullWindowServices window;
    RecordStore opened(window);
    save(saved, file);
    load(opened, file);
    const StringGrid& in = saved.Grid(kind);
    const StringGrid& out = opened.Grid(kind);
    const std::int32_t rows = WholeRecords(saved, kind);
    if (rows == saved.LinesCount(kind)) Check(opened.LinesCount(kind) == rows, "one record a line");
    for (std::int32_t row = 1; row <= rows; ++row) {
        bool plain = true;
        for (std::int32_t col = 0; col < in.ColCount(); ++col) plain = plain && Plain(in.Cell(col, row));
        if (!plain) continue;
        for (std::int32_t col = 0; col < in.ColCount(); ++col)
            Check(out.Cell(col, row) == back(in, col, row), "a plain record comes back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file;
    const std::vector<std::u16string> cells = FuzzCells(data, size);
    NullWindowServices window;
    RecordStore store(window);
    FillRecords(store, GridKind::XYZ, cells);
    FillRecords(store, GridKind::YDE, cells);

    RoundTrip(store, GridKind::XYZ, file.Name(), SaveXYZFile, LoadXYZFile,
              [](const StringGrid& grid, std::int32_t col, std::int32_t row) { return grid.Cell(col, row); });
    RoundTrip(store, GridKind::XYZ, file.Name(), SaveYXZFile, LoadXYZFile,
              [](const StringGrid& grid, std::int32_t col, std::int32_t row) {
                  return grid.Cell(col == 1 || col == 2 ? 3 - col : col, row);
              });
    RoundTrip(store, GridKind::YDE, file.Name(), SaveYDEFile, LoadYDEFile,
              [](const StringGrid& grid, std::int32_t col, std::int32_t row) {
                  static constexpr std::array<std::size_t, 5> kWidths{0, 8, 8, 8, 5};
                  return RightAligned(grid.Cell(col, row), kWidths[static_cast<std::size_t>(col)]);
              });
    return 0;
}
