#pragma once
#include <QDialog>

class Forms;
class QLineEdit;
class QPushButton;
class QTimer;

// Login: the access code selects the role, restricts the windows and shows the main window.
class TForm23 : public QDialog {
    Q_OBJECT
public:
    explicit TForm23(Forms& forms);

    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;
    QTimer* Timer1;

    void FormActivate();
    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    // The build-stamp check; also run by the main window's timer.
    void CheckVersion();

protected:
    bool event(QEvent* e) override;
    void reject() override;

private:
    void showMainWindow();
    Forms& forms_;
    bool activated_ = false;
};
