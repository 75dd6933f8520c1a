#include "ui/GridModel.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <memory>

namespace {
constexpr int kRowHeight = 19;
}

GridModel::GridModel(StringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), headerRowFixed_(grid.HasFixedHeaderRow()) {
    rows_ = ShownRows(grid_.RowCount());
    grid_.SetObserver(this);
}

GridModel::~GridModel() { grid_.SetObserver(nullptr); }

int GridModel::ShownRows(std::int32_t gridRowCount) const {
    const std::int32_t rows = headerRowFixed_ ? gridRowCount - 1 : gridRowCount;
    return std::clamp<std::int32_t>(rows, 0, kMaxShownRows);
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.ColCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return QString::fromStdU16String(grid_.Cell(index.column(), GridRow(index.row())));
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    grid_.SetCell(index.column(), GridRow(index.row()), value.toString().toStdU16String());
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) {
        if (!headerRowFixed_ || section < 0 || section >= grid_.ColCount()) return {};
        return QString::fromStdU16String(grid_.Cell(section, 0));
    }
    return GridRow(section);
}

void GridModel::CellChanged(std::int32_t col, std::int32_t row) {
    if (headerRowFixed_ && row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const int modelRow = headerRowFixed_ ? row - 1 : row;
    if (modelRow >= rows_) return;  // a hidden row: nothing shown changes
    const QModelIndex changed = index(modelRow, col);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void GridModel::RowCountChanged(std::int32_t, std::int32_t newCount) {
    const int newRows = ShownRows(newCount);
    if (newRows > rows_) {
        beginInsertRows(QModelIndex(), rows_, newRows - 1);
        rows_ = newRows;
        endInsertRows();
    } else if (newRows < rows_) {
        beginRemoveRows(QModelIndex(), newRows, rows_ - 1);
        rows_ = newRows;
        endRemoveRows();
    }
}

void GridModel::GridReset() {
    const bool wasFixed = headerRowFixed_;
    beginResetModel();
    headerRowFixed_ = grid_.HasFixedHeaderRow();
    rows_ = ShownRows(grid_.RowCount());
    endResetModel();
    if (wasFixed != headerRowFixed_) emit headerRowFixedChanged(headerRowFixed_);
}

void ShowGridInView(QTableView& view, GridModel& model, const QList<int>& columnWidths) {
    view.setModel(&model);

    QHeaderView& rows = *view.verticalHeader();
    rows.setSectionResizeMode(QHeaderView::Fixed);
    rows.setMinimumSectionSize(kRowHeight);
    rows.setDefaultSectionSize(kRowHeight);
    rows.hide();

    QHeaderView& columns = *view.horizontalHeader();
    columns.setSectionResizeMode(QHeaderView::Interactive);
    columns.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns.setStretchLastSection(false);
    columns.setHighlightSections(false);
    columns.setSectionsClickable(false);
    columns.setFixedHeight(kRowHeight);
    for (int col = 0; col < columnWidths.size() && col < model.columnCount(); ++col)
        columns.resizeSection(col, columnWidths[col]);
    columns.setVisible(model.HeaderRowFixed());

    QObject::connect(&model, &GridModel::headerRowFixedChanged, &columns, &QHeaderView::setVisible);

    // A reset keeps the user's column widths.
    auto widths = std::make_shared<QList<int>>();
    QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, &columns, [widths, &columns] {
        widths->clear();
        for (int col = 0; col < columns.count(); ++col) widths->append(columns.sectionSize(col));
    });
    QObject::connect(&model, &QAbstractItemModel::modelReset, &columns, [widths, &columns] {
        for (int col = 0; col < widths->size() && col < columns.count(); ++col)
            columns.resizeSection(col, widths->at(col));
    });
}
