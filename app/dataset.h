#pragma once
#include "app/filter_expr.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>
#include <vector>

class Connection;

// A static result set: the statement with named parameters runs on open() and every row is
// fetched at once. A client-side filter (with an on/off switch that survives close and open)
// decides which rows are visible; record numbers are 1-based over the visible rows.
class Dataset : public QObject {
    Q_OBJECT
public:
    Dataset(Connection& connection, const QString& name, const QString& sql = {}, QObject* parent = nullptr);
    ~Dataset() override;

    const QString& name() const { return name_; }
    Connection& connection() { return conn_; }

    // Replacing the statement closes the dataset.
    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    const QVariantMap& params() const { return params_; }

    void open();
    void close();
    void reopen() { close(); open(); }
    bool isOpen() const { return open_; }

    // Visible rows.
    int recordCount() const { return static_cast<int>(visible_.size()); }
    bool isEmpty() const { return visible_.empty(); }
    // 1-based number of the current record; 0 when there is none.
    int recNo() const { return cur_ < 0 ? 0 : cur_ + 1; }
    // Moves to the given record number, clamped to the visible rows.
    void setRecNo(int recNo);
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    // Moves to the first visible row whose field equals the value; false (and no move) when none.
    bool locate(const QString& field, const QVariant& value);

    // Fields of the current record. A missing field throws DbError; NULL reads as 0 or empty.
    bool hasField(const QString& field) const;
    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const;
    QString asString(const QString& field) const;
    int asInt(const QString& field) const;
    qint64 asInt64(const QString& field) const;
    double asDouble(const QString& field) const;
    // numeric columns as the server's exact decimal text ("12.3400"); "0" for NULL.
    QString asDecimal(const QString& field) const;
    QDate asDate(const QString& field) const;

    // Access by visible row index (0-based) and column, for grids.
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const QStringList& fieldNames() const { return fields_; }
    int fieldIndex(const QString& field) const; // -1 when absent
    QVariant valueAt(int row, int column) const;
    QVariant valueAt(int row, const QString& field) const;
    int currentRow() const { return cur_; }

    // Client-side filter.
    void setFilter(const QString& expression);
    const QString& filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

signals:
    // The set of visible rows changed (open, close, filter).
    void rowsReset();
    // The current record moved.
    void currentChanged(int row);

private:
    void applyFilter(int keepRawRow);
    int rawRow(int visibleRow) const { return visible_[static_cast<size_t>(visibleRow)]; }
    const QVariant& cell(int raw, int col) const { return cells_[static_cast<size_t>(raw) * fields_.size() + col]; }
    int requireField(const QString& field) const;
    void moveTo(int row);

    Connection& conn_;
    QString name_;
    QString sql_;
    QVariantMap params_;
    bool open_ = false;

    QStringList fields_;
    QHash<QString, int> fieldIndex_; // lower-case name -> column
    std::vector<QVariant> cells_;
    int rawCount_ = 0;
    std::vector<int> visible_;
    int cur_ = -1;
    bool eof_ = true;
    bool bof_ = true;

    QString filterText_;
    FilterExpr filterExpr_;
    bool filtered_ = false;

    // The prepared statement is kept while the text stays the same.
    std::unique_ptr<QSqlQuery> prepared_;
    QStringList preparedNames_;
};

// A statement with named parameters that is executed, not opened.
class Command {
public:
    Command(Connection& connection, const QString& name, const QString& sql = {});
    const QString& name() const { return name_; }
    void setSql(const QString& sql) { sql_ = sql; }
    const QString& sql() const { return sql_; }
    void setParam(const QString& name, const QVariant& value) { params_.insert(name.toLower(), value); }
    const QVariantMap& params() const { return params_; }
    // Returns the number of rows touched; throws DbError when refused.
    int execute();

private:
    Connection& conn_;
    QString name_;
    QString sql_;
    QVariantMap params_;
};
