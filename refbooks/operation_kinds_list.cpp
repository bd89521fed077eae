#include "refbooks/operation_kinds_list.h"

#include "app/data_module.h"
#include "app/db_grid.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "refbooks/operation_kinds_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
} // namespace

TForm8::TForm8(Forms& forms) : ReferenceList(forms, QStringLiteral("TForm8"), forms.DataModule6->Vid_oper) {
    setWindowTitle(QStringLiteral("Виды операций (8)"));
    createGridAndSearch();
    DBGrid1->setColumns({GridColumn(QStringLiteral("vid"), QStringLiteral("Операции"), 360)});
    DBGrid1->setMinimumSize(400, 380);

    Button1 = makeButton(this, "Button1", QStringLiteral("Добавить"));
    Button2 = makeButton(this, "Button2", QStringLiteral("Изменить"));
    Button3 = makeButton(this, "Button3", QStringLiteral("Удалить"));
    Button4 = makeButton(this, "Button4", QStringLiteral("Выход"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(Button1);
    bar->addWidget(Button2);
    bar->addWidget(Button3);
    bar->addStretch();
    bar->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addWidget(Edit1);
    layout->addLayout(bar);

    setupConventions({Button1, Button2, Button3, Button4, true}, {QStringLiteral("vid")}, true);
    pickNeedsRow = true;
    Edit1->setVisible(false);

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(m, Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

void TForm8::beforeBrowseOpen() { dataset().setFiltered(false); }

void TForm8::Button1Click() {
    TForm9& dialog = *forms_.Form9;
    dialog.Edit1->clear();
    dialog.setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    dialog.Tag = 1;
    forms_.services.modal.showModal(dialog);
}

void TForm8::editCurrent() {
    TForm9& dialog = *forms_.Form9;
    dialog.setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    dialog.Tag = 2;
    dialog.Edit1->setText(dataset().asString(QStringLiteral("vid")).trimmed());
    forms_.services.modal.showModal(dialog);
}

void TForm8::Button3Click() {
    if (!confirmDelete(QStringLiteral("Удалить вид операции?")))
        return;
    Dataset& kinds = dataset();
    if (kinds.isEmpty())
        return;
    TDataModule6& dm = *forms_.DataModule6;
    dm.SQL_exec.setSql(QStringLiteral("delete from accounts_dep.vid_oper where id=:id"));
    dm.SQL_exec.setParam(QStringLiteral("id"), kinds.asInt(QStringLiteral("id")));
    dm.SQL_exec.execute();
    refresh(false);
}
