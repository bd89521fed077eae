#include "refbooks/operation_prices_dialog.h"

#include "refbooks/dialog_layout.h"

#include "app/data_module.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "refbooks/operation_kinds_list.h"
#include "refbooks/operation_prices_steps.h"
#include "refbooks/products_list.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TForm10::TForm10(Forms& forms) : forms_(forms) {
    setObjectName(QStringLiteral("TForm10"));
    auto* frame = new QGroupBox(QStringLiteral("Цена операции"), this);
    frame->setObjectName(QStringLiteral("GroupBox1"));
    auto readOnly = [frame](const char* name) {
        auto* e = new QLineEdit(frame);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setMinimumWidth(300);
        return e;
    };
    auto dots = [frame](const char* name) {
        auto* b = new QPushButton(QStringLiteral("..."), frame);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setFixedWidth(30);
        return b;
    };
    Edit1 = readOnly("Edit1");
    Button3 = dots("Button3");
    Edit2 = readOnly("Edit2");
    Button4 = dots("Button4");
    ComboBox1 = new QComboBox(frame);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")});
    ComboBox1->setCurrentIndex(0);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Марка изделия"), frame), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Button3, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Операция"), frame), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Button4, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Вид"), frame), 2, 0);
    grid->addWidget(ComboBox1, 2, 1);

    const DialogButtons buttons = layOutEditDialog(*this, frame, QStringLiteral("Button2"), QStringLiteral("Отмена"));
    Button1 = buttons.save;
    Button2 = buttons.leave;

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(m, Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connectGuarded(m, Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm10::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        guarded(forms_.services.messenger, [this] { FormActivate(); });
}

void TForm10::FormActivate() { Button3->setFocus(); }

void TForm10::Button3Click() {
    ReferenceList::PickOptions options;
    options.after.chooseNotDefault = true;
    options.after.hideSearch = true;
    options.after.closeDataset = true;
    forms_.Form3->openForPick(1, [this](const Dataset& row) {
        Edit1->setText(row.asString(QStringLiteral("marka")).trimmed());
        ProductId = row.asInt(QStringLiteral("id"));
    }, options);
}

void TForm10::Button4Click() {
    ReferenceList::PickOptions options;
    options.after.chooseNotDefault = true;
    options.after.hideSearch = true;
    options.after.closeDataset = true;
    forms_.Form8->openForPick(1, [this](const Dataset& row) {
        Edit2->setText(row.asString(QStringLiteral("vid")).trimmed());
        KindId = row.asInt(QStringLiteral("id"));
    }, options);
}

void TForm10::Button1Click() {
    TDataModule6& dm = *forms_.DataModule6;
    const int current = Tag == 1 || dm.Oper.isEmpty() ? 0 : dm.Oper.asInt(QStringLiteral("id"));
    if (saveOperationPrice(dm, Tag, Edit1->text(), Edit2->text(), ProductId, KindId, ComboBox1->currentIndex(),
                           current))
        accept();
}
