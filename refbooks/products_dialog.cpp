#include "refbooks/products_dialog.h"

#include "refbooks/dialog_layout.h"

#include "app/data_module.h"
#include "app/forms.h"
#include "app/gui_services.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TForm7::TForm7(Forms& forms)
    : item(forms.DataModule6->ADO_DB, QStringLiteral("item"),
           QStringLiteral("select * from cmn_classifier.item order by s_caption")),
      forms_(forms), book_(std::make_unique<ProductsBook>(*forms.DataModule6)) {
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Изделие"));
    item.setFilter(QStringLiteral("id_level=2 and b_excluded=0"));
    item.setFiltered(true);

    auto* frame = new QGroupBox(QStringLiteral("Данные об изделии"), this);
    frame->setObjectName(QStringLiteral("GroupBox1"));
    Edit1 = new QLineEdit(frame);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(320);
    Edit2 = new QLineEdit(frame);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->installEventFilter(this);
    cb_item = new QComboBox(frame);
    cb_item->setObjectName(QStringLiteral("cb_item"));
    auto* form = new QFormLayout(frame);
    form->addRow(QStringLiteral("Марка"), Edit1);
    form->addRow(QStringLiteral("Расценка"), Edit2);
    form->addRow(QString(), cb_item);

    const DialogButtons buttons = layOutEditDialog(*this, frame, QStringLiteral("Button2"), QStringLiteral("Отмена"));
    Button1 = buttons.save;
    Button2 = buttons.leave;

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(cb_item, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!filling_)
            key_ = index < 0 ? 0 : cb_item->itemData(index).toInt();
    });
}

TForm7::~TForm7() = default;

void TForm7::openItem() {
    item.open();
    fillLookup();
}

void TForm7::closeItem() {
    item.close();
    fillLookup();
}

void TForm7::setKeyValue(int key) {
    key_ = key;
    fillLookup();
}

void TForm7::fillLookup() {
    filling_ = true;
    cb_item->clear();
    int chosen = -1;
    if (item.isOpen()) {
        for (int row = 0; row < item.recordCount(); ++row) {
            const int id = item.valueAt(row, QStringLiteral("id")).toInt();
            cb_item->addItem(item.valueAt(row, QStringLiteral("s_caption")).toString(), id);
            if (id == key_)
                chosen = row;
        }
    }
    cb_item->setCurrentIndex(chosen);
    filling_ = false;
}

void TForm7::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        guarded(forms_.services.messenger, [this] { FormActivate(); });
}

void TForm7::FormActivate() { Edit1->setFocus(); }

bool TForm7::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Edit2 && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        const QString typed = key->text();
        // Keys without a printable character (arrows, Delete, Enter, Esc) and Backspace work as
        // usual.
        if (!typed.isEmpty() && typed.at(0).isPrint() && !(key->modifiers() & Qt::ControlModifier)) {
            const QString passed = productNumberKey(typed);
            if (passed != typed) {
                if (!passed.isEmpty())
                    Edit2->insert(passed);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TForm7::Button1Click() {
    TDataModule6& dm = *forms_.DataModule6;
    const qint64 current = Tag == 1 || dm.Izdel.isEmpty() ? 0 : dm.Izdel.asInt64(QStringLiteral("id"));
    if (book_->save(Tag, Edit1->text(), Edit2->text(), key_, current))
        accept();
}
