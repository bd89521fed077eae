#pragma once
#include "app/dataset.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class Connection;

// The norms of operation prices as an editable table: the whole of accounts_dep.norm sorted by
// the norm figure, filtered per opening to one operation price. One row at a time is being
// edited (a stored row) or inserted (a new row after the stored ones); post() writes it.
class NormTable : public QObject {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };
    static const QStringList& editableFields(); // norma, price, prize

    explicit NormTable(Connection& connection, QObject* parent = nullptr);

    Dataset& dataset() { return norm_; }

    // Deactivates the table, filters it to the norms of one operation price and activates it.
    // New rows are saved with that operation price's id.
    void openFor(int operId);
    int operId() const { return operId_; }

    State state() const { return state_; }
    bool modified() const { return !pending_.isEmpty(); }
    // Stored rows of the operation price.
    int storedCount() const { return norm_.recordCount(); }
    // Rows the grid shows: the stored ones and the new row being inserted.
    int rowCount() const { return storedCount() + (state_ == State::Insert ? 1 : 0); }
    // 0-based row the edit buffer stands on (the new row is the last one); -1 when none.
    int currentRow() const;
    // 1-based record number of the stored current row; negative when there is none (empty
    // table, or the current row is a new one not yet saved).
    int recNo() const;

    // Value of a cell, with what was typed into the current row.
    QVariant value(int row, const QString& field) const;

    // Starts a new row after the stored ones.
    void append();
    // Puts a stored row (0-based) into edit mode.
    void edit(int row);
    // Sets a field of the current row. Figures and bonus must be whole numbers, the price a
    // decimal number (either separator); an empty text stores NULL. Throws DbError otherwise.
    void setValue(const QString& field, const QVariant& value);
    // Leaves the current row unchanged.
    void cancel();
    // Writes the pending row (insert or update) and returns its id; 0 when nothing was pending.
    qint64 post();
    // Saves the pending row, then fetches the rows again (still filtered); stands on the saved
    // row when there was one, else on the row of the same number.
    void requery();
    // Deletes a stored row (0-based).
    void deleteRow(int row);

signals:
    // The rows shown changed (reopen, insert started or dropped).
    void rowsReset();
    // A cell value of the current row changed.
    void rowChanged(int row);

private:
    void clearBuffer();
    Connection& conn_;
    Dataset norm_;
    int operId_ = 0;
    State state_ = State::Browse;
    int editRow_ = -1;
    QVariantMap pending_; // field -> value typed
};

// A norm's price as the grid shows it: two or three decimals ("#0.00#"), rounded in decimal
// with halves away from zero; empty for NULL.
QString formatNormPrice(const QVariant& price);
