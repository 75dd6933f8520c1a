#pragma once
// Shows a record grid (StringGrid) in a Qt table view. The model reads the
// grid's cells directly and follows it through GridObserver; it keeps no copy
// of the text.
//
// While the grid's row 0 is a fixed header row, the model shows it as the
// view's horizontal header and grid row r + 1 as model row r; once the header
// row is released, grid row r is model row r and the header is hidden.

#include "core/StringGrid.h"

#include <QAbstractTableModel>
#include <QList>

class QTableView;

class GridModel : public QAbstractTableModel, private GridObserver {
    Q_OBJECT

public:
    // Qt's views count positions in int pixels: more rows than this would
    // overflow them. The grid itself may hold more; the view shows the first
    // ones.
    static constexpr int kMaxShownRows = 100'000'000;

    explicit GridModel(StringGrid& grid, QObject* parent = nullptr);
    ~GridModel() override;

    StringGrid& Grid() const { return grid_; }
    bool HeaderRowFixed() const { return headerRowFixed_; }
    // The grid row shown in a model row.
    int GridRow(int modelRow) const { return headerRowFixed_ ? modelRow + 1 : modelRow; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Editing changes the cell text and nothing else.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void headerRowFixedChanged(bool fixed);

private:
    void CellChanged(std::int32_t col, std::int32_t row) override;
    void RowCountChanged(std::int32_t oldCount, std::int32_t newCount) override;
    void GridReset() override;

    int ShownRows(std::int32_t gridRowCount) const;

    StringGrid& grid_;
    bool headerRowFixed_;
    int rows_;
};

// Sets a table view up as a record grid over the model: row height 19 and no
// row resizing, the given column widths, columns sized by dragging the header,
// the header shown while the grid's header row is fixed, and column widths
// kept when the model is reset.
void ShowGridInView(QTableView& view, GridModel& model, const QList<int>& columnWidths);
