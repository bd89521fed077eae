#include "refbooks/workers_dialog.h"

#include "refbooks/dialog_layout.h"

#include "app/data_module.h"
#include "app/db_grid.h"
#include "app/forms.h"
#include "app/gui_services.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {
QComboBox* makeLookup(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxVisibleItems(10);
    box->setMinimumWidth(260);
    return box;
}

// Refills a lookup box from its table (key id, shown s_caption), keeping the chosen key.
void fillLookup(QComboBox* box, Dataset& table) {
    const QVariant chosen = box->currentData();
    const QSignalBlocker quiet(box);
    box->clear();
    for (int r = 0; r < table.recordCount(); ++r)
        box->addItem(defaultCellText(table.valueAt(r, QStringLiteral("s_caption"))),
                     table.valueAt(r, QStringLiteral("id")));
    box->setCurrentIndex(chosen.isValid() ? box->findData(chosen) : -1);
}
} // namespace

TForm2::TForm2(Forms& forms)
    : department(forms.DataModule6->ADO_DB, QStringLiteral("department"),
                 QStringLiteral("select * from cmn_department.department")),
      staffpos(forms.DataModule6->ADO_DB, QStringLiteral("staffpos"), QStringLiteral("select * from hrms_staffpos.staffpos")),
      roles(forms.DataModule6->ADO_DB, QStringLiteral("roles"), QStringLiteral("select * from adm_role.roles")),
      cmd_person(forms.DataModule6->ADO_DB, QStringLiteral("cmd_person")), forms_(forms) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Работники"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* frame = new QGroupBox(QStringLiteral("Данные о работнике"), this);
    Edit1 = new QLineEdit(frame);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    LCB_department = makeLookup(frame, "LCB_department");
    LCB_staffpos = makeLookup(frame, "LCB_staffpos");
    LCB_roles = makeLookup(frame, "LCB_roles");
    auto* fields = new QFormLayout(frame);
    fields->addRow(QStringLiteral("ФИО"), Edit1);
    fields->addRow(QStringLiteral("Подразделение"), LCB_department);
    fields->addRow(QStringLiteral("Должность"), LCB_staffpos);
    fields->addRow(QStringLiteral("Роль"), LCB_roles);

    const DialogButtons buttons = layOutEditDialog(*this, frame, QStringLiteral("Button2"), QStringLiteral("Отмена"));
    Button1 = buttons.save;
    Button2 = buttons.leave;

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TForm2::~TForm2() = default;

void TForm2::reloadLookups() {
    const std::pair<QComboBox*, Dataset*> lookups[] = {
        {LCB_department, &department}, {LCB_staffpos, &staffpos}, {LCB_roles, &roles}};
    for (const auto& [box, table] : lookups) {
        table->reopen();
        fillLookup(box, *table);
    }
    currentStaffText_.clear();
}

void TForm2::presetPosition(const QString& staffText) {
    currentStaffText_ = staffText.trimmed();
    LCB_staffpos->setCurrentIndex(currentStaffText_.isEmpty() ? -1 : LCB_staffpos->findText(currentStaffText_));
}

void TForm2::Button1Click() {
    const QString name = Edit1->text().trimmed();
    if (name.isEmpty()) {
        forms_.services.messenger.error(QStringLiteral("ФИО нужно заполнить!"), QStringLiteral("Ошибка"));
        return;
    }
    // The worker's text shown under "Должность" is the caption of the chosen position; a worker
    // changed without a position chosen keeps the text it had.
    const QString staffText = LCB_staffpos->currentIndex() >= 0 ? LCB_staffpos->currentText()
                              : Tag == 1                          ? QString()
                                                                  : currentStaffText_;
    if (Tag == 1)
        cmd_person.setSql(QStringLiteral("INSERT INTO accounts_dep.person (fio, s_staffpos_hl)VALUES(:fio, :staff)"));
    else
        cmd_person.setSql(QStringLiteral("UPDATE accounts_dep.person SET fio=:fio, s_staffpos_hl=:staff where "
                                         "accounts_dep.person.id=") +
                          QString::number(WorkerId));
    cmd_person.setParam(QStringLiteral("fio"), name);
    cmd_person.setParam(QStringLiteral("staff"), staffText);
    cmd_person.execute();
    accept();
}

void TForm2::FormActivate() { Edit1->setFocus(Qt::ActiveWindowFocusReason); }

void TForm2::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormActivate();
}

void TForm2::wheelEvent(QWheelEvent* e) {
    // The wheel steps through whichever lookup box has the focus.
    QWidget* focused = focusWidget();
    for (QComboBox* box : {LCB_department, LCB_staffpos, LCB_roles}) {
        if (focused != box || box->count() == 0)
            continue;
        const int step = e->angleDelta().y() < 0 ? 1 : -1;
        box->setCurrentIndex(qBound(0, box->currentIndex() + step, box->count() - 1));
        e->accept();
        return;
    }
    QDialog::wheelEvent(e);
}
