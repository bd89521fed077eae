#include "app/db_grid.h"

#include "app/dataset.h"

#include <QDate>
#include <QDateTime>
#include <QHeaderView>
#include <QItemSelectionModel>

QString defaultCellText(const QVariant& v) {
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime: return v.toDateTime().date().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::QString: {
        QString s = v.toString();
        while (s.endsWith(u' '))
            s.chop(1);
        return s;
    }
    default: return v.toString();
    }
}

void DatasetModel::setDataset(Dataset* ds) {
    beginResetModel();
    if (ds_)
        disconnect(ds_, nullptr, this, nullptr);
    ds_ = ds;
    if (ds_)
        connect(ds_, &Dataset::rowsReset, this, [this] {
            beginResetModel();
            endResetModel();
        });
    endResetModel();
}

void DatasetModel::setColumns(std::vector<GridColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !ds_ ? 0 : ds_->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!ds_ || !index.isValid())
        return {};
    const GridColumn& col = columns_[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant v = ds_->valueAt(index.row(), col.field);
        return col.format ? col.format(v) : defaultCellText(v);
    }
    case Qt::TextAlignmentRole: return QVariant::fromValue(col.alignment);
    case Qt::FontRole:
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        if (!styler_)
            return {};
        const CellStyle st = styler_(*ds_, index.row(), col.field);
        if (role == Qt::FontRole && st.font)
            return *st.font;
        if (role == Qt::ForegroundRole && st.foreground)
            return *st.foreground;
        if (role == Qt::BackgroundRole && st.background)
            return *st.background;
        return {};
    }
    default: return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return columns_[static_cast<size_t>(section)].title;
    return {};
}

DBGrid::DBGrid(const QString& name, QWidget* parent) : QTableView(parent) {
    setObjectName(name);
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setVisible(false);
    QFont hf = horizontalHeader()->font();
    hf.setBold(true);
    horizontalHeader()->setFont(hf);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& cur, const QModelIndex&) {
                if (syncing_ || !cur.isValid() || !dataset())
                    return;
                syncing_ = true;
                dataset()->setRecNo(cur.row() + 1);
                syncing_ = false;
            });
}

void DBGrid::setDataset(Dataset* ds) {
    disconnect(resetConn_);
    disconnect(currentConn_);
    model_.setDataset(ds);
    if (ds) {
        resetConn_ = connect(ds, &Dataset::rowsReset, this, [this] { syncFromDataset(dataset()->currentRow()); });
        currentConn_ = connect(ds, &Dataset::currentChanged, this, [this](int row) { syncFromDataset(row); });
        syncFromDataset(ds->currentRow());
    }
    applyColumns();
}

void DBGrid::setColumns(std::vector<GridColumn> columns) {
    model_.setColumns(std::move(columns));
    applyColumns();
}

void DBGrid::applyColumns() {
    const auto& cols = model_.columns();
    for (int i = 0; i < static_cast<int>(cols.size()); ++i) {
        const GridColumn& c = cols[static_cast<size_t>(i)];
        setColumnHidden(i, !c.visible);
        if (c.width > 0)
            setColumnWidth(i, c.width);
    }
}

void DBGrid::syncFromDataset(int row) {
    if (syncing_)
        return;
    syncing_ = true;
    if (row >= 0 && row < model_.rowCount()) {
        const QModelIndex idx = model_.index(row, std::max(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

QString DBGrid::cellText(int row, const QString& field) const {
    const auto& cols = model_.columns();
    for (int i = 0; i < static_cast<int>(cols.size()); ++i)
        if (cols[static_cast<size_t>(i)].field.compare(field, Qt::CaseInsensitive) == 0)
            return model_.data(model_.index(row, i), Qt::DisplayRole).toString();
    return {};
}
