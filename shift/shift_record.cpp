#include "shift/shift_record.h"

#include "app/connection.h"
#include "app/data_module.h"
#include "app/dataset.h"
#include "app/db_error.h"
#include "app/decimal.h"

namespace {
QString num(long long v) { return QString::number(v); }
QString dmy(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }

// Quantity, rejects and hours go into the statement as typed; they must be plain digits.
const QString& requireDigits(const QString& text) {
    bool digits = !text.isEmpty();
    for (QChar c : text)
        digits = digits && c >= u'0' && c <= u'9';
    if (!digits)
        throw DbError(QStringLiteral("«%1» — не целое неотрицательное число").arg(text));
    return text;
}

// Runs a reading statement through the scratch query and reads one field as an integer (0 when
// there is no row). hadRow tells whether the statement returned a row at all.
int readInt(TDataModule6& dm, const QString& sql, const QString& field, bool* hadRow = nullptr) {
    Dataset& q = dm.Control;
    q.setSql(sql);
    q.open();
    q.first();
    const bool any = !q.isEmpty();
    const int v = any ? q.asInt(field) : 0;
    q.close();
    if (hadRow)
        *hadRow = any;
    return v;
}

void runWrite(TDataModule6& dm, const QString& sql) {
    dm.H_Tabel_ins.setSql(sql);
    dm.H_Tabel_ins.execute();
}

QString rowCondition(int w, int s, const QDate& d) {
    return QStringLiteral(" where w_id=") + num(w) + QStringLiteral(" and smena=") + num(s) +
           QStringLiteral(" and month=") + num(d.month()) + QStringLiteral(" and year=") + num(d.year());
}

// Hours of the worker's records of that shift and day; hadRecords is false when there are none.
int dayHours(TDataModule6& dm, int w, int s, const QDate& d, bool* hadRecords) {
    return readInt(dm,
                   QStringLiteral("select sum(time) as tim from accounts_dep.smena where w_id=") + num(w) +
                       QStringLiteral(" and smena=") + num(s) + QStringLiteral(" and data=to_date('") + dmy(d) +
                       QStringLiteral("', 'DD.MM.YYYY') group by w_id, smena, data"),
                   QStringLiteral("tim"), hadRecords);
}

QString duplicateSql(const ShiftRecord& r, int changedId) {
    QString sql = QStringLiteral("select count(id) as cnt from accounts_dep.SMENA where w_id=") + num(r.workerId) +
                  QStringLiteral(" and o_id=") + num(r.operId) + QStringLiteral(" and i_id=") + num(r.productId) +
                  QStringLiteral(" and data=to_date('") + dmy(r.date) + QStringLiteral("', 'DD.MM.YYYY') and smena=") +
                  num(r.shift);
    if (changedId != 0)
        sql += QStringLiteral(" and id<>") + num(changedId);
    return sql + QStringLiteral(" and color=") + num(r.colour);
}

QString insertSql(const ShiftRecord& r, const QDate& today) {
    return QStringLiteral("insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, "
                          "time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
                          "values(") +
           num(r.workerId) + QStringLiteral(", ") + num(r.productId) + QStringLiteral(", ") + num(r.operId) +
           QStringLiteral(", ") + storedPriceText(r.price) + QStringLiteral(",") + requireDigits(r.quantity) +
           QStringLiteral(", ") + requireDigits(r.rejects) + QStringLiteral(", to_date('") + dmy(r.date) +
           QStringLiteral("', 'DD.MM.YYYY HH24:MI:SS'), ") + num(r.shift) + QStringLiteral(", ") + num(r.colour) +
           QStringLiteral(", ") + requireDigits(r.hours) + QStringLiteral(", '") + dmy(today) +
           QStringLiteral("', 'no', 0, 0, 0, 0, 0, 0)");
}

QString updateSql(const ShiftRecord& r, int id, const QDate& today) {
    return QStringLiteral("update accounts_dep.SMENA set w_id=") + num(r.workerId) + QStringLiteral(", i_id=") +
           num(r.productId) + QStringLiteral(", o_id=") + num(r.operId) + QStringLiteral(", cena=") +
           storedPriceText(r.price) + QStringLiteral(", kol_vo=") + requireDigits(r.quantity) +
           QStringLiteral(", brak=") + requireDigits(r.rejects) + QStringLiteral(", data=to_date('") + dmy(r.date) +
           QStringLiteral("', 'DD.MM.YYYY'), smena=") + num(r.shift) + QStringLiteral(", color=") + num(r.colour) +
           QStringLiteral(", time=") + requireDigits(r.hours) + QStringLiteral(", vvod='") + dmy(today) +
           QStringLiteral("', prize=0, id_doc=0, id_doc_item=0, f_gds_qty_use=0, id_gds_use=0, id_cons_use=0 "
                          "where id=") +
           num(id);
}
} // namespace

double shiftRecordPrice(double basePrice, bool dayOff, int shift) {
    Decimal price = Decimal::fromDouble(basePrice);
    if (dayOff)
        price = price * Decimal::fromInt(2);
    if (shift == 3)
        price = price * *Decimal::parse(u"1.2");
    else if (shift == 4)
        price = price * *Decimal::parse(u"1.5");
    return price.toDouble();
}

QString storedPriceText(double price) { return decimalText(price, 4, Decimal::Rounding::HalfEven); }

void lockPieceworkRow(Connection& connection, int workerId, int shift, int month, int year) {
    // One lock class per shift and month, keyed by the worker. The base keeps these classes
    // apart from the small class numbers other writers use.
    const int classId = 1'100'000'000 + year * 1000 + month * 10 + shift;
    // Integers written into the text: one round trip, where a prepared statement takes three.
    connection.scalar(QStringLiteral("select pg_advisory_xact_lock(%1, %2)").arg(classId).arg(workerId));
}

namespace {
// The roll-ups proper; the caller holds the row's lock inside its transaction.
void rollUpSaveLocked(TDataModule6& dm, int w, int s, const QDate& d) {
    const int rows = readInt(dm, QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel") + rowCondition(w, s, d),
                             QStringLiteral("cnt"));
    const int tim = dayHours(dm, w, s, d, nullptr);
    const QString day = num(d.day());
    if (rows != 0)
        runWrite(dm, QStringLiteral("update accounts_dep.h_tabel set d") + day + QStringLiteral("=") + num(tim) +
                         rowCondition(w, s, d));
    else
        runWrite(dm, QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, d") + day +
                         QStringLiteral(") values(") + num(s) + QStringLiteral(", ") + num(w) + QStringLiteral(", ") +
                         num(d.month()) + QStringLiteral(", ") + num(d.year()) + QStringLiteral(", ") + num(tim) +
                         QStringLiteral(")"));
}

void rollUpDeleteLocked(TDataModule6& dm, int w, int s, const QDate& d) {
    bool hadRecords = false;
    const int tim = dayHours(dm, w, s, d, &hadRecords);
    // Records of 0 hours still make a 0; a day without records is empty, as a rebuild leaves it.
    const QString value = hadRecords ? num(tim) : QStringLiteral("NULL");
    runWrite(dm, QStringLiteral("update accounts_dep.h_tabel set d") + num(d.day()) + QStringLiteral("=") + value +
                     rowCondition(w, s, d));
}
} // namespace

void rollUpDayAfterSave(TDataModule6& dm, int w, int s, const QDate& d) {
    Transaction tx(dm.ADO_DB);
    lockPieceworkRow(dm.ADO_DB, w, s, d.month(), d.year());
    rollUpSaveLocked(dm, w, s, d);
    tx.commit();
}

void rollUpDayAfterDelete(TDataModule6& dm, int w, int s, const QDate& d) {
    Transaction tx(dm.ADO_DB);
    lockPieceworkRow(dm.ADO_DB, w, s, d.month(), d.year());
    rollUpDeleteLocked(dm, w, s, d);
    tx.commit();
}

SaveOutcome saveShiftRecord(TDataModule6& dm, Command& smenaIU, const ShiftRecord& r, int changedId,
                            const QDate& today) {
    // Check the typed numbers before anything is sent.
    requireDigits(r.quantity);
    requireDigits(r.rejects);
    requireDigits(r.hours);
    Transaction tx(dm.ADO_DB);
    // The duplicate key (worker, shift, date, ...) lies within the time-sheet row's key, so one
    // lock serialises both the duplicate check with its insert and the row's count with its insert.
    lockPieceworkRow(dm.ADO_DB, r.workerId, r.shift, r.date.month(), r.date.year());
    if (readInt(dm, duplicateSql(r, changedId), QStringLiteral("cnt")) > 0)
        return SaveOutcome::Duplicate;
    smenaIU.setSql(changedId == 0 ? insertSql(r, today) : updateSql(r, changedId, today));
    smenaIU.execute();
    rollUpSaveLocked(dm, r.workerId, r.shift, r.date);
    tx.commit();
    return SaveOutcome::Saved;
}

void deleteShiftRecord(TDataModule6& dm, int recordId, int workerId, int shift, const QDate& day) {
    Transaction tx(dm.ADO_DB);
    lockPieceworkRow(dm.ADO_DB, workerId, shift, day.month(), day.year());
    dm.DelSmena.setSql(QStringLiteral("delete from accounts_dep.smena where id=") + num(recordId));
    dm.DelSmena.execute();
    rollUpDeleteLocked(dm, workerId, shift, day);
    tx.commit();
}
