#pragma once
#include "refbooks/norms_table.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

class Forms;
class Messenger;
class QPushButton;

// The grid's model over the norms table: the norm figure, price and bonus of each norm, plus a
// blank row to type into when the operation price has none.
class NormsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    NormsModel(NormTable& table, Messenger& messenger, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    static QString fieldOf(int column);

    // The grid starts or drops the new row through these, so the view keeps its current cell.
    void appendRow();
    void dropNewRow();

private:
    NormTable& table_;
    Messenger& messenger_;
};

// The editable grid: reports every move of the current cell, and a Down arrow on the last row
// starts a new row.
class NormGrid : public QTableView {
    Q_OBJECT
public:
    explicit NormGrid(QWidget* parent = nullptr);
    // Hands what is typed in an open cell editor to the model.
    void commitOpenEditor();

signals:
    void cellMoved(const QModelIndex& current, const QModelIndex& previous);
    void appendRequested();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    friend class NormsDelegate;
    QPointer<QWidget> editor_;
};

// The norms window "Норматив": the norms of one operation price, edited in the grid.
class TForm22 : public QDialog {
    Q_OBJECT
public:
    explicit TForm22(Forms& forms);
    ~TForm22() override;

    NormTable norm;
    NormGrid* DBGrid1;
    QPushButton* Button1; // "Сохранить"
    QPushButton* Button2; // "Удалить"
    // Whether the row being edited is a new one.
    bool newRow = false;

    // Filters the table to the operation price's norms and shows the window modally.
    void openFor(int operId);

    void DBGrid1ColEnter();
    void DBGrid1ColExit();
    void Button1Click();
    void Button2Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void cellMoved(const QModelIndex& current, const QModelIndex& previous);
    void appendRow();
    void placeCursor(int row, int column);
    Forms& forms_;
    NormsModel* model_;
    bool placing_ = false;
};
