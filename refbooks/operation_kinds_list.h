#pragma once
#include "refbooks/reference_list.h"

class QPushButton;

// The operation kinds list "Виды операций (8)".
class TForm8 : public ReferenceList {
    Q_OBJECT
public:
    explicit TForm8(Forms& forms);

    QPushButton* Button1; // "Добавить"
    QPushButton* Button2; // "Изменить" / "Выбрать"
    QPushButton* Button3; // "Удалить"
    QPushButton* Button4; // "Выход"

    void Button1Click();
    void Button2Click() { choose(); }
    void Button3Click();

protected:
    void editCurrent() override;
    void beforeBrowseOpen() override;
};
