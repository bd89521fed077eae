#include "shift/shift_record_dialog.h"

#include "app/data_module.h"
#include "app/dataset.h"
#include "app/decimal.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "app/main_window.h"
#include "refbooks/reference_list.h"
#include "shift/shift_record.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>
#include <stdexcept>

namespace {
const QString kFillAll = QStringLiteral("Все поля должны быть заполнены!");
const QString kDuplicate = QStringLiteral("Позиция с такими параметрами уже заведена!");
const QString kErrorTitle = QStringLiteral("Ошибка");

// The reference lists are created by the registry and share the list conventions; the dialog
// reaches a list through them, so it needs nothing of the list but its window name.
ReferenceList* referenceList(const void* registered, const QString& name) {
    if (registered == nullptr)
        return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            if (auto* list = qobject_cast<ReferenceList*>(w))
                return list;
    return nullptr;
}

QString shown(const Decimal& value) { return localeGeneral(value.rounded(4)); }
} // namespace

TForm11::TForm11(Forms& forms) : forms_(forms) {
    setObjectName(QStringLiteral("TForm11"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    GroupBox1 = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(GroupBox1);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    auto label = [this](const char* name, const QString& caption) {
        auto* l = new QLabel(caption, GroupBox1);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto button = [this](QWidget* parent, const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };

    Edit1 = edit("Edit1");
    Edit1->setReadOnly(true);
    Edit1->setMinimumWidth(320);
    Button3 = button(GroupBox1, "Button3", QStringLiteral("..."));
    Edit2 = edit("Edit2");
    Edit2->setReadOnly(true);
    Edit2->setMinimumWidth(320);
    Button4 = button(GroupBox1, "Button4", QStringLiteral("..."));
    Edit3 = edit("Edit3");
    Edit6 = edit("Edit6");
    Edit6->setText(QStringLiteral("0"));
    Edit5 = edit("Edit5");
    DTimeP = new QDateEdit(GroupBox1);
    DTimeP->setObjectName(QStringLiteral("DTimeP"));
    DTimeP->setCalendarPopup(true);
    DTimeP->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    Edit4 = edit("Edit4");
    Edit4->setText(QStringLiteral("0"));
    Edit8 = edit("Edit8");
    Edit7 = edit("Edit7");
    Edit9 = edit("Edit9");
    for (QLineEdit* e : {Edit8, Edit7, Edit9})
        e->setReadOnly(true);
    // Quantity, colour, rejects and hours take digits only: any other character, typed or
    // pasted, is refused.
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (QLineEdit* e : {Edit3, Edit5, Edit4, Edit6})
        e->setValidator(digits);

    Label6 = label("Label6", QStringLiteral("Цвет"));
    auto* grid = new QGridLayout(GroupBox1);
    int row = 0;
    grid->addWidget(label("Label1", QStringLiteral("ФИО")), row, 0);
    grid->addWidget(Edit1, row, 1, 1, 3);
    grid->addWidget(Button3, row++, 4);
    grid->addWidget(label("Label2", QStringLiteral("Операция")), row, 0);
    grid->addWidget(Edit2, row, 1, 1, 3);
    grid->addWidget(Button4, row++, 4);
    grid->addWidget(label("Label3", QStringLiteral("Кол-во")), row, 0);
    grid->addWidget(Edit3, row, 1);
    grid->addWidget(label("Label5", QStringLiteral("Время")), row, 2);
    grid->addWidget(Edit6, row++, 3);
    grid->addWidget(Label6, row, 0);
    grid->addWidget(Edit5, row, 1);
    grid->addWidget(label("Label4", QStringLiteral("Дата")), row, 2);
    grid->addWidget(DTimeP, row++, 3);
    grid->addWidget(label("Label7", QStringLiteral("Брак")), row, 0);
    grid->addWidget(Edit4, row++, 1);
    grid->addWidget(label("Label9", QStringLiteral("Цена база")), row, 0);
    grid->addWidget(Edit8, row, 1);
    grid->addWidget(label("Label8", QStringLiteral("Цена итог")), row, 2);
    grid->addWidget(Edit7, row++, 3);
    grid->addWidget(label("Label10", QStringLiteral("Сумма")), row, 2);
    grid->addWidget(Edit9, row++, 3);

    Button1 = button(this, "Button1", QStringLiteral("Запись"));
    Button2 = button(this, "Button2", QStringLiteral("Отмена"));
    Button1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    smenaIU_ = std::make_unique<Command>(forms_.DataModule6->ADO_DB, QStringLiteral("SmenaIU"));
    SmenaIU = smenaIU_.get();

    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit6})
        e->installEventFilter(this);

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connectGuarded(m, Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connectGuarded(m, Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
}

TForm11::~TForm11() = default;

QString TForm11::kindText(int naimen) {
    return naimen == 0 ? QStringLiteral("Готовая продукция") : QStringLiteral("Заготовки");
}

bool TForm11::isPainting(const QString& text) { return text.toUpper().contains(QStringLiteral("КРАСКА")); }

void TForm11::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        guarded(forms_.services.messenger, [this] { FormActivate(); });
}

bool TForm11::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress) {
        if (watched == Edit1)
            guarded(forms_.services.messenger, [this] { Button3Click(); });
        else if (watched == Edit2)
            guarded(forms_.services.messenger, [this] { Button4Click(); });
    } else if (e->type() == QEvent::FocusOut && (watched == Edit3 || watched == Edit6)) {
        guarded(forms_.services.messenger, [this] { Edit6Exit(); });
    }
    return QDialog::eventFilter(watched, e);
}

void TForm11::FormActivate() { Button3->setFocus(); }

void TForm11::enableColour(bool painting) {
    if (!painting)
        Edit5->clear();
    Edit5->setEnabled(painting);
    Label6->setEnabled(painting);
}

void TForm11::openForAdd() {
    TForm1& main = *forms_.Form1;
    main.CurQuery = &main.smenaQuery(main.CurSmena);
    DTimeP->setDate(main.DateT->date());
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit5})
        e->clear();
    Edit4->setText(QStringLiteral("0"));
    Edit6->setText(QStringLiteral("0"));
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));
    Tag = 1;
    forms_.services.modal.showModal(*this);
}

void TForm11::prepareChange() {
    TForm1& main = *forms_.Form1;
    Dataset& q = *main.CurQuery;
    setWindowTitle(QStringLiteral("Изменение данных о позиции (11)"));
    if (Tag != 3)
        Tag = 2;
    Price = q.asDouble(QStringLiteral("cena"));
    Edit7->setText(shown(Decimal::fromDouble(Price)));
    const auto quantity = Decimal::parse(q.asString(QStringLiteral("kol_vo")));
    Edit9->setText(shown(quantity.value_or(Decimal()) * Decimal::fromDouble(Price)));
    DTimeP->setDate(q.asDate(QStringLiteral("data")));
    Edit1->setText(q.asString(QStringLiteral("fio")).trimmed());
    const QString vid = q.asString(QStringLiteral("vid")).trimmed();
    Edit2->setText(q.asString(QStringLiteral("marka")).trimmed() + QStringLiteral("; ") + vid + QStringLiteral("; ") +
                   kindText(q.asInt(QStringLiteral("naimen"))));
    Edit3->setText(q.asString(QStringLiteral("kol_vo")).trimmed());
    Edit4->setText(q.asString(QStringLiteral("brak")).trimmed());
    WorkerId = q.asInt(QStringLiteral("w_id"));
    ProductId = q.asInt(QStringLiteral("i_id"));
    OperId = q.asInt(QStringLiteral("o_id"));
    Edit6->setText(QString::number(q.asInt(QStringLiteral("time"))));
    // The change looks at the operation kind alone, not at the whole description.
    const bool painting = isPainting(vid);
    enableColour(painting);
    if (painting)
        Edit5->setText(q.asString(QStringLiteral("color")).trimmed());
}

void TForm11::openForChange() {
    TForm1& main = *forms_.Form1;
    main.CurQuery = &main.smenaQuery(main.CurSmena);
    Dataset& q = *main.CurQuery;
    const int recNo = q.recNo();
    if (!q.isOpen() || q.isEmpty())
        return;
    prepareChange();
    forms_.services.modal.showModal(*this);
    q.setRecNo(recNo);
}

void TForm11::openForCopy() {
    Tag = 3;
    openForChange();
    Tag = 0;
}

void TForm11::Button3Click() {
    ReferenceList* list = referenceList(forms_.Form5, QStringLiteral("TForm5"));
    if (list == nullptr)
        return;
    ReferenceList::PickOptions options;
    options.after.closeDataset = true;
    list->openForPick(1, [this](const Dataset& row) {
        Edit1->setText(row.asString(QStringLiteral("fio")).trimmed());
        WorkerId = row.asInt(QStringLiteral("id"));
    }, options);
}

void TForm11::Button4Click() {
    ReferenceList* list = referenceList(forms_.Form4, QStringLiteral("TForm4"));
    TForm1& main = *forms_.Form1;
    if (list != nullptr) {
        ReferenceList::PickOptions options;
        options.position = [this, &main](Dataset& oper) {
            if (Tag == 1)
                oper.first();
            else if (main.CurQuery != nullptr && main.CurQuery->isOpen() && !main.CurQuery->isEmpty())
                oper.locate(QStringLiteral("id"), main.CurQuery->asInt(QStringLiteral("o_id")));
        };
        options.after.chooseNotDefault = true;
        options.after.hideSearch = true;
        options.after.filterOff = true;
        list->openForPick(1, [this, &main](const Dataset& row) {
            ProductId = row.asInt(QStringLiteral("i_id"));
            OperId = row.asInt(QStringLiteral("id"));
            Price = shiftRecordPrice(row.asDouble(QStringLiteral("cena")), main.CBox1->isChecked(), main.CurSmena);
            Dataset& control = forms_.DataModule6->Control;
            control.setSql(QStringLiteral("select marka from accounts_dep.izdel where id=") + QString::number(ProductId));
            control.open();
            const QString marka = control.isEmpty() ? QString() : control.asString(QStringLiteral("marka")).trimmed();
            control.close();
            Edit2->setText(marka + QStringLiteral("; ") + row.asString(QStringLiteral("VID")).trimmed() +
                           QStringLiteral("; ") + kindText(row.asInt(QStringLiteral("NAIMEN"))));
        }, options);
    }
    enableColour(isPainting(Edit2->text()));
    Edit6Exit();
}

void TForm11::Edit6Exit() {
    if (Edit6->text().isEmpty())
        Edit6->setText(QStringLiteral("0"));
    if (Edit3->text().isEmpty())
        Edit3->setText(QStringLiteral("0"));
    const Decimal price = Decimal::fromDouble(Price);
    Edit7->setText(shown(price));
    Dataset& oper = forms_.DataModule6->Oper;
    Decimal base;
    if (oper.isOpen() && !oper.isEmpty())
        base = Decimal::parse(oper.asDecimal(QStringLiteral("cena"))).value_or(Decimal());
    Edit8->setText(shown(base));
    Edit9->setText(shown(Decimal::parse(Edit3->text()).value_or(Decimal()) * price));
}

void TForm11::Button1Click() {
    Messenger& messenger = forms_.services.messenger;
    const bool painting = isPainting(Edit2->text());
    if (Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty() || Edit3->text().trimmed().isEmpty() ||
        Edit4->text().trimmed().isEmpty() || (painting && Edit5->text().trimmed().isEmpty()) ||
        Edit6->text().trimmed().isEmpty()) {
        messenger.error(kFillAll, kErrorTitle);
        return;
    }
    int colour = 0;
    const QString colourText = Edit5->text().trimmed();
    if (!colourText.isEmpty()) {
        bool ok = false;
        colour = colourText.toInt(&ok);
        if (!ok)
            throw std::invalid_argument(QStringLiteral("«%1» — слишком большое число для цвета").arg(colourText).toStdString());
    }
    TForm1& main = *forms_.Form1;
    TDataModule6& dm = *forms_.DataModule6;
    Dataset& shiftLog = dm.smena(main.CurSmena);

    ShiftRecord record;
    record.workerId = WorkerId;
    record.productId = ProductId;
    record.operId = OperId;
    record.price = Price;
    record.quantity = Edit3->text().trimmed();
    record.rejects = Edit4->text().trimmed();
    record.hours = Edit6->text().trimmed();
    record.colour = colour;
    record.shift = main.CurSmena;
    record.date = DTimeP->date();
    const bool change = Tag != 1 && Tag != 3;
    const int changedId = change ? shiftLog.asInt(QStringLiteral("id")) : 0;
    if (change && changedId == 0)
        throw std::runtime_error(QStringLiteral("Нет записи для изменения").toStdString());

    if (saveShiftRecord(dm, *SmenaIU, record, changedId, forms_.services.clock.today()) == SaveOutcome::Duplicate) {
        messenger.error(kDuplicate, kErrorTitle);
        return;
    }
    const int recNo = shiftLog.recNo();
    shiftLog.reopen();
    if (!shiftLog.isEmpty() && recNo >= 1)
        shiftLog.setRecNo(recNo);
    dm.H_Tabel_1.close();
    dm.H_Tabel_2.close();
    dm.H_Tabel_3.close();
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9})
        e->clear();
    accept();
}
