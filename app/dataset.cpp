#include "app/dataset.h"

#include "app/connection.h"
#include "app/db_error.h"
#include "app/sql_params.h"

#include <QSqlRecord>

Dataset::Dataset(Connection& connection, const QString& name, const QString& sql, QObject* parent)
    : QObject(parent), conn_(connection), name_(name), sql_(sql) {
    setObjectName(name);
}

Dataset::~Dataset() = default;

void Dataset::setSql(const QString& sql) {
    close();
    if (sql != sql_) {
        sql_ = sql;
        prepared_.reset();
    }
}

void Dataset::setParam(const QString& name, const QVariant& value) { params_.insert(name.toLower(), value); }

QVariant Dataset::param(const QString& name) const { return params_.value(name.toLower()); }

void Dataset::open() {
    if (open_)
        return;
    QSqlQuery* q = nullptr;
    std::unique_ptr<QSqlQuery> plain;
    if (!conn_.isOpen())
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    const QStringList names = sqlParameterNames(sql_);
    if (names.isEmpty()) {
        plain = std::make_unique<QSqlQuery>(conn_.db());
        plain->setForwardOnly(true);
        plain->setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!plain->exec(sql_))
            throw DbError(queryErrorText(*plain));
        q = plain.get();
    } else {
        if (!prepared_) {
            auto p = std::make_unique<QSqlQuery>(conn_.db());
            p->setForwardOnly(true);
            p->setNumericalPrecisionPolicy(QSql::HighPrecision);
            if (!p->prepare(sql_))
                throw DbError(queryErrorText(*p));
            prepared_ = std::move(p);
            preparedNames_ = names;
        }
        q = prepared_.get();
        try {
            execPrepared(*q, preparedNames_, params_);
        } catch (...) {
            prepared_.reset(); // a failed statement may have lost its preparation (lost connection)
            throw;
        }
    }

    const QSqlRecord rec = q->record();
    fields_.clear();
    fieldIndex_.clear();
    for (int c = 0; c < rec.count(); ++c) {
        fields_ << rec.fieldName(c);
        const QString key = rec.fieldName(c).toLower();
        if (!fieldIndex_.contains(key))
            fieldIndex_.insert(key, c);
    }
    cells_.clear();
    const int cols = static_cast<int>(fields_.size());
    const int size = q->size();
    if (size > 0)
        cells_.reserve(static_cast<size_t>(size) * cols);
    rawCount_ = 0;
    while (q->next()) {
        for (int c = 0; c < cols; ++c)
            cells_.push_back(q->value(c));
        ++rawCount_;
    }
    q->finish();
    open_ = true;
    applyFilter(0);
}

void Dataset::close() {
    if (!open_)
        return;
    open_ = false;
    cells_.clear();
    cells_.shrink_to_fit();
    rawCount_ = 0;
    visible_.clear();
    cur_ = -1;
    eof_ = bof_ = true;
    emit rowsReset();
}

void Dataset::applyFilter(int keepRawRow) {
    visible_.clear();
    visible_.reserve(static_cast<size_t>(rawCount_));
    const bool useFilter = filtered_ && !filterExpr_.isEmpty();
    for (int r = 0; r < rawCount_; ++r) {
        if (useFilter) {
            const bool ok = filterExpr_.matches([&](const QString& f) {
                const auto it = fieldIndex_.constFind(f);
                return it == fieldIndex_.cend() ? QVariant() : cell(r, it.value());
            });
            if (!ok)
                continue;
        }
        visible_.push_back(r);
    }
    cur_ = -1;
    for (size_t i = 0; i < visible_.size(); ++i)
        if (visible_[i] >= keepRawRow) {
            cur_ = static_cast<int>(i);
            break;
        }
    if (cur_ < 0 && !visible_.empty())
        cur_ = 0;
    eof_ = bof_ = visible_.empty();
    emit rowsReset();
    emit currentChanged(cur_);
}

void Dataset::moveTo(int row) {
    if (visible_.empty()) {
        cur_ = -1;
        eof_ = bof_ = true;
        return;
    }
    const int clamped = std::clamp(row, 0, recordCount() - 1);
    const bool moved = clamped != cur_;
    cur_ = clamped;
    eof_ = bof_ = false;
    if (moved)
        emit currentChanged(cur_);
}

void Dataset::setRecNo(int recNo) { moveTo(recNo - 1); }
void Dataset::first() { moveTo(0); }
void Dataset::last() { moveTo(recordCount() - 1); }

void Dataset::next() {
    if (cur_ + 1 >= recordCount()) {
        eof_ = true;
        return;
    }
    moveTo(cur_ + 1);
}

void Dataset::prior() {
    if (cur_ <= 0) {
        bof_ = true;
        return;
    }
    moveTo(cur_ - 1);
}

bool Dataset::locate(const QString& field, const QVariant& value) {
    const int col = requireField(field);
    for (int i = 0; i < recordCount(); ++i) {
        const QVariant& v = cell(rawRow(i), col);
        const bool equal = (value.typeId() == QMetaType::QString || v.typeId() == QMetaType::QString)
                               ? v.toString() == value.toString()
                               : v == value || (v.canConvert<double>() && value.canConvert<double>() &&
                                                v.toDouble() == value.toDouble());
        if (equal) {
            moveTo(i);
            return true;
        }
    }
    return false;
}

bool Dataset::hasField(const QString& field) const { return fieldIndex_.contains(field.toLower()); }

int Dataset::fieldIndex(const QString& field) const { return fieldIndex_.value(field.toLower(), -1); }

int Dataset::requireField(const QString& field) const {
    const int col = fieldIndex(field);
    if (col < 0)
        throw DbError(QStringLiteral("%1: поле '%2' не найдено").arg(name_, field));
    return col;
}

QVariant Dataset::value(const QString& field) const {
    const int col = requireField(field);
    if (cur_ < 0)
        return QVariant();
    return cell(rawRow(cur_), col);
}

bool Dataset::isNull(const QString& field) const { return value(field).isNull(); }

QString Dataset::asString(const QString& field) const {
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd.MM.yyyy"))
                                        : dt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    return v.toString();
}

int Dataset::asInt(const QString& field) const {
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QString)
        return static_cast<int>(v.toString().trimmed().toDouble());
    return v.toInt();
}

qint64 Dataset::asInt64(const QString& field) const {
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QString)
        return static_cast<qint64>(v.toString().trimmed().toDouble());
    return v.toLongLong();
}

double Dataset::asDouble(const QString& field) const { return value(field).toString().toDouble(); }

QString Dataset::asDecimal(const QString& field) const {
    const QVariant v = value(field);
    if (v.isNull())
        return QStringLiteral("0");
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 17);
    return v.toString().trimmed();
}

QDate Dataset::asDate(const QString& field) const {
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

QVariant Dataset::valueAt(int row, int column) const {
    if (row < 0 || row >= recordCount() || column < 0 || column >= fieldCount())
        return QVariant();
    return cell(rawRow(row), column);
}

QVariant Dataset::valueAt(int row, const QString& field) const { return valueAt(row, fieldIndex(field)); }

void Dataset::setFilter(const QString& expression) {
    FilterExpr parsed = FilterExpr::parse(expression);
    filterText_ = expression;
    filterExpr_ = std::move(parsed);
    if (open_ && filtered_)
        applyFilter(cur_ < 0 ? 0 : rawRow(cur_));
}

void Dataset::setFiltered(bool on) {
    if (on == filtered_)
        return;
    filtered_ = on;
    if (open_)
        applyFilter(cur_ < 0 ? 0 : rawRow(cur_));
}

Command::Command(Connection& connection, const QString& name, const QString& sql)
    : conn_(connection), name_(name), sql_(sql) {}

int Command::execute() { return conn_.exec(sql_, params_); }
