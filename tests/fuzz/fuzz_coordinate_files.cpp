// Files of any content through both readers: every line becomes one row whose
// pieces hold no line end, and the columns have the shape the reader gives.

#include "core/CoordinateFiles.h"

#include "FuzzInput.h"
#include "NullWindowServices.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool HasLineEnd(const std::u16string& text) { return text.find_first_of(u"\r\n") != std::u16string::npos; }

bool StartsBlank(const std::u16string& text) { return !text.empty() && text.front() <= u' '; }
bool EndsBlank(const std::u16string& text) { return !text.empty() && text.back() <= u' '; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile input;
    std::ofstream(input.path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const std::u16string name = input.Name();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lineEnds = static_cast<std::int32_t>(std::count(bytes.begin(), bytes.end(), '\n'));

    NullWindowServices window;
    RecordStore store(window);
    LoadXYZFile(store, name);
    Check(store.LinesCountXYZ >= 0 && store.LinesCountXYZ <= lineEnds + 1, "one row per line");
    Check(store.LinesCountXYZ < store.gridXYZData.RowCount(), "rows grow with the count");
    Check(store.comboDataFormat.ItemIndex() == DataFormatSelector::kXYZ, "XYZ selected");
    for (std::int32_t row = 1; row <= store.LinesCountXYZ; ++row) {
        for (std::int32_t col = 0; col < 4; ++col) {
            const std::u16string& cell = store.gridXYZData.Cell(col, row);
            Check(!HasLineEnd(cell) && !StartsBlank(cell), "pieces start after the blanks");
            // Pieces end at a blank; the last one takes the trimmed rest.
            if (col < 3) Check(cell.find(u' ') == std::u16string::npos, "no blank inside a piece");
            else Check(!EndsBlank(cell), "the rest is trimmed");
        }
    }

    LoadYDEFile(store, name);
    Check(store.LinesCountYDE == store.LinesCountXYZ, "both readers see the same lines");
    Check(store.comboDataFormat.ItemIndex() == DataFormatSelector::kYDE, "YDE selected");
    for (std::int32_t row = 1; row <= store.LinesCountYDE; ++row) {
        for (std::int32_t col = 0; col < 5; ++col) {
            const std::u16string& cell = store.gridYDEData.Cell(col, row);
            Check(!HasLineEnd(cell), "no line end in a cell");
            if (col >= 1) Check(cell.size() >= (col == 4 ? 5u : 8u), "values right-aligned to their width");
        }
    }
    return 0;
}
