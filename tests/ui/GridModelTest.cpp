#include "QtPrinting.h"
#include "ui/GridModel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

class GridModelTest : public ::testing::Test {
protected:
    StringGrid grid{4};
    GridModel model{grid};
    // Checks the model's contract at every change; a breach ends the test.
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QTableView view;

    void SetUp() override {
        const char16_t* headers[] = {u"Nokta NO", u"X", u"Y", u"Z"};
        for (int col = 0; col < 4; ++col) grid.SetCell(col, 0, headers[col]);
        ShowGridInView(view, model, {96, 97, 96, 94});
    }
    QString Shown(int row, int col) { return model.data(model.index(row, col)).toString(); }
    QString Header(int col) { return model.headerData(col, Qt::Horizontal).toString(); }
};

}  // namespace

TEST_F(GridModelTest, FixedHeaderRowIsTheHeaderAndEditsReachTheCellOnly) {
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(Header(3), "Z");
    grid.SetCell(2, 1, u"4512.300");
    EXPECT_EQ(Shown(0, 2), "4512.300");

    QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
    grid.SetCell(1, 0, u"Y?");
    EXPECT_EQ(header.count(), 1);
    EXPECT_EQ(Header(1), "Y?");

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(1, 1), QStringLiteral("12.5")));
    EXPECT_EQ(grid.Cell(1, 2), u"12.5");
    EXPECT_EQ(grid.RowCount(), 5);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), model.index(1, 1));
}

TEST_F(GridModelTest, RowsComeAndGoWithRowCount) {
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    grid.SetRowCount(12);
    EXPECT_EQ(model.rowCount(), 11);
    grid.SetRowCount(3);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(inserted.count(), 1);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 2);
    EXPECT_EQ(removed[0][2].toInt(), 10);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    grid.SetCell(0, 7, u"hidden");  // beyond RowCount: nothing shown changes
    EXPECT_EQ(changed.count(), 0);
}

// A row count of 1 ends the header row for good: the view's header goes and
// the header row scrolls with the records, also once rows come back.
TEST_F(GridModelTest, RowCountOfOneReleasesTheHeaderRowForGood) {
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    grid.SetCell(0, 3, u"kept");
    grid.SetRowCount(1);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_FALSE(model.HeaderRowFixed());
    EXPECT_TRUE(view.horizontalHeader()->isHidden());
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(Shown(0, 0), "Nokta NO");
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal).isValid());

    grid.SetRowCount(6);
    EXPECT_TRUE(view.horizontalHeader()->isHidden());
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(Shown(3, 0), "kept");  // hidden text shows again
    model.setData(model.index(0, 1), QStringLiteral("Doğu"));
    EXPECT_EQ(grid.Cell(1, 0), u"Doğu");
}

TEST_F(GridModelTest, BigUpdateRefreshesTheViewOnceAndKeepsColumnWidths) {
    EXPECT_FALSE(view.horizontalHeader()->isHidden());
    view.horizontalHeader()->resizeSection(1, 150);  // the user drags a border

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    {
        GridUpdate update(grid);
        for (std::int32_t row = 1; row <= 1000; ++row) {
            grid.SetCell(0, row, u"P" + std::u16string(1, static_cast<char16_t>(u'0' + row % 10)));
            if (row >= grid.RowCount()) grid.SetRowCount(row + 2);
        }
        grid.SetRowCount(1'000'001);
    }
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(model.rowCount(), 1'000'000);
    EXPECT_EQ(Shown(0, 0), "P1");

    view.scrollToBottom();
    EXPECT_EQ(view.horizontalHeader()->sectionSize(0), 96);
    EXPECT_EQ(view.horizontalHeader()->sectionSize(1), 150);
    EXPECT_EQ(view.verticalHeader()->sectionSize(999'999), 19);
}
