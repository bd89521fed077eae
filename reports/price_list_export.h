#pragma once
#include <QString>

class TDataModule6;
class PlainExcel;

// Statement of the price list's export dataset XLS_Rep: every operation price, with or without norms,
// with its own stored price cena_new.
extern const char* const kXlsRepSql;

// The price list's "Excel" export: a header row "Марка", "Операция", "Цена", "Вид" and one row per
// operation price, written with plain writes on the handle the price list shares with the summary
// reports, then shown. Returns -1 when no workbook could be made (the messages have been shown and
// nothing is exported; the window puts the cursor back), otherwise 1.
int exportPriceList(TDataModule6& dm, PlainExcel& excel);

// A numeric column's exact decimal text ("12.5000") as the system writes the number: its decimal
// separator, no grouping, no trailing zeros ("12,5" under a Russian locale).
QString systemNumberText(const QString& decimalText);
