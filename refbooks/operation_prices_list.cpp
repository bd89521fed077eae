#include "refbooks/operation_prices_list.h"

#include "app/data_module.h"
#include "app/db_grid.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "refbooks/norms_window.h"
#include "refbooks/operation_prices_dialog.h"
#include "refbooks/operation_prices_steps.h"
#include "reports/excel_export.h"
#include "reports/price_list_export.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

TForm4::TForm4(Forms& forms) : ReferenceList(forms, QStringLiteral("TForm4"), forms.DataModule6->Oper) {
    setWindowTitle(QStringLiteral("Операции"));
    createGridAndSearch();
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    DBGrid1->setColumns({
        GridColumn(QStringLiteral("MARKA"), QStringLiteral("Марка"), 260),
        GridColumn(QStringLiteral("VID"), QStringLiteral("Опреция"), 200),
        GridColumn(QStringLiteral("cena"), QStringLiteral("Цена (min)"), 80, Qt::AlignRight | Qt::AlignVCenter, true,
                   [](const QVariant& v) { return v.isNull() ? QString() : systemNumberText(v.toString()); }),
        GridColumn(QStringLiteral("nmn"), QStringLiteral("Вид"), 130),
        GridColumn(QStringLiteral("norma"), QStringLiteral("Нормы (шт.)"), 80, Qt::AlignRight | Qt::AlignVCenter),
        GridColumn(QStringLiteral("id"), QStringLiteral("id"), -1, left, false),
        GridColumn(QStringLiteral("i_id"), QStringLiteral("i_id"), -1, left, false),
        GridColumn(QStringLiteral("oper_vid"), QStringLiteral("oper_vid"), -1, left, false),
    });
    DBGrid1->setMinimumSize(800, 420);

    Button1 = makeButton(this, "Button1", QStringLiteral("Добавить"));
    Button2 = makeButton(this, "Button2", QStringLiteral("Изменить"));
    Button3 = makeButton(this, "Button3", QStringLiteral("Удалить"));
    Button5 = makeButton(this, "Button5", QStringLiteral("Excel"));
    CheckBox1 = new QCheckBox(QStringLiteral("Цены"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Button4 = makeButton(this, "Button4", QStringLiteral("Выход"));
    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{Button1, Button2, Button3, Button5, CheckBox1, Edit1})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addLayout(bar);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ReferenceList::SearchRule rule;
    rule.field = QStringLiteral("marka");
    rule.match = ReferenceList::SearchRule::Match::Contains;
    rule.trimForEmptyTest = true;
    setupConventions({Button1, Button2, Button3, Button4, false}, rule, true);

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(m, Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connectGuarded(m, Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connectGuarded(m, DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { DBGrid1DblClick(); });
}

void TForm4::Button1Click() {
    TForm10& dialog = *forms_.Form10;
    dialog.Edit1->clear();
    dialog.Edit2->clear();
    dialog.ComboBox1->setCurrentIndex(0);
    dialog.setWindowTitle(QStringLiteral("Заведение новой цены за операцию"));
    dialog.Tag = 1;
    forms_.services.modal.showModal(dialog);
}

void TForm4::editCurrent() {
    Dataset& oper = dataset();
    TForm10& dialog = *forms_.Form10;
    dialog.setWindowTitle(QStringLiteral("Изменение данных о цене за операцию"));
    dialog.Tag = 2;
    dialog.Edit1->setText(oper.asString(QStringLiteral("MARKA")).trimmed());
    dialog.Edit2->setText(oper.asString(QStringLiteral("VID")).trimmed());
    dialog.ComboBox1->setCurrentIndex(oper.asInt(QStringLiteral("NAIMEN")) == 0 ? 0 : 1);
    dialog.ProductId = oper.asInt(QStringLiteral("i_id"));
    dialog.KindId = oper.asInt(QStringLiteral("oper_vid"));
    forms_.services.modal.showModal(dialog);
}

void TForm4::Button3Click() {
    if (!confirmDelete(QStringLiteral("Удалить операцию?")))
        return;
    Dataset& oper = dataset();
    if (oper.isEmpty())
        return;
    deleteOperationPrice(*forms_.DataModule6, oper.asInt(QStringLiteral("id")));
}

void TForm4::DBGrid1DblClick() {
    Dataset& oper = dataset();
    if (CheckBox1->isChecked() && Tag == 0) {
        if (oper.isEmpty())
            return;
        forms_.Form22->openFor(oper.asInt(QStringLiteral("id")));
        return;
    }
    choose();
}

void TForm4::Button5Click() {
    PlainExcel excel(forms_.services.messenger, forms_.services.spreadsheet);
    if (exportPriceList(*forms_.DataModule6, excel) == -1) {
        // the cursor goes back to the default shape
        while (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
    }
}
