#pragma once
#include <QString>

class QDialog;
class QPushButton;
class QWidget;

// The two buttons of an edit dialog: the default one that saves, and the one that leaves.
struct DialogButtons {
    QPushButton* save;
    QPushButton* leave;
};

// Lays out an edit dialog: its frame of fields above a right-aligned row with "Записать"
// (Button1, the default button) and the leaving button; the dialog keeps its fitted size.
DialogButtons layOutEditDialog(QDialog& dialog, QWidget* frame, const QString& leaveName,
                               const QString& leaveCaption);
