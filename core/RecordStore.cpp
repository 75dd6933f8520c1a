#include "core/RecordStore.h"

#include <algorithm>
#include <limits>

void RecordStore::comboDataFormatChange() {
    switch (comboDataFormat.ItemIndex()) {
    case DataFormatSelector::kXYZ:
    case DataFormatSelector::kYXZ: frontGrid_ = GridKind::XYZ; break;
    case DataFormatSelector::kYDE: frontGrid_ = GridKind::YDE; break;
    default: return;
    }
    services.BringGridToFront(frontGrid_);
}

void RecordStore::ConversionReset() {
    for (GridKind kind : {GridKind::XYZ, GridKind::YDE}) {
        Grid(kind).SetRowCount(10);
        Grid(kind).Clear();
        LinesCount(kind) = 0;
    }
}

std::int32_t RecordStore::AddRecord(GridKind kind) {
    std::int32_t& count = LinesCount(kind);
    StringGrid& grid = Grid(kind);
    ++count;
    if (count >= grid.RowCount())
        grid.SetRowCount(count <= std::numeric_limits<std::int32_t>::max() - 2
                             ? count + 2
                             : std::numeric_limits<std::int32_t>::max());
    return count;
}

void RecordStore::SetRecordsRead(GridKind kind, std::int32_t count) {
    // RowCount stays while the records fit below it; else the count reached
    // it, and every second record after that, each time making it count + 2.
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int64_t rows = Grid(kind).RowCount();
    const std::int64_t grown = count < rows ? rows : rows + 2 * ((count - rows) / 2 + 1);
    Grid(kind).SetRowCount(static_cast<std::int32_t>(std::min(grown, kMax)));
    LinesCount(kind) = count;
}

void RecordStore::SetCoordinateRecordCount(std::int32_t n) {
    gridXYZData.SetRowCount(n < std::numeric_limits<std::int32_t>::max() ? n + 1 : n);
    LinesCountXYZ = n;
}
