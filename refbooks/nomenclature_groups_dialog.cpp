#include "refbooks/nomenclature_groups_dialog.h"

#include "refbooks/dialog_layout.h"

#include "app/data_module.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "refbooks/nomenclature_groups_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TForm29::TForm29(Forms& forms) : forms_(forms) {
    setObjectName(QStringLiteral("TForm29"));
    setWindowTitle(QStringLiteral("Ведение групп (29)"));
    setWindowIcon(QApplication::windowIcon());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* frame = new QGroupBox(QStringLiteral("Номенклатурная группа"), this);
    Edit1 = new QLineEdit(frame);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(254);
    Edit1->setMinimumWidth(320);
    Edit1->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    CheckBox1 = new QCheckBox(QStringLiteral("Не используется"), frame);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    auto* fields = new QFormLayout(frame);
    fields->addRow(QStringLiteral("Наименование"), Edit1);
    fields->addRow(QString(), CheckBox1);
    const DialogButtons buttons = layOutEditDialog(*this, frame, QStringLiteral("Button6"), QStringLiteral("Выход"));
    Button1 = buttons.save;
    Button6 = buttons.leave;

    connectGuarded(forms_.services.messenger, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm29::Button1Click() {
    Dataset& item = forms_.Form26->item;
    Command& cmd = forms_.DataModule6->SQL_exec;
    const QString flag = CheckBox1->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (Tag == 1)
        cmd.setSql(QStringLiteral("INSERT INTO cmn_classifier.item(s_caption, b_excluded) VALUES(:name, ") + flag +
                   QStringLiteral(")"));
    else if (Tag == 2)
        cmd.setSql(QStringLiteral("UPDATE cmn_classifier.item SET s_caption=:name, b_excluded=") + flag +
                   QStringLiteral(" where id=") + QString::number(item.asInt(QStringLiteral("id"))));
    else
        return;
    cmd.setParam(QStringLiteral("name"), Edit1->text().trimmed());
    cmd.execute();
    item.reopen();
    accept();
}
