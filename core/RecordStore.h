#pragma once
// The record store the conversion core works on: the coordinate grid and the
// observation grid with their record counts, the data-format selector and the
// raw text store, plus the window services the core calls. The main window
// owns one and shows its grids; the core reaches all of it through here.

#include "core/RawTextStore.h"
#include "core/StringGrid.h"
#include "core/WindowServices.h"

#include <array>
#include <cstdint>
#include <string>

// The data-format selector: a fixed list of three items, no typing.
class DataFormatSelector {
public:
    static constexpr int kXYZ = 0;
    static constexpr int kYXZ = 1;
    static constexpr int kYDE = 2;
    static constexpr std::array<const char16_t*, 3> kItems = {u"XYZ", u"YXZ", u"YDE"};

    // 0 to 2, or -1 when no item is selected.
    int ItemIndex() const { return itemIndex_; }
    // Selecting from code runs no change handler. An index outside the list
    // leaves no item selected.
    void SetItemIndex(int index) { itemIndex_ = (index >= 0 && index <= 2) ? index : -1; }

private:
    int itemIndex_ = kXYZ;
};

class RecordStore {
public:
    explicit RecordStore(WindowServices& windowServices) : services(windowServices) {}
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    StringGrid gridXYZData{4};
    StringGrid gridYDEData{5};
    std::int32_t LinesCountXYZ = 0;
    std::int32_t LinesCountYDE = 0;
    DataFormatSelector comboDataFormat;
    RawTextStore memoDummyInput;
    WindowServices& services;

    StringGrid& Grid(GridKind kind) { return kind == GridKind::XYZ ? gridXYZData : gridYDEData; }
    std::int32_t& LinesCount(GridKind kind) {
        return kind == GridKind::XYZ ? LinesCountXYZ : LinesCountYDE;
    }

    // The grid in front: the coordinate grid until comboDataFormatChange says
    // otherwise.
    GridKind FrontGrid() const { return frontGrid_; }

    // The change handler of the data-format selector: XYZ and YXZ bring the
    // coordinate grid to the front, YDE the observation grid; no selection
    // changes nothing.
    void comboDataFormatChange();

    // Conversion reset: each grid to 10 rows, cleared, its count 0 (the
    // coordinate grid first).
    void ConversionReset();
    // Growth rule: the grid's count goes up by one, and RowCount becomes
    // count + 2 once the count reaches it. Gives the new record's row.
    std::int32_t AddRecord(GridKind kind);
    // The file reader's last step: the count := count, and RowCount grown as
    // adding that many records one by one from a count of 0 would have grown
    // it. Allocates nothing.
    void SetRecordsRead(GridKind kind, std::int32_t count);
    // Setting the coordinate record count to n: n + 1 rows by the RowCount
    // rule, LinesCountXYZ := n as given, no cell changes.
    void SetCoordinateRecordCount(std::int32_t n);

private:
    GridKind frontGrid_ = GridKind::XYZ;
};
