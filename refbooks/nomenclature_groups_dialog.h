#pragma once
#include <QDialog>

class Forms;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The nomenclature group dialog "Ведение групп (29)": adds a group or changes its name and
// its not-in-use mark.
class TForm29 : public QDialog {
    Q_OBJECT
public:
    explicit TForm29(Forms& forms);

    // 1 add, 2 change.
    int Tag = 0;
    QLineEdit* Edit1;
    QCheckBox* CheckBox1;
    QPushButton* Button1;
    QPushButton* Button6;

    void Button1Click();

private:
    Forms& forms_;
};
