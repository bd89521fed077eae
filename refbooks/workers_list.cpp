#include "refbooks/workers_list.h"

#include "app/data_module.h"
#include "app/db_grid.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "refbooks/workers_dialog.h"

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

TForm5::TForm5(Forms& forms) : ReferenceList(forms, QStringLiteral("TForm5"), forms.DataModule6->Workers) {
    setWindowTitle(QStringLiteral("Список рабочих"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    createGridAndSearch();
    DBGrid1->setColumns({GridColumn(QStringLiteral("fio"), QStringLiteral("ФИО"), 300),
                         GridColumn(QStringLiteral("s_staffpos_hl"), QStringLiteral("Должность"), 300)});
    DBGrid1->setMinimumSize(640, 420);

    Button1 = makeButton(this, "Button1", QStringLiteral("Добавить"));
    Button2 = makeButton(this, "Button2", QStringLiteral("Изменить"));
    Button3 = makeButton(this, "Button3", QStringLiteral("Удалить"));
    Button4 = makeButton(this, "Button4", QStringLiteral("Выход"));
    auto* bar = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
                       static_cast<QWidget*>(Button3), static_cast<QWidget*>(Edit1)})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addLayout(bar);

    setupConventions({Button1, Button2, Button3, Button4, true}, {QStringLiteral("fio")}, true);
    pickNeedsRow = true;

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(m, Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

void TForm5::Button1Click() {
    TForm2& dialog = *forms_.Form2;
    dialog.Edit1->clear();
    dialog.setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    dialog.Tag = 1;
    dialog.reloadLookups();
    forms_.services.modal.showModal(dialog);
    refresh(false);
}

void TForm5::editCurrent() {
    Dataset& workers = dataset();
    const int recNo = workers.recNo();
    TForm2& dialog = *forms_.Form2;
    dialog.setWindowTitle(QStringLiteral("Изменение данных работника"));
    dialog.Tag = 2;
    dialog.reloadLookups();
    dialog.Edit1->setText(workers.asString(QStringLiteral("fio")).trimmed());
    dialog.WorkerId = workers.asInt(QStringLiteral("id"));
    dialog.presetPosition(workers.asString(QStringLiteral("s_staffpos_hl")));
    forms_.services.modal.showModal(dialog);
    reopenAt(recNo);
    // The workers list closes after a change: the user is back where the list was opened from.
    reject();
}

void TForm5::Button3Click() {
    if (!confirmDelete(QStringLiteral("Удалить работника?")))
        return;
    Dataset& workers = dataset();
    const int recNo = workers.recNo();
    Command& cmd = forms_.Form2->cmd_person;
    cmd.setSql(QStringLiteral("delete from accounts_dep.person where id =") +
               QString::number(workers.asInt(QStringLiteral("id"))));
    cmd.execute();
    reopenAt(recNo);
}

bool TForm5::pickWorker(int tag, const std::function<void(const PickedWorker&)>& onPick) {
    PickOptions options;
    options.after.closeDataset = true;
    return openForPick(
        tag,
        [&onPick](const Dataset& row) {
            onPick(PickedWorker{row.asInt(QStringLiteral("id")), row.asString(QStringLiteral("fio")).trimmed()});
        },
        options);
}
