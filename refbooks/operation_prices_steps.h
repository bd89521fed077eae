#pragma once
#include <QString>

class TDataModule6;

// "Записать" of the operation price dialog (tag 1 add, otherwise change of currentId): an
// operation price is one operation kind on one product for one product kind (0 finished
// product, 1 blanks). False, with the message shown, when the product or the kind is not chosen
// or the same three already make another operation price; nothing is written then. Reopens
// Oper after a write.
bool saveOperationPrice(TDataModule6& dm, int tag, const QString& productText, const QString& kindText,
                        int productId, int kindId, int naimen, int currentId);

// Deletes an operation price (its norms and shift records stay) and reopens Oper.
void deleteOperationPrice(TDataModule6& dm, int id);

// The product kind as the lists show it.
QString productKindText(int naimen);

// The text a shift record shows for the current row of Oper: "<mark>; <kind>; <product kind>".
// The mark is read from the products view by the row's product id.
QString operationDescription(TDataModule6& dm);
