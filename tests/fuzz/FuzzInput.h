#pragma once
// What the fuzz targets share: a file of their own to write and read, grid
// cells made from the fuzzer's bytes, and the check that ends a run.

#include "core/RecordStore.h"
#include "core/TextCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

// One file per fuzzing process, removed when the process ends.
struct ScratchFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("korvex-fuzz-" + std::to_string(getpid()) + ".txt");
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    std::u16string Name() const { return path.u16string(); }
};

// Cells from the bytes: a byte 0 ends a cell, 0xFF and the byte after it give
// a character that Windows-1254 lacks, and every other byte is its
// Windows-1254 character.
inline std::vector<std::u16string> FuzzCells(const std::uint8_t* data, std::size_t size) {
    std::vector<std::u16string> cells(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) cells.emplace_back();
        else if (data[i] == 0xFF && i + 1 < size) cells.back() += static_cast<char16_t>(0x4E00 + data[++i]);
        else cells.back() += Cp1254ToChar(data[i]);
    }
    return cells;
}

// The cells as the records of a grid, ColCount to a row from row 1; the count
// covers every row begun.
inline void FillRecords(RecordStore& store, GridKind kind, const std::vector<std::u16string>& cells) {
    StringGrid& grid = store.Grid(kind);
    const auto columns = static_cast<std::size_t>(grid.ColCount());
    for (std::size_t i = 0; i < cells.size(); ++i)
        grid.SetCell(static_cast<std::int32_t>(i % columns), static_cast<std::int32_t>(i / columns + 1), cells[i]);
    store.LinesCount(kind) = static_cast<std::int32_t>((cells.size() + columns - 1) / columns);
}

// Ends the run as a finding when a property does not hold.
inline void Check(bool condition, const char* broken) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", broken);
    std::abort();
}
