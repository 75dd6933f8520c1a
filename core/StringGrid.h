#pragma once
// A table of text cells addressed by column and row, both from 0, as the two
// record grids hold them. Cell text does not depend on RowCount: rows hidden by
// a smaller RowCount keep their text and show it again when RowCount grows.
// Row 0 is a fixed header row until RowCount is first set to 1.
//
// A view (the window's table) follows the grid through a GridObserver. Work
// that changes many cells runs inside a GridUpdate, after which the observer
// hears one GridReset instead of one notice per cell.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

class GridObserver {
public:
    virtual ~GridObserver() = default;
    virtual void CellChanged(std::int32_t col, std::int32_t row) = 0;
    virtual void RowCountChanged(std::int32_t oldCount, std::int32_t newCount) = 0;
    // Anything may have changed: cells, RowCount, the fixed header row.
    virtual void GridReset() = 0;
};

class StringGrid {
public:
    static constexpr std::int32_t kInitialRowCount = 5;

    explicit StringGrid(std::int32_t colCount);

    std::int32_t ColCount() const { return colCount_; }
    std::int32_t RowCount() const { return rowCount_; }
    // True while row 0 is a fixed header row; false for good once RowCount
    // has been set to 1.
    bool HasFixedHeaderRow() const { return fixedHeaderRow_; }

    // The text of a cell; empty for a cell never written. Any row from 0 may
    // be read, also rows from RowCount on.
    const std::u16string& Cell(std::int32_t col, std::int32_t row) const;
    void SetCell(std::int32_t col, std::int32_t row, std::u16string text);
    // The same, copying the text into the cell's own storage: refilling rows
    // that held text before allocates nothing when the new text fits, and a
    // cell that must grow gets room for exactly the text. With a width, the
    // text is right-aligned in it as "%<width>s" sets it.
    void AssignCell(std::int32_t col, std::int32_t row, std::u16string_view text, std::size_t width = 0);
    // Room for a text of that length (blanks of a width included), so that
    // AssignCell of it allocates nothing; no text changes. Work that must
    // change all or nothing makes room first and then assigns.
    void ReserveCell(std::int32_t col, std::int32_t row, std::size_t length);

    // The RowCount rule: a value below 1 becomes 1; the value 1 ends the fixed
    // header row; no cell text changes.
    void SetRowCount(std::int32_t value);

    // The clear rule: the cells of rows 1 to RowCount - 1 become empty. Row 0,
    // RowCount and the text of hidden rows stay. From a later row, the rows
    // before it stay too. Allocates nothing.
    void Clear(std::int32_t firstRow = 1);

    void SetObserver(GridObserver* observer) { observer_ = observer; }
    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate();

private:
    std::size_t Index(std::int32_t col, std::int32_t row) const;
    // The cell at the index (that of a cell in the row), its row and those
    // before it stored first.
    std::u16string& StoredCell(std::size_t index, std::int32_t row);
    std::int32_t StoredRows() const;
    void NoteCell(std::int32_t col, std::int32_t row);

    std::int32_t colCount_;
    std::int32_t rowCount_ = kInitialRowCount;
    bool fixedHeaderRow_ = true;
    // Row after row, ColCount cells each; only rows up to the highest one
    // written are stored. A deque grows without copying what it holds.
    std::deque<std::u16string> cells_;
    GridObserver* observer_ = nullptr;
    int updateDepth_ = 0;
    bool changedDuringUpdate_ = false;
};

// Holds a grid's notices back for its lifetime, then sends one GridReset if
// anything changed.
class GridUpdate {
public:
    explicit GridUpdate(StringGrid& grid) : grid_(grid) { grid_.BeginUpdate(); }
    ~GridUpdate() { grid_.EndUpdate(); }
    GridUpdate(const GridUpdate&) = delete;
    GridUpdate& operator=(const GridUpdate&) = delete;

private:
    StringGrid& grid_;
};
