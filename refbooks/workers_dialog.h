#pragma once
#include "app/dataset.h"

#include <QDialog>

class Forms;
class QComboBox;
class QLineEdit;
class QPushButton;

// The worker dialog: adds a worker or changes one.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(Forms& forms);
    ~TForm2() override;

    // 1 add, 2 change.
    int Tag = 0;
    // The id of the worker being changed.
    int WorkerId = 0;

    QLineEdit* Edit1;
    QComboBox* LCB_department;
    QComboBox* LCB_staffpos;
    QComboBox* LCB_roles;
    QPushButton* Button1;
    QPushButton* Button2;

    Dataset department;
    Dataset staffpos;
    Dataset roles;
    Command cmd_person;

    // Closes and reopens the three lookup tables; each box keeps its choice.
    void reloadLookups();
    // Change mode: chooses the position whose caption is the worker's text (none when no
    // position has it) and remembers the text, so a rename keeps a text no position carries.
    void presetPosition(const QString& staffText);

    void Button1Click();
    void FormActivate();

protected:
    void showEvent(QShowEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    Forms& forms_;
    QString currentStaffText_;
};
