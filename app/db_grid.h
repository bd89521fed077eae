#pragma once
#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QTableView>
#include "app/dataset.h"
#include <functional>
#include <optional>
#include <vector>


struct GridColumn {
    GridColumn(QString f, QString t, int w = -1, Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter, bool v = true,
               std::function<QString(const QVariant&)> fmt = {})
        : field(std::move(f)), title(std::move(t)), width(w), alignment(a), visible(v), format(std::move(fmt)) {}
    QString field;
    QString title;
    int width = -1; // -1: the grid's default width
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;
    // How the value is shown; by default dates as DD.MM.YYYY, texts with trailing blanks trimmed.
    std::function<QString(const QVariant&)> format;
};

// Font and colour of one cell, chosen per row.
struct CellStyle {
    std::optional<QFont> font;
    std::optional<QColor> foreground;
    std::optional<QColor> background;
};
using CellStyler = std::function<CellStyle(const Dataset& ds, int row, const QString& field)>;

QString defaultCellText(const QVariant& v);

// A read-only table model over the visible rows of a dataset.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void setDataset(Dataset* ds);
    Dataset* dataset() const { return ds_; }
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn>& columns() const { return columns_; }
    void setCellStyler(CellStyler s) { styler_ = std::move(s); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QPointer<Dataset> ds_;
    std::vector<GridColumn> columns_;
    CellStyler styler_;
};

// The data grid: shows a dataset, whole-row selection, no editing; the selected row and the
// dataset's current record follow each other.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(const QString& name, QWidget* parent = nullptr);
    void setDataset(Dataset* ds);
    Dataset* dataset() const { return model_.dataset(); }
    void setColumns(std::vector<GridColumn> columns);
    void setCellStyler(CellStyler s) { model_.setCellStyler(std::move(s)); }
    DatasetModel& gridModel() { return model_; }
    // Text shown in a cell of the visible row (0-based) for a field.
    QString cellText(int row, const QString& field) const;

private:
    void applyColumns();
    void syncFromDataset(int row);
    DatasetModel model_;
    QMetaObject::Connection resetConn_, currentConn_;
    bool syncing_ = false;
};
