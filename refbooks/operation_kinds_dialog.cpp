#include "refbooks/operation_kinds_dialog.h"

#include "refbooks/dialog_layout.h"

#include "app/data_module.h"
#include "app/forms.h"
#include "app/gui_services.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TForm9::TForm9(Forms& forms) : forms_(forms) {
    setObjectName(QStringLiteral("TForm9"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* frame = new QGroupBox(QStringLiteral("Вид операции"), this);
    Edit1 = new QLineEdit(frame);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(128);
    Edit1->setMinimumWidth(300);
    auto* fields = new QFormLayout(frame);
    fields->addRow(QStringLiteral("Операция"), Edit1);
    const DialogButtons buttons = layOutEditDialog(*this, frame, QStringLiteral("Button2"), QStringLiteral("Отмена"));
    Button1 = buttons.save;
    Button2 = buttons.leave;

    connectGuarded(forms_.services.messenger, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm9::Button1Click() {
    TDataModule6& dm = *forms_.DataModule6;
    Dataset& kinds = dm.Vid_oper;
    const QString name = Edit1->text().trimmed();
    if (name.isEmpty()) {
        forms_.services.messenger.error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    QString count = QStringLiteral("select count(*) as cnt from accounts_dep.vid_oper where upper(vid)=:vid");
    if (Tag != 1)
        count += QStringLiteral(" and id<>") + QString::number(kinds.asInt(QStringLiteral("id")));
    dm.Control.setParam(QStringLiteral("vid"), name.toUpper());
    if (dm.CheckExists(count, QStringLiteral("Такая операция уже заведена!")))
        return;

    if (Tag == 1) {
        dm.SQL_exec.setSql(QStringLiteral("insert into accounts_dep.vid_oper (vid) values (:vid)"));
    } else {
        dm.SQL_exec.setSql(QStringLiteral("update accounts_dep.vid_oper set vid=:vid where id=:id"));
        dm.SQL_exec.setParam(QStringLiteral("id"), kinds.asInt(QStringLiteral("id")));
    }
    dm.SQL_exec.setParam(QStringLiteral("vid"), name);
    dm.SQL_exec.execute();
    kinds.reopen();
    accept();
}

void TForm9::FormActivate() { Edit1->setFocus(Qt::ActiveWindowFocusReason); }

void TForm9::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormActivate();
}
