// The main window's shift log: what is listed, date and shift switching, day-off box,
// acceptance by double-click, delete after the question.
#include "app/data_module.h"
#include "app/db_grid.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "tests/support/test_support.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// A small plant: two workers, one product with one operation price.
struct Plant {
    int worker1, worker2, product = 501, oper, kind;
    explicit Plant(TestDb& db) {
        worker1 = db.scalar("insert into cmn_contractor.person (s_caption) values ('Иванов И.И.') returning id").toInt();
        worker2 = db.scalar("insert into cmn_contractor.person (s_caption) values ('Петров П.П.') returning id").toInt();
        db.exec("insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, id_msm_bs, massa) values (501, 'СТ-120', 6, 1)");
        kind = db.scalar("insert into accounts_dep.vid_oper (vid) values ('Сборка') returning id").toInt();
        oper = db.scalar("insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (:k, 0, 501, 0) returning id",
                         {{"k", kind}})
                   .toInt();
    }
    int record(TestDb& db, int worker, const QDate& day, int shift, const QVariant& ok, int hours = 4) {
        return db
            .scalar("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, "
                    "ok, vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values (:d, :s, "
                    ":w, 501, :o, 2.5, 10, 1, 0, :t, :ok, :d, 0, 0, 0, 0, 0, 0) returning id",
                    {{"d", day}, {"s", shift}, {"w", worker}, {"o", oper}, {"t", hours}, {"ok", ok}})
            .toInt();
    }
};

QStringList column(const DBGrid& grid, const QString& field) {
    QStringList out;
    for (int r = 0; r < grid.model()->rowCount(); ++r)
        out << grid.cellText(r, field);
    return out;
}
} // namespace

class MainWindowTest : public ::testing::Test {
protected:
    AppHarness h;
    Plant plant{h.db};
    const QDate day{2024, 3, 5}; // a Tuesday
    TForm1& w() { return *h.forms->Form1; }

    // Logs in with the code and keeps the main window "shown" while the test acts on it.
    void showMain(const QString& code, const std::function<void()>& act) {
        h.forms->Form23->Edit1->setText(code);
        h.modal.actions.push_back([&act](QDialog&) {
            act();
            return QDialog::Rejected;
        });
        h.forms->Form23->Button1Click();
    }
};

TEST_F(MainWindowTest, ShiftLogListsMarkedRecordsOfTheDayAndShift) {
    plant.record(h.db, plant.worker1, day, 1, "no");
    plant.record(h.db, plant.worker2, day, 1, "ok");
    plant.record(h.db, plant.worker1, day, 1, "ta");
    plant.record(h.db, plant.worker1, day, 1, QVariant()); // no mark: never listed
    plant.record(h.db, plant.worker1, day, 2, "да");
    plant.record(h.db, plant.worker1, day.addDays(1), 1, "no");
    // an old record that carries the worker's code instead of the id
    h.db.exec("update cmn_contractor.person set s_code='900' where id=:id", {{"id", plant.worker2}});
    plant.record(h.db, 900, day, 3, "no", 2);
    showMain("63527140", [&] {
        EXPECT_EQ(w().DateT->date(), day);
        EXPECT_EQ(column(*w().DBGrid2, "fio"), (QStringList{"Иванов И.И.", "Петров П.П."}));
        EXPECT_EQ(column(*w().DBGrid2, "ok"), (QStringList{"no", "ok"}));
        EXPECT_EQ(column(*w().DBGrid2, "summa"), (QStringList{"22.50", "22.50"}));
        EXPECT_EQ(column(*w().DBGrid2, "marka"), (QStringList{"СТ-120", "СТ-120"}));
        EXPECT_EQ(column(*w().DBGrid2, "nmn"), (QStringList{"Готовая продукция", "Готовая продукция"}));
        w().RadioButton2->click();
        EXPECT_EQ(w().CurSmena, 2);
        EXPECT_EQ(column(*w().DBGrid2, "ok"), QStringList{"да"});
        w().RadioButton3->click();
        EXPECT_EQ(column(*w().DBGrid2, "fio"), QStringList{"Петров П.П."});
        EXPECT_TRUE(w().RadioButton3->font().bold());
        EXPECT_FALSE(w().RadioButton1->font().bold());
        w().RadioButton4->click();
        EXPECT_EQ(w().DBGrid2->model()->rowCount(), 0);
        // the next day through the picker and Enter
        w().DateT->setDate(day.addDays(1));
        EXPECT_EQ(h.forms->DataModule6->Smena1.recordCount(), 2); // not reloaded by typing alone
        QTest::keyClick(w().DateT, Qt::Key_Return);
        w().RadioButton1->click();
        EXPECT_EQ(column(*w().DBGrid2, "fio"), QStringList{"Иванов И.И."});
    });
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join('\n').toStdString();
}

TEST_F(MainWindowTest, GridColumnsAndOkColours) {
    plant.record(h.db, plant.worker1, day, 1, "no");
    plant.record(h.db, plant.worker2, day, 1, "ok");
    showMain("63527140", [&] {
        auto* model = w().DBGrid2->model();
        QStringList titles;
        for (int c = 0; c < model->columnCount(); ++c)
            titles << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        EXPECT_EQ(titles, (QStringList{"Фамилия И.О.", "Марка изделия", "Операция", "Вид", "Цвет", "Часы", "Кол-во",
                                       "Брак", "Итого (р.)", "Премия (%)", "OK", "Заведен"}));
        EXPECT_TRUE(w().DBGrid2->isColumnHidden(9));
        EXPECT_EQ(w().DBGrid2->columnWidth(0), 250);
        EXPECT_EQ(w().DBGrid2->columnWidth(10), 37);
        const QModelIndex no = model->index(0, 10), ok = model->index(1, 10);
        EXPECT_EQ(model->data(no, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
        EXPECT_EQ(model->data(ok, Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));
        EXPECT_TRUE(model->data(ok, Qt::FontRole).value<QFont>().bold());
        EXPECT_FALSE(model->data(model->index(0, 0), Qt::ForegroundRole).isValid());
        EXPECT_EQ(w().DBGrid2->cellText(0, "vvod"), "05.03.2024");
    });
}

TEST_F(MainWindowTest, DayOffBoxFollowsWeekends) {
    h.clock.date = QDate(2024, 3, 9); // Saturday
    showMain("63527140", [&] {
        EXPECT_TRUE(w().CBox1->isChecked());
        EXPECT_TRUE(w().CBox1->font().bold());
        EXPECT_EQ(w().CBox1->palette().color(QPalette::Window), QColor(255, 0, 0));
        w().DateT->setDate(QDate(2024, 3, 11)); // Monday
        w().DateTChange();
        EXPECT_FALSE(w().CBox1->isChecked());
        EXPECT_FALSE(w().CBox1->font().bold());
        w().DateT->setDate(QDate(2024, 3, 10)); // Sunday
        w().DateTChange();
        EXPECT_TRUE(w().CBox1->isChecked());
        w().CBox1->click(); // the user may clear it
        EXPECT_FALSE(w().CBox1->font().bold());
    });
}

TEST_F(MainWindowTest, ShowingOnAWeekdayLeavesTheBoxAsItWas) {
    showMain("63527140", [&] { EXPECT_FALSE(w().CBox1->isChecked()); });
}

TEST_F(MainWindowTest, AcceptToggleAndForemanDoubleClick) {
    const int a = plant.record(h.db, plant.worker1, day, 1, "no");
    const int b = plant.record(h.db, plant.worker2, day, 1, "да");
    auto mark = [&](int id) { return h.db.scalar("select ok from accounts_dep.smena where id=:id", {{"id", id}}).toString(); };
    showMain("tromb", [&] {
        Dataset& s1 = h.forms->DataModule6->Smena1;
        s1.setRecNo(2);
        w().DBGrid2DblClick();
        EXPECT_EQ(mark(b), "no");
        EXPECT_EQ(s1.recNo(), 2); // back on the same record
        s1.setRecNo(1);
        w().DBGrid2DblClick();
        EXPECT_EQ(mark(a), "ok");
        EXPECT_EQ(w().DBGrid2->model()->data(w().DBGrid2->model()->index(0, 10), Qt::ForegroundRole).value<QColor>(),
                  QColor(0, 128, 0));
        w().DBGrid2DblClick();
        EXPECT_EQ(mark(a), "no");
    });
    AppHarness foreman;
    Plant p2(foreman.db);
    const int c = p2.record(foreman.db, p2.worker1, day, 1, "no");
    foreman.forms->Form23->Edit1->setText("vindoku");
    foreman.modal.actions.push_back([&](QDialog&) {
        foreman.forms->Form1->DBGrid2DblClick();
        return 0;
    });
    foreman.forms->Form23->Button1Click();
    EXPECT_EQ(foreman.db.scalar("select ok from accounts_dep.smena where id=:id", {{"id", c}}).toString(), "no");
}

TEST_F(MainWindowTest, DeleteAsksAndNoDeletesNothing) {
    plant.record(h.db, plant.worker1, day, 1, "no");
    showMain("63527140", [&] {
        h.messenger.answers = {false};
        w().Button3Click();
        ASSERT_EQ(h.messenger.messages.size(), 1u);
        EXPECT_EQ(h.messenger.messages[0].text, "Удалить позицию из списка?");
        EXPECT_EQ(h.messenger.messages[0].title, "Удаление");
        EXPECT_EQ(h.messenger.messages[0].kind, Message::Question);
        EXPECT_EQ(h.db.scalar("select count(*) from accounts_dep.smena").toInt(), 1);
        h.messenger.clear();
        h.messenger.answers = {true};
        w().Button3Click();
        EXPECT_EQ(h.db.scalar("select count(*) from accounts_dep.smena").toInt(), 0);
        EXPECT_EQ(w().DBGrid2->model()->rowCount(), 0);
        h.messenger.clear();
        w().Button3Click(); // empty log: nothing asked
        EXPECT_TRUE(h.messenger.messages.empty());
        w().DBGrid2DblClick(); // empty log: nothing accepted
    });
}

TEST_F(MainWindowTest, DatabaseErrorsAreShownAndTheWindowGoesOn) {
    showMain("63527140", [&] {
        h.db.exec("alter table accounts_dep.smena rename to smena_gone");
        w().Button8->click();
        ASSERT_EQ(h.messenger.messages.size(), 1u);
        EXPECT_EQ(h.messenger.messages[0].title, "Ошибка");
        EXPECT_TRUE(h.messenger.messages[0].text.contains("smena")) << h.messenger.messages[0].text.toStdString();
        h.db.exec("alter table accounts_dep.smena_gone rename to smena");
        h.messenger.clear();
        w().Button8->click();
        EXPECT_TRUE(h.messenger.messages.empty());
        // a lost connection
        h.forms->DataModule6->ADO_DB.close();
        w().Button8->click();
        EXPECT_EQ(h.messenger.messages.size(), 1u);
        w().Button3->click();
        w().DBGrid2DblClick();
    });
}

TEST_F(MainWindowTest, EscAndExitCloseTheWindow) {
    showMain("63527140", [&] {
        QTest::keyClick(&w(), Qt::Key_Escape);
        EXPECT_FALSE(w().isVisible());
    });
    EXPECT_GE(h.terminateCalls, 1);
}
