#pragma once
#include <QDialog>
#include <memory>

class Command;
class Forms;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The shift record dialog: enters one production record of a shift, changes one, or enters a
// copy of one. The main window prepares it and shows it modally; the worker and the operation
// come from the workers list and the operation price list in pick mode.
class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(Forms& forms);
    ~TForm11() override;

    // Mode: 1 add, 2 change, 3 copy; set by the main window before showing.
    int Tag = 0;
    // The record's worker, operation price, product and price per piece. The pick lists (and the
    // change/copy preparation) write them; they keep their values from one showing to the next.
    int WorkerId = 0;
    int OperId = 0;
    int ProductId = 0;
    double Price = 0;

    QGroupBox* GroupBox1; // "Закрыто мастером"
    QLineEdit* Edit1;     // worker's name; a click opens the workers list
    QPushButton* Button3; // "..." workers list
    QLineEdit* Edit2;     // "<marka>; <vid>; <kind text>"; a click opens the price list
    QPushButton* Button4; // "..." price list
    QLineEdit* Edit3;     // quantity
    QLineEdit* Edit6;     // hours
    QLabel* Label6;       // "Цвет"
    QLineEdit* Edit5;     // colour (painting operations only)
    QDateEdit* DTimeP;    // record date
    QLineEdit* Edit4;     // rejects
    QLineEdit* Edit8;     // base price
    QLineEdit* Edit7;     // final price
    QLineEdit* Edit9;     // quantity x price
    QPushButton* Button1; // "Запись"
    QPushButton* Button2; // "Отмена"
    Command* SmenaIU;

    // The main window's "Добавить", "Изменить" and "Копия".
    void openForAdd();
    void openForChange();
    void openForCopy();

    void FormActivate();
    void Button1Click(); // save
    void Button3Click(); // choose the worker
    void Button4Click(); // choose the operation
    void Edit6Exit();    // recompute the price fields

    // "Готовая продукция" for product kind 0, "Заготовки" otherwise.
    static QString kindText(int naimen);
    // Whether a description names a painting operation (colour needed).
    static bool isPainting(const QString& text);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void prepareChange();
    void enableColour(bool painting);

    Forms& forms_;
    std::unique_ptr<Command> smenaIU_;
};
