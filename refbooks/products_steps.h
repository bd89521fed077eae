#pragma once
#include "app/dataset.h"

#include <QDate>
#include <QString>

class TDataModule6;

// Writes of the products book: the mark, the number and the nomenclature group of a goods item,
// and the delete of a product with its operation prices and shift records.
class ProductsBook {
public:
    explicit ProductsBook(TDataModule6& dm);

    // Number of operation prices of a product (parameter id_ii).
    Dataset ii_oper;
    // Number of shift records of a product from a date on (parameters id_ii, dt).
    Dataset Izdel_Smena;

    // Asks the delete questions in their order and runs what was confirmed; all confirmed
    // statements form one transaction, so a refused one leaves nothing half deleted. Reopens
    // Izdel afterwards. True when the product itself was deleted.
    bool deleteProduct(qint64 id, const QDate& today);

    // "Записать" of the product dialog (tag 1 add, otherwise change of currentId). False, with
    // the message shown, when a field is empty or the mark is taken; nothing is written then.
    bool save(int tag, const QString& markText, const QString& numberText, qint64 groupId, qint64 currentId);

private:
    TDataModule6& dm_;
};

// The product's number as the list shows it and the dialog takes it: no trailing zeros of the
// fraction, the given decimal separator ("12.500000" -> "12,5").
QString productNumberText(const QString& decimalText, QChar separator);

// What the number box lets through for one typed character: digits and Backspace as they are,
// "." and "," as "."; an empty result drops the character.
QString productNumberKey(const QString& typed);
