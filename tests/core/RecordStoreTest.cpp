#include "core/RecordStore.h"

#include "FakeWindowServices.h"

#include <gtest/gtest.h>

namespace {

class RecordingObserver : public GridObserver {
public:
    int cells = 0, rowCounts = 0, resets = 0;
    void CellChanged(std::int32_t, std::int32_t) override { ++cells; }
    void RowCountChanged(std::int32_t, std::int32_t) override { ++rowCounts; }
    void GridReset() override { ++resets; }
};

std::u16string RowTag(std::int32_t row) {
    const std::string digits = std::to_string(row);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

TEST(StringGrid, RowCountRuleKeepsTextAndEndsTheFixedHeaderRowForGood) {
    StringGrid grid(4);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cell(3, 1000), u"");  // never written
    grid.SetCell(0, 0, u"Nokta NO");
    grid.SetCell(1, 20, u"20");
    grid.SetRowCount(4);
    EXPECT_EQ(grid.Cell(1, 20), u"20");  // hidden, not erased
    EXPECT_TRUE(grid.HasFixedHeaderRow());
    grid.SetRowCount(-7);
    EXPECT_EQ(grid.RowCount(), 1);
    grid.SetRowCount(6);
    EXPECT_FALSE(grid.HasFixedHeaderRow());
    EXPECT_EQ(grid.Cell(0, 0), u"Nokta NO");
    EXPECT_THROW(grid.Cell(4, 0), std::out_of_range);
    EXPECT_THROW(grid.SetCell(0, -1, u"x"), std::out_of_range);
}

TEST(StringGrid, ClearEmptiesShownRowsOnly) {
    StringGrid grid(5);
    grid.SetCell(0, 0, u"Nokta NO");
    grid.SetRowCount(12);
    for (std::int32_t row = 1; row <= 14; ++row)
        for (std::int32_t col = 0; col < 5; ++col) grid.SetCell(col, row, RowTag(row));
    grid.Clear();
    for (std::int32_t row = 1; row <= 11; ++row)
        for (std::int32_t col = 0; col < 5; ++col) EXPECT_EQ(grid.Cell(col, row), u"");
    EXPECT_EQ(grid.Cell(0, 0), u"Nokta NO");
    EXPECT_EQ(grid.Cell(4, 12), u"12");
    EXPECT_EQ(grid.RowCount(), 12);
}

TEST(StringGrid, AnUpdateSendsOneResetInsteadOfOneNoticePerCell) {
    StringGrid grid(4);
    RecordingObserver observer;
    grid.SetObserver(&observer);
    grid.SetCell(0, 1, u"a");
    grid.SetRowCount(9);
    {
        GridUpdate outer(grid);
        {
            GridUpdate inner(grid);
            for (std::int32_t row = 1; row < 100; ++row) grid.SetCell(1, row, u"x");
        }
        grid.SetRowCount(120);
        EXPECT_EQ(observer.resets, 0);  // held back until the outermost update ends
    }
    { GridUpdate idle(grid); }
    EXPECT_EQ(observer.cells, 1);
    EXPECT_EQ(observer.rowCounts, 1);
    EXPECT_EQ(observer.resets, 1);
}

TEST(RecordStore, GrowthRuleAddsRowsTwoAtATime) {
    FakeWindowServices window;
    RecordStore store(window);
    store.ConversionReset();
    std::vector<std::int32_t> rowCounts;
    for (std::int32_t record = 1; record <= 12; ++record) {
        EXPECT_EQ(store.AddRecord(GridKind::XYZ), record);
        rowCounts.push_back(store.gridXYZData.RowCount());
    }
    EXPECT_EQ(rowCounts, (std::vector<std::int32_t>{10, 10, 10, 10, 10, 10, 10, 10, 10, 12, 12, 14}));
    EXPECT_EQ(store.LinesCountYDE, 0);
    EXPECT_EQ(store.gridYDEData.RowCount(), 10);
}

// n + 1 rows, the count as given, no cell changed; a count of 0 or less
// leaves the header row alone and no longer fixed.
TEST(RecordStore, SettingTheCoordinateRecordCount) {
    struct Case { std::int32_t count, rows; bool fixedHeader; };
    for (const Case& c : {Case{3, 4, true}, Case{20, 21, true}, Case{0, 1, false}, Case{-3, 1, false}}) {
        SCOPED_TRACE(c.count);
        FakeWindowServices window;
        RecordStore store(window);
        for (std::int32_t row = 1; row <= 25; ++row) store.gridXYZData.SetCell(1, row, RowTag(row));
        store.SetCoordinateRecordCount(c.count);
        EXPECT_EQ(store.LinesCountXYZ, c.count);
        EXPECT_EQ(store.gridXYZData.RowCount(), c.rows);
        EXPECT_EQ(store.gridXYZData.HasFixedHeaderRow(), c.fixedHeader);
        EXPECT_EQ(store.gridXYZData.Cell(1, 20), u"20");
        EXPECT_EQ(store.gridYDEData.RowCount(), StringGrid::kInitialRowCount);
    }
}

TEST(RecordStore, ConversionResetHidesOldRowsWithTheirText) {
    FakeWindowServices window;
    RecordStore store(window);
    for (int i = 1; i <= 30; ++i) store.gridXYZData.SetCell(0, store.AddRecord(GridKind::XYZ), RowTag(i));
    store.ConversionReset();
    EXPECT_EQ(store.gridXYZData.RowCount(), 10);
    EXPECT_EQ(store.LinesCountXYZ, 0);
    EXPECT_EQ(store.gridXYZData.Cell(0, 9), u"");
    EXPECT_EQ(store.gridXYZData.Cell(0, 10), u"10");
}

TEST(RecordStore, FormatChangeWithoutSelectionMovesNoGrid) {
    FakeWindowServices window;
    RecordStore store(window);
    store.comboDataFormat.SetItemIndex(DataFormatSelector::kYDE);
    store.comboDataFormatChange();
    store.comboDataFormat.SetItemIndex(7);
    EXPECT_EQ(store.comboDataFormat.ItemIndex(), -1);
    store.comboDataFormatChange();
    EXPECT_EQ(store.FrontGrid(), GridKind::YDE);
    EXPECT_EQ(window.calls, std::vector<std::string>{"front YDE"});
}
