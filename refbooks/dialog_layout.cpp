#include "refbooks/dialog_layout.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

DialogButtons layOutEditDialog(QDialog& dialog, QWidget* frame, const QString& leaveName,
                               const QString& leaveCaption) {
    auto* save = new QPushButton(QStringLiteral("Записать"), &dialog);
    save->setObjectName(QStringLiteral("Button1"));
    save->setDefault(true);
    auto* leave = new QPushButton(leaveCaption, &dialog);
    leave->setObjectName(leaveName);
    leave->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(leave);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return {save, leave};
}
