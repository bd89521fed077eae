#pragma once
#include "app/access.h"

#include <QByteArray>
#include <QDialog>
#include <QStringList>

class Forms;
class Dataset;
class Command;
class DBGrid;
class QAction;
class QCheckBox;
class QDateEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTimer;

// The main window: the shift log of one date and shift.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(Forms& forms);
    ~TForm1() override;

    // Current shift: 1, 2, 3, or 4 for overtime.
    int CurSmena = 1;
    // The access code typed at login.
    QByteArray AccessCode;
    // The shift dataset of the current shift, set by the add, change and accept handlers.
    Dataset* CurQuery = nullptr;
    int BuildDate = 0;
    int BuildTime = 0;

    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QDateEdit* DateT;
    QCheckBox* CBox1;
    DBGrid* DBGrid2;
    QPushButton* Button1;
    QAction* N21; // "Копия" in the context menu of Button1
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button8;
    QPushButton* Button5;
    QPushButton* Button4;
    QMenuBar* MainMenu1;
    QAction* N2;
    QAction* N1;
    QAction* N3;
    QAction* N4;
    QAction* N6;
    QAction* N8;
    QAction* N11;
    QAction* N9;
    QAction* N13;
    QAction* N14;
    QAction* N15;
    QAction* N18;
    QAction* N19;
    QAction* N17;
    QAction* N7;
    QAction* N10;
    QAction* N5;
    QAction* N12;
    QAction* N16;
    QTimer* Timer1;
    Command* updtOK;

    // Start-up: data module, connection, login window. False when the connection failed.
    bool FormCreate(const QStringList& positionalArgs);

    void FormActivate();
    void DateTChange();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void CBox1Click();
    void Button8Click();
    void Button1Click(); // add a record
    void Button2Click(); // change the current record
    void N21Click();     // copy the current record
    void Button3Click();
    void Button4Click();
    void DBGrid2DblClick();
    void Timer1Timer();
    void N5Click();

    // The restrictions of a role on this window and the menu.
    void applyRole(Role role);
    // The shift dataset of a shift number (anything but 2..4 gives shift 1).
    Dataset& smenaQuery(int shift);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenu();
    void shiftChosen(int shift);
    void reloadShiftDatasets();
    void setWeekendBox(bool ticked);

    Forms& forms_;
    std::unique_ptr<Command> updtOK_;
    bool activatedOnce_ = false;
};
