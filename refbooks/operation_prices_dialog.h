#pragma once
#include <QDialog>

class Forms;
class QComboBox;
class QLineEdit;
class QPushButton;

// The operation price dialog: product, operation kind and product kind of one operation price.
class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(Forms& forms);

    // 1 add, 2 change (of the current row of Oper).
    int Tag = 0;
    // What the picks chose; the statements use these, the texts only show them.
    int ProductId = 0;
    int KindId = 0;

    QLineEdit* Edit1;       // "Марка изделия" (read-only)
    QPushButton* Button3;   // "..." products list
    QLineEdit* Edit2;       // "Операция" (read-only)
    QPushButton* Button4;   // "..." operation kinds list
    QComboBox* ComboBox1;   // "Вид": 0 finished product, 1 blanks
    QPushButton* Button1;   // "Записать"
    QPushButton* Button2;   // "Отмена"

    void FormActivate();
    void Button1Click();
    void Button3Click();
    void Button4Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    Forms& forms_;
};
