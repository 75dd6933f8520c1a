#include "core/StringGrid.h"

#include <algorithm>
#include <stdexcept>

namespace {
const std::u16string kEmptyCell;

// An empty string with room for exactly that many characters: reserve would
// round a short text's room up to twice what a string holds in itself.
std::u16string ExactRoom(std::size_t length) {
    std::u16string room(length, u' ');
    room.clear();
    return room;
}
}

StringGrid::StringGrid(std::int32_t colCount) : colCount_(colCount) {
    if (colCount < 1) throw std::invalid_argument("StringGrid needs a column");
}

std::size_t StringGrid::Index(std::int32_t col, std::int32_t row) const {
    if (col < 0 || col >= colCount_ || row < 0)
        throw std::out_of_range("StringGrid cell outside the grid");
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(colCount_) +
           static_cast<std::size_t>(col);
}

std::u16string& StringGrid::StoredCell(std::size_t index, std::int32_t row) {
    if (index >= cells_.size())
        cells_.resize((static_cast<std::size_t>(row) + 1) * static_cast<std::size_t>(colCount_));
    return cells_[index];
}

std::int32_t StringGrid::StoredRows() const {
    return static_cast<std::int32_t>(cells_.size() / static_cast<std::size_t>(colCount_));
}

const std::u16string& StringGrid::Cell(std::int32_t col, std::int32_t row) const {
    const std::size_t i = Index(col, row);
    return i < cells_.size() ? cells_[i] : kEmptyCell;
}

void StringGrid::SetCell(std::int32_t col, std::int32_t row, std::u16string text) {
    const std::size_t i = Index(col, row);
    if (i >= cells_.size() && text.empty()) return;  // an unwritten cell already reads as empty
    StoredCell(i, row) = std::move(text);
    NoteCell(col, row);
}

void StringGrid::AssignCell(std::int32_t col, std::int32_t row, std::u16string_view text, std::size_t width) {
    const std::size_t i = Index(col, row);
    const std::size_t blanks = width > text.size() ? width - text.size() : 0;
    if (i >= cells_.size() && text.empty() && blanks == 0) return;
    std::u16string& cell = StoredCell(i, row);
    if (blanks + text.size() > cell.capacity()) cell = ExactRoom(blanks + text.size());
    cell.assign(blanks, u' ');
    cell += text;
    NoteCell(col, row);
}

void StringGrid::ReserveCell(std::int32_t col, std::int32_t row, std::size_t length) {
    const std::size_t i = Index(col, row);
    if (length == 0) return;  // an empty text needs no room, even in a cell not yet stored
    std::u16string& cell = StoredCell(i, row);
    if (length <= cell.capacity()) return;
    std::u16string room = ExactRoom(length);
    room = cell;  // fits: the room is kept
    cell.swap(room);
}

void StringGrid::SetRowCount(std::int32_t value) {
    if (value < 1) value = 1;
    if (value == rowCount_) return;
    const std::int32_t old = rowCount_;
    rowCount_ = value;
    const bool headerReleased = value == 1 && fixedHeaderRow_;
    if (headerReleased) fixedHeaderRow_ = false;
    if (updateDepth_ > 0) {
        changedDuringUpdate_ = true;
    } else if (observer_) {
        if (headerReleased) observer_->GridReset();
        else observer_->RowCountChanged(old, value);
    }
}

void StringGrid::Clear(std::int32_t firstRow) {
    const std::int32_t last = std::min(rowCount_, StoredRows());
    bool changed = false;
    for (std::int32_t row = std::max(firstRow, 1); row < last; ++row) {
        for (std::int32_t col = 0; col < colCount_; ++col) {
            std::u16string& cell = cells_[Index(col, row)];
            if (!cell.empty()) {
                std::u16string().swap(cell);  // give the memory back too
                changed = true;
            }
        }
    }
    if (!changed) return;
    if (updateDepth_ > 0) changedDuringUpdate_ = true;
    else if (observer_) observer_->GridReset();
}

void StringGrid::EndUpdate() {
    if (updateDepth_ == 0) return;
    if (--updateDepth_ > 0 || !changedDuringUpdate_) return;
    changedDuringUpdate_ = false;
    if (observer_) observer_->GridReset();
}

void StringGrid::NoteCell(std::int32_t col, std::int32_t row) {
    if (updateDepth_ > 0) changedDuringUpdate_ = true;
    else if (observer_) observer_->CellChanged(col, row);
}
