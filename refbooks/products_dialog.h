#pragma once
#include "refbooks/products_steps.h"

#include <QDialog>
#include <memory>

class Forms;
class QComboBox;
class QLineEdit;
class QPushButton;

// The product dialog "Изделие": mark, number and nomenclature group of one product.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(Forms& forms);
    ~TForm7() override;

    // 1 add, 2 change (of the current row of Izdel).
    int Tag = 0;

    QLineEdit* Edit1;   // "Марка"
    QLineEdit* Edit2;   // "Расценка"
    QComboBox* cb_item; // nomenclature group (level 2, in use)
    QPushButton* Button1; // "Записать"
    QPushButton* Button2; // "Отмена"

    // The lookup's table: cmn_classifier.item sorted by caption, filtered to the groups in use.
    Dataset item;
    // Opening and closing the table refills the lookup; the chosen key stays across both.
    void openItem();
    void closeItem();
    // Key of the chosen group; 0 when none. Setting a key that the table lacks shows nothing.
    int keyValue() const { return key_; }
    void setKeyValue(int key);

    void FormActivate();
    void Button1Click();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void fillLookup();
    Forms& forms_;
    std::unique_ptr<ProductsBook> book_;
    int key_ = 0;
    bool filling_ = false;
};
