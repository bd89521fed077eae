#include "refbooks/nomenclature_groups_list.h"

#include "app/data_module.h"
#include "app/db_grid.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "refbooks/nomenclature_groups_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int kBrowseWidth = 585;
constexpr int kPickWidth = 460;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
} // namespace

TForm26::TForm26(Forms& forms)
    : ReferenceList(forms, QStringLiteral("TForm26"), item),
      item(forms.DataModule6->ADO_DB, QStringLiteral("item"),
           QStringLiteral("select *, case when b_excluded=1  then 'V' else '' end as s_excl from "
                          "cmn_classifier.item where id_level=2 order by s_caption")),
      item_gds(forms.DataModule6->ADO_DB, QStringLiteral("item_gds"),
               QStringLiteral("select (select count(gds.*) cnt_gds from cmn_gds_and_srv.gds_and_srv gds where "
                              "gds.id_class_item = :id_nom3),\n"
                              "(select count(f.*) cnt_f from accounts_dep.fatigue f where f.id_nom = :id_nom1),\n"
                              "(select count(s.*) cnt_s from accounts_dep.smena s,cmn_gds_and_srv.gds_and_srv gds "
                              "where gds.id = s.i_id and gds.id_class_item = :id_nom2)")) {
    setWindowTitle(QStringLiteral("Номенклатура (26)"));
    setWindowIcon(QApplication::windowIcon());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    createGridAndSearch();
    DBGrid1->setColumns({GridColumn(QStringLiteral("s_caption"), QStringLiteral("Наименование"), 400),
                         GridColumn(QStringLiteral("s_excl"), QStringLiteral("Не используется"), 120, Qt::AlignCenter)});

    Button2 = makeButton(this, "Button2", QStringLiteral("Добавить"));
    Button3 = makeButton(this, "Button3", QStringLiteral("Изменить"));
    Button1 = makeButton(this, "Button1", QStringLiteral("Удалить"));
    Button4 = makeButton(this, "Button4", QStringLiteral("Выход"));
    auto* bar = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Button2), static_cast<QWidget*>(Button3),
                       static_cast<QWidget*>(Button1), static_cast<QWidget*>(Edit1)})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addLayout(bar);
    resize(kBrowseWidth, 480);

    setupConventions({Button2, Button3, Button1, Button4, true}, {QStringLiteral("s_caption")}, false);
    pickNeedsRow = true;
    // None of this list's buttons is the default button.
    Button2->setDefault(false);

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    if (forms.DataModule6->ADO_DB.isOpen())
        item.open();
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm26::openForBrowse() {
    Tag = 0;
    // Re-read: the query may still hold the rows read at start-up.
    item.reopen();
    Button3->setText(QStringLiteral("Изменить"));
    Button1->setVisible(true);
    Button2->setVisible(true);
    forms_.services.modal.showModal(*this);
    item.close();
}

bool TForm26::openForPick(int tag, PickHandler onPick, const PickOptions&) {
    Tag = tag;
    item.setFilter(QStringLiteral("b_excluded=0"));
    item.setFiltered(true);
    Button3->setText(QStringLiteral("Выбрать"));
    Button1->setVisible(false);
    Button2->setVisible(false);
    DBGrid1->setColumnHidden(1, true);
    resize(kPickWidth, height());
    item.reopen();

    const bool picked = runPick(std::move(onPick));

    Button1->setVisible(true);
    Button2->setVisible(true);
    item.close();
    DBGrid1->setColumnHidden(1, false);
    resize(kBrowseWidth, height());
    item.setFiltered(false);
    return picked;
}

bool TForm26::pickGroup(const std::function<void(const PickedGroup&)>& onPick) {
    return openForPick(24, [&onPick](const Dataset& row) {
        onPick(PickedGroup{row.asInt(QStringLiteral("id")), row.asString(QStringLiteral("s_caption"))});
    });
}

void TForm26::choose() {
    const int recNo = item.recNo();
    ReferenceList::choose();
    if (recNo > 0 && item.recordCount() > 0)
        item.setRecNo(recNo);
}

void TForm26::editCurrent() {
    TForm29& dialog = *forms_.Form29;
    dialog.Tag = 2;
    dialog.Edit1->setText(item.asString(QStringLiteral("s_caption")).trimmed());
    dialog.CheckBox1->setChecked(item.asInt(QStringLiteral("b_excluded")) != 0);
    forms_.services.modal.showModal(dialog);
}

void TForm26::Button2Click() {
    const int recNo = item.recNo();
    TForm29& dialog = *forms_.Form29;
    dialog.Edit1->clear();
    dialog.Tag = 1;
    forms_.services.modal.showModal(dialog);
    if (recNo > 0 && item.recordCount() > 0)
        item.setRecNo(recNo);
}

void TForm26::Button1Click() {
    if (item.isEmpty())
        return;
    const int id = item.asInt(QStringLiteral("id"));
    for (const char* p : {"id_nom1", "id_nom2", "id_nom3"})
        item_gds.setParam(QString::fromLatin1(p), id);
    item_gds.reopen();
    const qint64 products = item_gds.asInt64(QStringLiteral("cnt_gds"));
    const qint64 household = item_gds.asInt64(QStringLiteral("cnt_f"));
    const qint64 shifts = item_gds.asInt64(QStringLiteral("cnt_s"));
    item_gds.close();
    Messenger& m = forms_.services.messenger;
    if (products > 0) {
        m.error(QStringLiteral("В номенклатурной группе есть изделия."), QStringLiteral("Удаление"));
        return;
    }
    if (household > 0 || shifts > 0) {
        m.error(QStringLiteral("В номенклатурной группе есть операции."), QStringLiteral("Удаление"));
        return;
    }
    Command& del = forms_.DataModule6->DelSmena;
    del.setSql(QStringLiteral("DELETE FROM cmn_classifier.item WHERE id=") + QString::number(id));
    del.execute();
    refresh(true);
}
