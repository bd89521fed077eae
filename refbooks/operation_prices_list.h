#pragma once
#include "refbooks/reference_list.h"

class QCheckBox;
class QPushButton;

// The operation price list "Операции": each operation price with its lowest norm price and
// number of norms.
class TForm4 : public ReferenceList {
    Q_OBJECT
public:
    explicit TForm4(Forms& forms);

    QPushButton* Button1;  // "Добавить"
    QPushButton* Button2;  // "Изменить" / "Выбрать"
    QPushButton* Button3;  // "Удалить"
    QPushButton* Button5;  // "Excel"
    QCheckBox* CheckBox1;  // "Цены": a double-click in browse mode opens the norms
    QPushButton* Button4;  // "Выход"

    void Button1Click();
    void Button2Click() { choose(); }
    void Button3Click();
    void Button5Click();
    void DBGrid1DblClick();

protected:
    void editCurrent() override;
};
