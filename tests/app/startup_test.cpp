// Start-up, login with roles, and the build-stamp check.
#include "app/data_module.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "tests/support/test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/db_grid.h"

TEST(Startup, ConnectionFailureShowsOneMessageAndEnds) {
    AppHarness h(false);
    EXPECT_FALSE(h.connected);
    ASSERT_EQ(h.messenger.messages.size(), 1u);
    EXPECT_EQ(h.messenger.messages[0].text, "Подключение к БД отсутсвует!!!");
    EXPECT_EQ(h.messenger.messages[0].title, "Ошибка!");
    EXPECT_EQ(h.messenger.messages[0].kind, Message::Error);
    EXPECT_GE(h.terminateCalls, 1);
    EXPECT_EQ(h.forms->Form23, nullptr); // the login is never created, never shown
    EXPECT_TRUE(h.modal.shown.isEmpty());
}

TEST(Startup, CreationOrderAndInitialState) {
    AppHarness h;
    ASSERT_TRUE(h.connected);
    ASSERT_GE(h.forms->creationOrder.size(), 3);
    EXPECT_EQ(h.forms->creationOrder.mid(0, 3), (QStringList{"TForm1", "DataModule6", "TForm23"}));
    TDataModule6& dm = *h.forms->DataModule6;
    EXPECT_EQ(dm.Smena1.param("ok").toString(), "ok");
    EXPECT_EQ(dm.Smena4.param("ok").toString(), "ta");
    EXPECT_EQ(dm.Smena2.filter(), "i_id<>7777");
    EXPECT_FALSE(dm.Smena2.filtered());
    EXPECT_TRUE(dm.Delim.isEmpty());
}

class LoginTest : public ::testing::Test {
protected:
    AppHarness h;
    TForm23& login() { return *h.forms->Form23; }
    TForm1& main() { return *h.forms->Form1; }
    void logIn(const QString& code) {
        login().Edit1->setText(code);
        h.modal.actions.push_back([](QDialog&) { return QDialog::Rejected; });
        login().Button1->click();
    }
};

TEST_F(LoginTest, ActivationChecksTheStampAndSetsTheCaption) {
    login().FormActivate();
    EXPECT_EQ(login().windowTitle(), "Авторизация (build: 20240327.51584)");
    EXPECT_EQ(main().BuildDate, 20240327);
    EXPECT_EQ(main().BuildTime, 51584);
    EXPECT_EQ(h.forms->DataModule6->Delim, ".");
    EXPECT_EQ(h.db.scalar("select d from accounts_dep.ver").toInt(), 20240327);
    EXPECT_EQ(h.db.scalar("select t from accounts_dep.ver").toInt(), 51584);
    EXPECT_EQ(login().Edit1->echoMode(), QLineEdit::Password);
}

TEST_F(LoginTest, BuildStamp) {
    struct Case {
        int dbDate, dbTime;
        bool ends;
        int afterDate, afterTime;
    } cases[] = {
        {20240326, 90000, false, 20240327, 51584}, // older database stamp is replaced
        {20240327, 51000, false, 20240327, 51584},
        {20240327, 51584, false, 20240327, 51584}, // equal changes nothing
        {20240327, 51585, true, 20240327, 51585},  // newer: the program ends
        {20250101, 0, true, 20250101, 0},
    };
    for (const Case& c : cases) {
        h.db.exec("update accounts_dep.ver set d=:d, t=:t", {{"d", c.dbDate}, {"t", c.dbTime}});
        h.messenger.clear();
        h.terminateCalls = 0;
        login().Timer1->stop();
        login().CheckVersion();
        EXPECT_EQ(h.terminateCalls > 0, c.ends) << c.dbDate << "." << c.dbTime;
        EXPECT_EQ(login().Timer1->isActive(), c.ends);
        if (c.ends) {
            ASSERT_EQ(h.messenger.messages.size(), 1u);
            EXPECT_EQ(h.messenger.messages[0].text,
                      "Версия программы не соответсвует БД! Запустите программу через 5 мин.");
            EXPECT_EQ(h.messenger.messages[0].title, "Ошибка");
            EXPECT_EQ(login().Timer1->interval(), 5000);
        } else {
            EXPECT_TRUE(h.messenger.messages.empty());
        }
        EXPECT_EQ(h.db.scalar("select d from accounts_dep.ver").toInt(), c.afterDate);
        EXPECT_EQ(h.db.scalar("select t from accounts_dep.ver").toInt(), c.afterTime);
    }
}

TEST_F(LoginTest, MainWindowTimerRunsTheCheckEveryThirtySeconds) {
    EXPECT_TRUE(main().Timer1->isActive());
    EXPECT_EQ(main().Timer1->interval(), 30000);
    h.db.exec("update accounts_dep.ver set d=20990101, t=0");
    main().Timer1Timer();
    EXPECT_GE(h.terminateCalls, 1);
}

TEST_F(LoginTest, WrongCodeKeepsTheWindowOpen) {
    for (const char* code : {"Vindoku", "wrong", ""}) {
        h.messenger.clear();
        login().Edit1->setText(QString::fromUtf8(code));
        login().Button1->click();
        ASSERT_EQ(h.messenger.messages.size(), 1u) << code;
        EXPECT_EQ(h.messenger.messages[0].text, "Введены неверные данные.");
        EXPECT_EQ(h.messenger.messages[0].title, "Ошибка");
        EXPECT_EQ(login().Edit1->text(), QString::fromUtf8(code));
        EXPECT_FALSE(main().N11->isEnabled());
    }
    EXPECT_TRUE(h.modal.shown.isEmpty());
    EXPECT_EQ(h.forms->DataModule6->Smena1.param("ok").toString(), "ta");
}

TEST_F(LoginTest, AdministratorShowsTheMainWindowAndTheProgramEndsAfterIt) {
    logIn(" 63527140 ");
    EXPECT_EQ(h.modal.shown, QStringList{"TForm1"});
    EXPECT_EQ(main().AccessCode, "63527140");
    EXPECT_EQ(main().CurSmena, 1);
    EXPECT_TRUE(main().N11->isEnabled());
    EXPECT_TRUE(main().N2->isEnabled());
    EXPECT_TRUE(main().Button3->isEnabled());
    EXPECT_GE(h.terminateCalls, 1);
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(h.forms->DataModule6->smena(s).param("ok").toString(), "ta");
}

TEST(LoginRoles, EachRoleDisablesItsControls) {
    struct Case {
        const char* code;
        QStringList disabled;
    } cases[] = {
        {"plutar",
         {"Button1", "Button2", "Button3", "RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4", "CBox1",
          "Button8", "DBGrid2", "DateT", "N2", "N11"}},
        {"vindoku", {"Button2", "Button3", "N2", "N11"}},
        {"tromb", {"Button1", "Button2", "Button3", "N2", "N11"}},
        {"4096", {}},
    };
    const QStringList all{"Button1", "Button2", "Button3", "Button4", "Button5", "Button8", "RadioButton1",
                          "RadioButton2", "RadioButton3", "RadioButton4", "CBox1", "DBGrid2", "DateT", "N2", "N11",
                          "N7", "N10", "N5"};
    for (const Case& c : cases) {
        AppHarness h;
        h.forms->Form23->Edit1->setText(QString::fromUtf8(c.code));
        h.forms->Form23->Button1Click();
        ASSERT_EQ(h.modal.shown, QStringList{"TForm1"}) << c.code;
        TForm1& m = *h.forms->Form1;
        for (const QString& name : all) {
            bool enabled;
            if (auto* a = m.findChild<QAction*>(name))
                enabled = a->isEnabled();
            else if (auto* w = m.findChild<QWidget*>(name))
                enabled = w->isEnabled();
            else {
                ADD_FAILURE() << "no control " << name.toStdString();
                continue;
            }
            EXPECT_EQ(enabled, !c.disabled.contains(name)) << c.code << " " << name.toStdString();
        }
    }
}

TEST(MainMenu, TreeCaptionsAndHiddenItems) {
    AppHarness h;
    TForm1& m = *h.forms->Form1;
    auto caption = [&](const char* name) {
        auto* a = m.findChild<QAction*>(QString::fromLatin1(name));
        return a ? a->text() : QStringLiteral("<missing>");
    };
    const std::pair<const char*, const char*> items[] = {
        {"N2", "Справочники"}, {"N1", "Рабочие"}, {"N3", "Изделия"}, {"N4", "Цены"},
        {"N6", "Операции"}, {"N8", "Ном. группы"}, {"N11", "Табель"}, {"N9", "Табель сделка"},
        {"N13", "Табель по сменам"}, {"N14", "Табель хоз. работ"}, {"N15", "Табель ср. сдельная"},
        {"N18", "По людям"}, {"N19", "По номенклатуре"}, {"N17", "Общий табель"}, {"N7", "Отчеты"},
        {"N10", "Сводные отчеты"}, {"N5", "Выход"}, {"N12", "Импорт"}, {"N16", "Структура БД"},
        {"N21", "Копия"},
    };
    for (const auto& [name, text] : items)
        EXPECT_EQ(caption(name), QString::fromUtf8(text)) << name;
    EXPECT_FALSE(m.N12->isVisible());
    EXPECT_FALSE(m.N16->isVisible());
    EXPECT_TRUE(m.N5->isVisible());
    EXPECT_EQ(m.N1->parent(), static_cast<QObject*>(m.N2->menu()));
    EXPECT_EQ(m.N18->parent(), static_cast<QObject*>(m.N15->menu()));
    EXPECT_EQ(m.windowTitle(), "Табель");
    // "Выход" closes the main window, and with it the program
    h.forms->Form23->Edit1->setText("63527140");
    h.modal.actions.push_back([&](QDialog& w) {
        m.N5->trigger();
        EXPECT_FALSE(w.isVisible());
        return 0;
    });
    h.forms->Form23->Button1Click();
    EXPECT_GE(h.terminateCalls, 1);
}
