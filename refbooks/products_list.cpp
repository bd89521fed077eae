#include "refbooks/products_list.h"

#include "app/data_module.h"
#include "app/db_grid.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "refbooks/products_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
} // namespace

TForm3::TForm3(Forms& forms)
    : ReferenceList(forms, QStringLiteral("TForm3"), forms.DataModule6->Izdel),
      book_(std::make_unique<ProductsBook>(*forms.DataModule6)) {
    setWindowTitle(QStringLiteral("Изделия (3)"));
    createGridAndSearch();
    DBGrid1->setColumns({
        GridColumn(QStringLiteral("marka"), QStringLiteral("Марка изделия"), 300),
        GridColumn(QStringLiteral("nom"), QStringLiteral("Номенклатурная группа"), 250),
        GridColumn(QStringLiteral("massa"), QStringLiteral("Коробки"), 80, Qt::AlignLeft | Qt::AlignVCenter, true,
                   [](const QVariant& v) {
                       return v.isNull() ? QString() : productNumberText(v.toString(), QLocale().decimalPoint().at(0));
                   }),
    });
    QFont titles = DBGrid1->horizontalHeader()->font();
    titles.setBold(true);
    DBGrid1->horizontalHeader()->setFont(titles);
    DBGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    DBGrid1->setMinimumSize(680, 420);

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
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ReferenceList::SearchRule rule;
    rule.field = QStringLiteral("marka");
    rule.keys = ReferenceList::SearchRule::Keys::UpDownOnly;
    setupConventions({Button1, Button2, Button3, Button4, true}, rule, true);

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(m, Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

TForm3::~TForm3() = default;

void TForm3::Button1Click() {
    Dataset& izdel = dataset();
    const int recNo = izdel.recNo();
    TForm7& dialog = *forms_.Form7;
    dialog.Edit1->clear();
    dialog.Edit2->clear();
    dialog.setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    dialog.Tag = 1;
    // the group lookup keeps the group it showed last
    dialog.openItem();
    forms_.services.modal.showModal(dialog);
    dialog.closeItem();
    if (izdel.isOpen() && !izdel.isEmpty())
        izdel.setRecNo(recNo);
}

void TForm3::editCurrent() {
    Dataset& izdel = dataset();
    const int recNo = izdel.recNo();
    TForm7& dialog = *forms_.Form7;
    dialog.setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
    dialog.Tag = 2;
    dialog.Edit1->setText(izdel.asString(QStringLiteral("marka")).trimmed());
    dialog.Edit2->setText(
        productNumberText(izdel.asDecimal(QStringLiteral("massa")), QLocale().decimalPoint().at(0)).trimmed());
    dialog.openItem();
    dialog.setKeyValue(izdel.asInt(QStringLiteral("id_class_item")));
    forms_.services.modal.showModal(dialog);
    dialog.closeItem();
    if (izdel.isOpen() && !izdel.isEmpty())
        izdel.setRecNo(recNo);
}

void TForm3::Button3Click() {
    Dataset& izdel = dataset();
    if (izdel.isEmpty())
        return;
    book_->deleteProduct(izdel.asInt64(QStringLiteral("id")), forms_.services.clock.today());
}
