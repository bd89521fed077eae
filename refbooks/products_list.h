#pragma once
#include "refbooks/products_steps.h"
#include "refbooks/reference_list.h"

#include <memory>

class QPushButton;

// The products list "Изделия (3)".
class TForm3 : public ReferenceList {
    Q_OBJECT
public:
    explicit TForm3(Forms& forms);
    ~TForm3() override;

    QPushButton* Button1; // "Добавить"
    QPushButton* Button2; // "Изменить" / "Выбрать"
    QPushButton* Button3; // "Удалить"
    QPushButton* Button4; // "Выход"

    // The counting queries ii_oper and Izdel_Smena, and the delete.
    ProductsBook& book() { return *book_; }

    void Button1Click();
    void Button2Click() { choose(); }
    void Button3Click();

protected:
    void editCurrent() override;

private:
    std::unique_ptr<ProductsBook> book_;
};
