#include "refbooks/norms_table.h"

#include "app/connection.h"
#include "app/db_error.h"

#include <QRegularExpression>

namespace {
const QString kId = QStringLiteral("id");
const QString kOId = QStringLiteral("o_id");

// Rounds a plain decimal text ("-12.34567") to a number of decimals, halves away from zero.
QString roundDecimal(const QString& text, int decimals) {
    QString t = text.trimmed();
    bool negative = t.startsWith(u'-');
    if (negative || t.startsWith(u'+'))
        t.remove(0, 1);
    QString intPart = t.section(u'.', 0, 0);
    QString frac = t.section(u'.', 1);
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    bool roundUp = frac.size() > decimals && frac.at(decimals) >= u'5';
    frac = frac.left(decimals).leftJustified(decimals, u'0');
    QString digits = intPart + frac;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[i] == u'9') {
                digits[i] = u'0';
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(u'1');
    }
    QString whole = digits.left(digits.size() - decimals);
    const QString fraction = digits.right(decimals);
    if (negative && (digits.count(u'0') != digits.size()))
        whole.prepend(u'-');
    return decimals > 0 ? whole + u'.' + fraction : whole;
}
} // namespace

const QStringList& NormTable::editableFields() {
    static const QStringList fields{QStringLiteral("norma"), QStringLiteral("price"), QStringLiteral("prize")};
    return fields;
}

NormTable::NormTable(Connection& connection, QObject* parent)
    : QObject(parent), conn_(connection),
      norm_(connection, QStringLiteral("norm"), QStringLiteral("select * from accounts_dep.norm order by norma")) {}

void NormTable::openFor(int operId) {
    clearBuffer();
    norm_.close();
    operId_ = operId;
    norm_.setFilter(QStringLiteral("o_id=") + QString::number(operId));
    norm_.setFiltered(true);
    norm_.open();
    emit rowsReset();
}

int NormTable::currentRow() const {
    if (state_ == State::Insert)
        return storedCount();
    if (state_ == State::Edit)
        return editRow_;
    return norm_.isEmpty() ? -1 : norm_.currentRow();
}

int NormTable::recNo() const {
    if (state_ == State::Insert || norm_.isEmpty())
        return -1;
    return norm_.recNo();
}

QVariant NormTable::value(int row, const QString& field) const {
    const QString f = field.toLower();
    if (row == currentRow() && pending_.contains(f))
        return pending_.value(f);
    if (row >= 0 && row < storedCount())
        return norm_.valueAt(row, f);
    return {};
}

void NormTable::clearBuffer() {
    const bool hadInsert = state_ == State::Insert;
    state_ = State::Browse;
    editRow_ = -1;
    pending_.clear();
    if (hadInsert)
        emit rowsReset();
}

void NormTable::append() {
    if (state_ == State::Insert)
        return;
    clearBuffer();
    state_ = State::Insert;
    emit rowsReset();
}

void NormTable::edit(int row) {
    if (row < 0 || row >= storedCount())
        throw DbError(QStringLiteral("Нет текущей записи"));
    if (state_ == State::Edit && editRow_ == row)
        return;
    clearBuffer();
    norm_.setRecNo(row + 1);
    state_ = State::Edit;
    editRow_ = row;
}

void NormTable::setValue(const QString& field, const QVariant& value) {
    const QString f = field.toLower();
    if (state_ == State::Browse)
        throw DbError(QStringLiteral("Запись не редактируется"));
    QVariant stored;
    const QString text = value.toString().trimmed();
    if (f == kOId) {
        stored = value.toInt();
    } else if (!editableFields().contains(f)) {
        throw DbError(QStringLiteral("Поле %1 не редактируется").arg(field));
    } else if (!text.isEmpty()) {
        if (f == u"price") {
            QString number = text;
            number.replace(u',', u'.');
            static const QRegularExpression decimal(QStringLiteral("^[-+]?(\\d+\\.?\\d*|\\.\\d+)$"));
            if (!decimal.match(number).hasMatch())
                throw DbError(QStringLiteral("'%1' не является числом").arg(text));
            stored = number;
        } else {
            bool ok = false;
            const int n = text.toInt(&ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' не является целым числом").arg(text));
            stored = n;
        }
    }
    if (state_ == State::Edit && stored == norm_.valueAt(editRow_, f) && !pending_.contains(f))
        return;
    pending_.insert(f, stored);
    emit rowChanged(currentRow());
}

void NormTable::cancel() { clearBuffer(); }

qint64 NormTable::post() {
    if (state_ == State::Browse || pending_.isEmpty()) {
        const qint64 id = state_ == State::Edit ? norm_.valueAt(editRow_, kId).toLongLong() : 0;
        clearBuffer();
        return id;
    }
    qint64 id = 0;
    if (state_ == State::Insert) {
        // A new norm always belongs to the operation price the table was opened for.
        QVariantMap values = pending_;
        if (!values.contains(kOId) || values.value(kOId).toInt() == 0)
            values.insert(kOId, operId_);
        QStringList cols, params;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            cols << it.key();
            params << u':' + it.key();
        }
        id = conn_
                 .scalar(QStringLiteral("insert into accounts_dep.norm (%1) values (%2) returning id")
                             .arg(cols.join(QStringLiteral(", ")), params.join(QStringLiteral(", "))),
                         values)
                 .toLongLong();
    } else {
        id = norm_.valueAt(editRow_, kId).toLongLong();
        QStringList sets;
        for (auto it = pending_.cbegin(); it != pending_.cend(); ++it)
            sets << it.key() + QStringLiteral("=:") + it.key();
        QVariantMap values = pending_;
        values.insert(QStringLiteral("norm_id"), id);
        conn_.exec(QStringLiteral("update accounts_dep.norm set %1 where id=:norm_id").arg(sets.join(u',')), values);
    }
    clearBuffer();
    return id;
}

void NormTable::requery() {
    const int row = currentRow();
    qint64 saved = post();
    if (saved == 0 && !norm_.isEmpty())
        saved = norm_.asInt64(kId);
    norm_.close();
    norm_.open();
    if (!(saved && norm_.locate(kId, saved)) && row >= 0)
        norm_.setRecNo(row + 1);
    emit rowsReset();
}

void NormTable::deleteRow(int row) {
    if (row < 0 || row >= storedCount())
        return;
    const qint64 id = norm_.valueAt(row, kId).toLongLong();
    clearBuffer();
    conn_.exec(QStringLiteral("delete from accounts_dep.norm where id=:id"), {{kId, id}});
}

QString formatNormPrice(const QVariant& price) {
    if (!price.isValid() || price.isNull())
        return {};
    QString text = price.typeId() == QMetaType::Double ? QString::number(price.toDouble(), 'f', 10)
                                                       : price.toString().trimmed();
    text.replace(u',', u'.');
    QString r = roundDecimal(text, 3);
    if (r.endsWith(u'0'))
        r.chop(1);
    return r;
}
