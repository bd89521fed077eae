#pragma once
#include <QDate>
#include <QString>

class Command;
class Connection;
class TDataModule6;

// Price per piece of a shift record for an operation whose lowest norm price is basePrice:
// doubled on a day off, then times 1.2 in the third shift or times 1.5 in overtime (shift 4).
// Computed on decimal digits, so 10 on a day off in shift 3 gives exactly 24.
double shiftRecordPrice(double basePrice, bool dayOff, int shift);

// The price as the record stores it: rounded to 4 decimals, halves to the even neighbour,
// written with a point whatever the locale (1/3 -> "0.3333").
QString storedPriceText(double price);

// One production record as the dialog hands it over.
struct ShiftRecord {
    int workerId = 0;
    int productId = 0;
    int operId = 0;
    double price = 0;
    // As typed (trimmed): digits only.
    QString quantity;
    QString rejects;
    QString hours;
    int colour = 0;
    int shift = 1;
    QDate date;
};

enum class SaveOutcome { Saved, Duplicate };

// Saves a record and rolls the worker's hours of its day into the monthly time sheet, as one
// unit: a new record (changedId 0) is inserted marked "no"; otherwise the record changedId is
// updated and keeps its mark. A record with the same worker, operation, product, date, shift
// and colour as another one is refused (Duplicate) and nothing is written. The statement runs
// through smenaIU. Throws DbError when the server refuses a step; then nothing stays written.
SaveOutcome saveShiftRecord(TDataModule6& dm, Command& smenaIU, const ShiftRecord& record, int changedId,
                            const QDate& today);

// Deletes a record and recomputes its worker's hours of that day, as one unit.
void deleteShiftRecord(TDataModule6& dm, int recordId, int workerId, int shift, const QDate& day);

// Writes the full total of the worker's hours in that shift and day into the day's column of
// the worker's piece-work row for the month, inserting the row when there is none.
void rollUpDayAfterSave(TDataModule6& dm, int workerId, int shift, const QDate& day);
// The same after a deletion: the row is only updated; a day left without records becomes empty
// and the row's other days stay.
void rollUpDayAfterDelete(TDataModule6& dm, int workerId, int shift, const QDate& day);

// Serialises writers of one piece-work time-sheet row (worker, shift, month, year) and of the
// worker's records of that shift and month, until the surrounding transaction ends. Whoever
// counts and then inserts such a row (or rebuilds the month's rows) takes it first.
void lockPieceworkRow(Connection& connection, int workerId, int shift, int month, int year);
