#pragma once
#include <QDialog>

class Forms;
class QLineEdit;
class QPushButton;

// The operation kind dialog: adds a kind or renames one; kind names are unique ignoring case.
class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(Forms& forms);

    // 1 add, 2 change.
    int Tag = 0;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;

    void Button1Click();
    void FormActivate();

protected:
    void showEvent(QShowEvent* e) override;

private:
    Forms& forms_;
};
