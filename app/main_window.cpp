#include "app/main_window.h"

#include "app/connection.h"
#include "app/data_module.h"
#include "app/db_error.h"
#include "app/db_grid.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "app/login_window.h"
#include "refbooks/nomenclature_groups_list.h"
#include "refbooks/operation_kinds_list.h"
#include "refbooks/operation_prices_list.h"
#include "refbooks/products_list.h"
#include "refbooks/workers_list.h"
#include "shift/shift_record.h"
#include "shift/shift_record_dialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

bool isAccepted(const QString& ok) {
    const QString t = ok.trimmed();
    return t == u"ok" || t == u"да";
}

// Background colour and bold font on a button-like control, or back to normal.
void markControl(QWidget* w, bool marked, const QColor& colour) {
    QFont f = w->font();
    f.setBold(marked);
    w->setFont(f);
    w->setAutoFillBackground(marked);
    QPalette p = QApplication::palette(w);
    if (marked) {
        p.setColor(QPalette::Window, colour);
        p.setColor(QPalette::Button, colour);
    }
    w->setPalette(p);
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

TForm1::TForm1(Forms& forms) : forms_(forms) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Табель"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);

    auto makeRadio = [this](const char* name, const QString& caption) {
        auto* r = new QRadioButton(caption, this);
        r->setObjectName(QString::fromLatin1(name));
        return r;
    };
    RadioButton1 = makeRadio("RadioButton1", QStringLiteral("Смена №1"));
    RadioButton2 = makeRadio("RadioButton2", QStringLiteral("Смена №2"));
    RadioButton3 = makeRadio("RadioButton3", QStringLiteral("Смена №3"));
    RadioButton4 = makeRadio("RadioButton4", QStringLiteral("Переработка"));
    RadioButton1->setChecked(true);
    markControl(RadioButton1, true, kGreen);

    DateT = new QDateEdit(this);
    DateT->setObjectName(QStringLiteral("DateT"));
    DateT->setCalendarPopup(true);
    DateT->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateT->installEventFilter(this);
    DateT->calendarWidget()->setObjectName(QStringLiteral("DateTCalendar"));

    CBox1 = new QCheckBox(QStringLiteral("Выходной"), this);
    CBox1->setObjectName(QStringLiteral("CBox1"));

    DBGrid2 = new DBGrid(QStringLiteral("DBGrid2"), this);
    DBGrid2->setMinimumSize(1345, 420);
    const auto centred = Qt::AlignCenter;
    DBGrid2->setColumns({
        {QStringLiteral("fio"), QStringLiteral("Фамилия И.О."), 250},
        {QStringLiteral("marka"), QStringLiteral("Марка изделия"), 260},
        {QStringLiteral("vid"), QStringLiteral("Операция"), 155},
        {QStringLiteral("nmn"), QStringLiteral("Вид"), 157},
        {QStringLiteral("color"), QStringLiteral("Цвет"), -1, centred},
        {QStringLiteral("time"), QStringLiteral("Часы")},
        {QStringLiteral("kol_vo"), QStringLiteral("Кол-во"), 57},
        {QStringLiteral("brak"), QStringLiteral("Брак"), 49},
        {QStringLiteral("summa"), QStringLiteral("Итого (р.)"), 78},
        {QStringLiteral("prize"), QStringLiteral("Премия (%)"), -1, Qt::AlignLeft | Qt::AlignVCenter, false},
        {QStringLiteral("ok"), QStringLiteral("OK"), 37, centred},
        {QStringLiteral("vvod"), QStringLiteral("Заведен"), 72, centred},
    });
    DBGrid2->setCellStyler([](const Dataset& ds, int row, const QString& field) {
        CellStyle st;
        if (field == u"ok") {
            QFont f;
            f.setBold(true);
            st.font = f;
            st.foreground = isAccepted(ds.valueAt(row, field).toString()) ? kGreen : kRed;
        }
        return st;
    });

    auto makeButton = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    Button1 = makeButton("Button1", QStringLiteral("Добавить"));
    Button2 = makeButton("Button2", QStringLiteral("Изменить"));
    Button3 = makeButton("Button3", QStringLiteral("Удалить"));
    Button8 = makeButton("Button8", QStringLiteral("Обновить"));
    Button5 = makeButton("Button5", QStringLiteral("Ср.сд./хоз. работы"));
    Button4 = makeButton("Button4", QStringLiteral("Выход"));

    auto* copyMenu = new QMenu(Button1);
    copyMenu->setObjectName(QStringLiteral("PopupMenu1"));
    N21 = copyMenu->addAction(QStringLiteral("Копия"));
    N21->setObjectName(QStringLiteral("N21"));
    Button1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Button1, &QWidget::customContextMenuRequested, this,
            [this, copyMenu](const QPoint& p) { copyMenu->popup(Button1->mapToGlobal(p)); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(30000);

    buildMenu();

    auto* top = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(RadioButton1), static_cast<QWidget*>(RadioButton2),
                       static_cast<QWidget*>(RadioButton3), static_cast<QWidget*>(RadioButton4)})
        top->addWidget(w);
    top->addSpacing(20);
    top->addWidget(DateT);
    top->addWidget(CBox1);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button3, Button8})
        bottom->addWidget(b);
    bottom->addStretch();
    bottom->addWidget(Button5);
    bottom->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addLayout(top);
    layout->addWidget(DBGrid2);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, RadioButton1, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });
    connectGuarded(m, RadioButton2, &QRadioButton::clicked, this, [this] { RadioButton2Click(); });
    connectGuarded(m, RadioButton3, &QRadioButton::clicked, this, [this] { RadioButton3Click(); });
    connectGuarded(m, RadioButton4, &QRadioButton::clicked, this, [this] { RadioButton4Click(); });
    connectGuarded(m, CBox1, &QCheckBox::toggled, this, [this] { CBox1Click(); });
    // The list is reloaded when the calendar closes with a date (Enter: eventFilter).
    connectGuarded(m, DateT->calendarWidget(), &QCalendarWidget::clicked, this,
                   [this] { QTimer::singleShot(0, this, [this] { guarded(forms_.services.messenger, [this] { DateTChange(); }); }); });
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(m, Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connectGuarded(m, N21, &QAction::triggered, this, [this] { N21Click(); });
    connectGuarded(m, Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connectGuarded(m, Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
    connectGuarded(m, Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connectGuarded(m, DBGrid2, &QAbstractItemView::doubleClicked, this, [this] { DBGrid2DblClick(); });
    connectGuarded(m, Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connectGuarded(m, N5, &QAction::triggered, this, [this] { N5Click(); });
    connectGuarded(m, N1, &QAction::triggered, this, [this] { forms_.Form5->openForBrowse(); });
    connectGuarded(m, N3, &QAction::triggered, this, [this] { forms_.Form3->openForBrowse(); });
    connectGuarded(m, N4, &QAction::triggered, this, [this] { forms_.Form4->openForBrowse(); });
    connectGuarded(m, N6, &QAction::triggered, this, [this] { forms_.Form8->openForBrowse(); });
    connectGuarded(m, N8, &QAction::triggered, this, [this] { forms_.Form26->openForBrowse(); });
}

TForm1::~TForm1() = default;

void TForm1::buildMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto submenu = [](QWidget* parent, const char* name, const QString& caption) {
        auto* menu = new QMenu(caption, parent);
        menu->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* refs = submenu(MainMenu1, "N2", QStringLiteral("Справочники"));
    N2 = refs->menuAction();
    N1 = item(refs, "N1", QStringLiteral("Рабочие"));
    N3 = item(refs, "N3", QStringLiteral("Изделия"));
    N4 = item(refs, "N4", QStringLiteral("Цены"));
    N6 = item(refs, "N6", QStringLiteral("Операции"));
    N8 = item(refs, "N8", QStringLiteral("Ном. группы"));
    QMenu* sheets = submenu(MainMenu1, "N11", QStringLiteral("Табель"));
    N11 = sheets->menuAction();
    N9 = item(sheets, "N9", QStringLiteral("Табель сделка"));
    N13 = item(sheets, "N13", QStringLiteral("Табель по сменам"));
    N14 = item(sheets, "N14", QStringLiteral("Табель хоз. работ"));
    QMenu* avg = submenu(sheets, "N15", QStringLiteral("Табель ср. сдельная"));
    N15 = avg->menuAction();
    sheets->addMenu(avg);
    N18 = item(avg, "N18", QStringLiteral("По людям"));
    N19 = item(avg, "N19", QStringLiteral("По номенклатуре"));
    N17 = item(sheets, "N17", QStringLiteral("Общий табель"));
    QMenu* reports = submenu(MainMenu1, "N7", QStringLiteral("Отчеты"));
    N7 = reports->menuAction();
    N10 = item(reports, "N10", QStringLiteral("Сводные отчеты"));
    MainMenu1->addMenu(refs);
    MainMenu1->addMenu(sheets);
    MainMenu1->addMenu(reports);
    auto topItem = [this](const char* name, const QString& caption) {
        QAction* a = MainMenu1->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    N5 = topItem("N5", QStringLiteral("Выход"));
    N12 = topItem("N12", QStringLiteral("Импорт"));
    N16 = topItem("N16", QStringLiteral("Структура БД"));
    N12->setVisible(false);
    N16->setVisible(false);
}

bool TForm1::FormCreate(const QStringList& positionalArgs) {
    forms_.createDataModule();
    TDataModule6& dm = *forms_.DataModule6;
    updtOK_ = std::make_unique<Command>(dm.ADO_DB, QStringLiteral("updtOK"),
                                        QStringLiteral("update accounts_dep.smena set ok=:ok where id=:id"));
    updtOK = updtOK_.get();
    DBGrid2->setDataset(&dm.Smena1);
    Timer1->start();
    try {
        dm.ADO_DB.close();
        dm.ADO_DB.setConnectionText(buildConnectionText(positionalArgs));
        dm.ADO_DB.open();
        forms_.createLogin();
        return true;
    } catch (const std::exception&) {
        forms_.services.messenger.error(QStringLiteral("Подключение к БД отсутсвует!!!"), QStringLiteral("Ошибка!"));
        forms_.terminate();
        close();
        return false;
    }
}

void TForm1::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        guarded(forms_.services.messenger, [this] { FormActivate(); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    if (watched == DateT && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            guarded(forms_.services.messenger, [this] { DateTChange(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

Dataset& TForm1::smenaQuery(int shift) { return forms_.DataModule6->smena(shift); }

void TForm1::setWeekendBox(bool ticked) {
    const QSignalBlocker block(CBox1);
    CBox1->setChecked(ticked);
    CBox1Click();
}

void TForm1::reloadShiftDatasets() {
    TDataModule6& dm = *forms_.DataModule6;
    for (int s = 1; s <= 4; ++s)
        dm.smena(s).close();
    for (int s = 1; s <= 4; ++s) {
        dm.smena(s).setParam(QStringLiteral("data"), DateT->date());
        dm.smena(s).open();
    }
}

void TForm1::FormActivate() {
    const QDate today = forms_.services.clock.today();
    DateT->setDate(today);
    if (today.dayOfWeek() >= 6)
        setWeekendBox(true);
    TDataModule6& dm = *forms_.DataModule6;
    for (int s = 1; s <= 4; ++s) {
        dm.smena(s).close();
        dm.smena(s).setFiltered(false);
    }
    reloadShiftDatasets();
}

void TForm1::DateTChange() {
    {
        WaitCursor wait;
        reloadShiftDatasets();
        setWeekendBox(DateT->date().dayOfWeek() >= 6);
    }
    DBGrid2->setFocus();
}

void TForm1::shiftChosen(int shift) {
    QRadioButton* buttons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    if (!buttons[shift - 1]->isChecked())
        return;
    DBGrid2->setDataset(&smenaQuery(shift));
    for (int i = 0; i < 4; ++i)
        markControl(buttons[i], i == shift - 1, kGreen);
    CurSmena = shift;
}

void TForm1::RadioButton1Click() { shiftChosen(1); }
void TForm1::RadioButton2Click() { shiftChosen(2); }
void TForm1::RadioButton3Click() { shiftChosen(3); }
void TForm1::RadioButton4Click() { shiftChosen(4); }

void TForm1::CBox1Click() { markControl(CBox1, CBox1->isChecked(), kRed); }

void TForm1::Button8Click() {
    WaitCursor wait;
    TDataModule6& dm = *forms_.DataModule6;
    for (int s = 1; s <= 4; ++s)
        dm.smena(s).close();
    for (int s = 1; s <= 4; ++s)
        dm.smena(s).open();
}

void TForm1::Button3Click() {
    Dataset& q = smenaQuery(CurSmena);
    const QString id = q.isOpen() && !q.isEmpty() ? q.asString(QStringLiteral("id")) : QString();
    if (id.isEmpty())
        return;
    const bool yes =
        forms_.services.messenger.question(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление"));
    if (yes) {
        // The record and its day in the time sheet go together; the day is the record's own
        // shift and date, which the date box may no longer show.
        deleteShiftRecord(*forms_.DataModule6, q.asInt(QStringLiteral("id")), q.asInt(QStringLiteral("w_id")),
                          q.asInt(QStringLiteral("smena")), q.asDate(QStringLiteral("data")));
    }
    q.reopen();
}

void TForm1::Button1Click() { forms_.Form11->openForAdd(); }
void TForm1::Button2Click() { forms_.Form11->openForChange(); }
void TForm1::N21Click() { forms_.Form11->openForCopy(); }

void TForm1::DBGrid2DblClick() {
    if (AccessCode == AccessCodes::kForeman)
        return;
    CurQuery = &smenaQuery(CurSmena);
    if (!CurQuery->isOpen() || CurQuery->isEmpty())
        return;
    const QString mark = isAccepted(CurQuery->asString(QStringLiteral("ok"))) ? QStringLiteral("no")
                                                                              : QStringLiteral("ok");
    updtOK->setParam(QStringLiteral("ok"), mark);
    updtOK->setParam(QStringLiteral("id"), CurQuery->asInt(QStringLiteral("id")));
    updtOK->execute();
    const int recNo = CurQuery->recNo();
    CurQuery->reopen();
    CurQuery->setRecNo(recNo);
}

void TForm1::Timer1Timer() {
    if (forms_.Form23 && forms_.DataModule6->ADO_DB.isOpen())
        forms_.Form23->CheckVersion();
}

void TForm1::Button4Click() { close(); }
void TForm1::N5Click() { close(); }

void TForm1::applyRole(Role role) {
    auto disable = [](std::initializer_list<QWidget*> ws) {
        for (QWidget* w : ws)
            w->setEnabled(false);
    };
    switch (role) {
    case Role::Planner:
        disable({Button1, Button2, Button3, RadioButton1, RadioButton2, RadioButton3, RadioButton4, CBox1, Button8,
                 DBGrid2, DateT});
        N2->setEnabled(false);
        N11->setEnabled(false);
        break;
    case Role::Foreman:
        disable({Button2, Button3});
        N2->setEnabled(false);
        N11->setEnabled(false);
        break;
    case Role::Warehouse:
        disable({Button1, Button2, Button3});
        N2->setEnabled(false);
        N11->setEnabled(false);
        break;
    case Role::Administrator:
    case Role::None: break;
    }
}
