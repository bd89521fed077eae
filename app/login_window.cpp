#include "app/login_window.h"

#include "app/access.h"
#include "app/build_check.h"
#include "app/data_module.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "app/main_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TForm23::TForm23(Forms& forms) : forms_(forms) {
    setObjectName(QStringLiteral("TForm23"));
    setWindowTitle(QStringLiteral("Авторизация"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    Edit1->setMinimumWidth(220);
    Edit1->setFocus();

    Button1 = new QPushButton(QStringLiteral("Вход"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Код доступа:"), this);
    layout->addWidget(label);
    layout->addWidget(Edit1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(m, Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

bool TForm23::event(QEvent* e) {
    // The first activation runs the check. Where no window manager activates the window, its
    // first showing stands in for it.
    if (e->type() == QEvent::Show && !activated_)
        QTimer::singleShot(0, this, [this] {
            if (!activated_) {
                activated_ = true;
                guarded(forms_.services.messenger, [this] { FormActivate(); });
            }
        });
    if (e->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        guarded(forms_.services.messenger, [this] { FormActivate(); });
    }
    return QDialog::event(e);
}

void TForm23::reject() { Button2Click(); }

void TForm23::FormActivate() {
    activated_ = true;
    CheckVersion();
    const BuildStamp b = forms_.services.buildStamp();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)").arg(b.date).arg(b.time));
}

void TForm23::CheckVersion() {
    const BuildStamp b = forms_.services.buildStamp();
    TForm1& main = *forms_.Form1;
    main.BuildDate = b.date;
    main.BuildTime = b.time;
    if (checkBuildStamp(*forms_.DataModule6, b) == StampVerdict::DatabaseNewer) {
        Timer1->start();
        forms_.services.messenger.error(
            QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."),
            QStringLiteral("Ошибка"));
        forms_.terminate();
    }
}

void TForm23::Timer1Timer() { forms_.terminate(); }

void TForm23::Button1Click() {
    const QString code = Edit1->text().trimmed();
    TForm1& main = *forms_.Form1;
    TDataModule6& dm = *forms_.DataModule6;
    main.CurSmena = 1;
    main.AccessCode = code.toLatin1();
    const Role role = roleForCode(code);
    main.N11->setEnabled(role == Role::Administrator);
    auto hideRecords = [&dm] {
        for (int s = 1; s <= 4; ++s)
            dm.smena(s).setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    };
    if (role == Role::None) {
        hideRecords();
        forms_.services.messenger.error(QStringLiteral("Введены неверные данные."), QStringLiteral("Ошибка"));
        return;
    }
    main.applyRole(role);
    hideRecords();
    showMainWindow();
}

void TForm23::showMainWindow() {
    hide();
    forms_.services.modal.showModal(*forms_.Form1);
    close();
    // Closing the login window ends the program.
    forms_.terminate();
}

void TForm23::Button2Click() {
    QDialog::reject();
    forms_.terminate();
}
