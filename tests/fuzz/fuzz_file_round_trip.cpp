// Grids of cells made from any input, saved and opened again in each layout.
// The cells are made plain first (not empty, no character but those above the
// blank that Windows-1254 carries), since the layouts have no mark for an
// empty field and a blank or a line end inside a cell splits it: every record
// then comes back as it was, exactly from the XYZ layout, with X and Y
// exchanged from the YXZ layout (opened as XYZ), and right-aligned as the YDE
// reader sets values from the YDE layout.

#include "core/CoordinateFiles.h"

#include "FuzzInput.h"
#include "NullWindowServices.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The cell with every character that a field can't carry back replaced by a
// visible one derived from it, and a mark in place of nothing.
std::u16string Plain(std::u16string cell) {
    for (char16_t& ch : cell)
        if (ch <= u' ' || Cp1254ToChar(CharToCp1254(ch)) != ch) ch = static_cast<char16_t>(u'!' + ch % 94);
    if (cell.empty()) cell = u"-";
    return cell;
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
    Check(opened.LinesCount(kind) == saved.LinesCount(kind), "one record a line");
    for (std::int32_t row = 1; row <= saved.LinesCount(kind); ++row)
        for (std::int32_t col = 0; col < in.ColCount(); ++col)
            Check(out.Cell(col, row) == back(in, col, row), "a record comes back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file;
    std::vector<std::u16string> cells = FuzzCells(data, size);
    for (std::u16string& cell : cells) cell = Plain(std::move(cell));
    // Whole records: the cells of a record begun and not ended are marks too.
    cells.resize((cells.size() + 19) / 20 * 20, u"-");
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
