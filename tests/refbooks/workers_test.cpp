// The workers list and dialog: picks into the calling dialogs, add, change, delete, and the
// menu item that opens the list.
#include "app/main_window.h"
#include "refbooks/workers_dialog.h"
#include "refbooks/workers_list.h"
#include "tests/refbooks/lists_fixture.h"

#include <QComboBox>

class WorkersTest : public ListsTest {
protected:
    TForm5& list() { return *h.forms->Form5; }
    TForm2& dialog() { return *h.forms->Form2; }
    QString fioOf(int id) {
        return h.db.scalar("select fio from accounts_dep.person where id=:id", {{"id", id}}).toString();
    }
    QString staffOf(int id) {
        return h.db.scalar("select s_staffpos_hl from accounts_dep.person where id=:id", {{"id", id}}).toString();
    }
};

TEST_F(WorkersTest, PickWritesTheHighlightedWorkerOfTheFilteredListAndCloses) {
    addWorker("Абрамов А.А.");
    const int ivanov = addWorker("Иванов И.И.   ");
    addWorker("Иволгин В.В.");
    bool open = true;
    whileShown(
        [&](QDialog& w) {
            edit(w)->setText(QStringLiteral("Ив"));
            EXPECT_EQ(current(w, "fio"), "Иванов И.И.");
            button(w, "Button2")->click();
        },
        &open);
    PickedWorker got;
    EXPECT_TRUE(list().pickWorker(1, [&](const PickedWorker& p) { got = p; }));
    EXPECT_EQ(got.id, ivanov);
    EXPECT_EQ(got.fio, "Иванов И.И.");
    EXPECT_FALSE(open);
    EXPECT_FALSE(dm().Workers.isOpen());
}

TEST_F(WorkersTest, PickFromAnEmptyListClosesItAndWritesNothing) {
    bool open = true, called = false;
    whileShown([&](QDialog& w) { button(w, "Button2")->click(); }, &open);
    EXPECT_FALSE(list().pickWorker(1, [&](const PickedWorker&) { called = true; }));
    EXPECT_FALSE(called);
    EXPECT_FALSE(open);
}

TEST_F(WorkersTest, MenuItemOpensTheListForBrowsingAndClosesWorkersAfterwards) {
    addWorker("Иванов И.И.");
    list().Tag = 1; // left by an earlier pick
    QString caption;
    whileShown([&](QDialog& w) {
        caption = button(w, "Button2")->text();
        EXPECT_EQ(column(w, "fio"), QStringList{"Иванов И.И."});
    });
    h.forms->Form1->N1->trigger();
    EXPECT_EQ(h.modal.shown, QStringList{"TForm5"});
    EXPECT_EQ(list().Tag, 0);
    EXPECT_EQ(caption, "Изменить");
    EXPECT_FALSE(dm().Workers.isOpen());
}

TEST_F(WorkersTest, AddRefusesABlankNameAndStoresTheNameTrimmedWithThePosition) {
    h.db.exec("insert into hrms_staffpos.staffpos (s_caption) values ('Маляр'), ('Сборщик')");
    h.db.exec("insert into cmn_department.department (s_caption) values ('Цех №1')");
    whileShown([&](QDialog& w) { button(w, "Button1")->click(); });
    bool open = false;
    whileShown(
        [&](QDialog& w) {
            EXPECT_EQ(w.windowTitle(), "Заведение данных нового работника");
            EXPECT_EQ(dialog().Tag, 1);
            edit(w)->setText(QStringLiteral("   "));
            button(w, "Button1")->click();
            EXPECT_EQ(h.messenger.texts(), QStringList{"ФИО нужно заполнить!"});
            EXPECT_TRUE(w.isVisible());
            edit(w)->setText(QStringLiteral("  Д'Артаньян Ш.  "));
            auto* pos = named<QComboBox>(&w, "LCB_staffpos");
            pos->setCurrentIndex(pos->findText(QStringLiteral("Маляр")));
            button(w, "Button1")->click();
        },
        &open);
    list().openForBrowse();
    EXPECT_FALSE(open);
    ASSERT_EQ(h.messenger.messages.size(), 1u);
    EXPECT_EQ(h.messenger.messages[0].title, "Ошибка");
    EXPECT_EQ(count("select count(*) from accounts_dep.person"), 1);
    const int id = h.db.scalar("select id from accounts_dep.person").toInt();
    EXPECT_EQ(fioOf(id), "Д'Артаньян Ш.");
    EXPECT_EQ(staffOf(id), "Маляр");
    EXPECT_EQ(h.db.scalar("select s_code from cmn_contractor.person where id=:id", {{"id", id}}).toString(),
              QString::number(id));
}

TEST_F(WorkersTest, ChangeKeepsTheRecordNumberAndClosesTheListWhetherSavedOrCancelled) {
    addWorker("Алексеев А.А.");
    const int second = addWorker("Борисов Б.Б.", "Маляр");
    addWorker("Васильев В.В.");
    // saved
    bool listOpen = true;
    whileShown(
        [&](QDialog& w) {
            list().dataset().setRecNo(2);
            button(w, "Button2")->click();
        },
        &listOpen);
    whileShown([&](QDialog& w) {
        EXPECT_EQ(w.windowTitle(), "Изменение данных работника");
        EXPECT_EQ(edit(w)->text(), "Борисов Б.Б.");
        EXPECT_EQ(dialog().WorkerId, second);
        edit(w)->setText(QStringLiteral("Борисова Б.Б."));
        button(w, "Button1")->click();
    });
    list().openForBrowse();
    EXPECT_FALSE(listOpen);
    EXPECT_EQ(fioOf(second), "Борисова Б.Б.");
    EXPECT_EQ(staffOf(second), "Маляр") << "a rename without a position chosen keeps the worker's text";

    // cancelled
    whileShown([&](QDialog& w) { button(w, "Button2")->click(); }, &listOpen);
    whileShown([&](QDialog& w) { button(w, "Button2")->click(); });
    listOpen = true;
    list().openForBrowse();
    EXPECT_FALSE(listOpen);
    EXPECT_EQ(h.modal.shown, (QStringList{"TForm5", "TForm2", "TForm5", "TForm2"}));
}

TEST_F(WorkersTest, DeleteAsksFirstAndKeepsTheRecordNumber) {
    addWorker("Алексеев А.А.");
    const int second = addWorker("Борисов Б.Б.");
    addWorker("Васильев В.В.");
    h.db.exec("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, ok) values "
              "('2024-03-05', 1, :w, 1, 1, 1, 1, 0, 'no')",
              {{"w", second}});
    h.messenger.answers = {false, true};
    QStringList afterNo, afterYes;
    QString standing;
    whileShown([&](QDialog& w) {
        list().dataset().setRecNo(2);
        button(w, "Button3")->click();
        afterNo = column(w, "fio");
        button(w, "Button3")->click();
        afterYes = column(w, "fio");
        standing = current(w, "fio");
    });
    list().openForBrowse();
    ASSERT_EQ(h.messenger.messages.size(), 2u);
    EXPECT_EQ(h.messenger.messages[0].text, "Удалить работника?");
    EXPECT_EQ(h.messenger.messages[0].title, "Удаление");
    EXPECT_EQ(afterNo.size(), 3);
    EXPECT_EQ(afterYes, (QStringList{"Алексеев А.А.", "Васильев В.В."}));
    EXPECT_EQ(standing, "Васильев В.В.");
    EXPECT_EQ(count("select count(*) from accounts_dep.smena where w_id=:w", {{"w", second}}), 1)
        << "records keep their worker id";
}

TEST_F(WorkersTest, DeletingTheLastWorkerLeavesAnEmptyList) {
    addWorker("Алексеев А.А.");
    h.messenger.answers = {true};
    int rows = -1;
    whileShown([&](QDialog& w) {
        button(w, "Button3")->click();
        rows = column(w, "fio").size();
    });
    list().openForBrowse();
    EXPECT_EQ(rows, 0);
    EXPECT_TRUE(h.messenger.messages.size() == 1);
}

TEST_F(WorkersTest, LookupBoxesKeepTheirChoiceAcrossOpenings) {
    h.db.exec("insert into cmn_department.department (s_caption) values ('Цех №1'), ('Цех №2')");
    whileShown([&](QDialog& w) { button(w, "Button1")->click(); });
    whileShown([&](QDialog& w) {
        auto* dep = named<QComboBox>(&w, "LCB_department");
        EXPECT_EQ(dep->currentIndex(), -1);
        dep->setCurrentIndex(dep->findText(QStringLiteral("Цех №2")));
    });
    list().openForBrowse();
    h.db.exec("insert into cmn_department.department (s_caption) values ('Участок')");
    QString shown;
    whileShown([&](QDialog& w) { button(w, "Button1")->click(); });
    whileShown([&](QDialog& w) { shown = named<QComboBox>(&w, "LCB_department")->currentText(); });
    list().openForBrowse();
    EXPECT_EQ(shown, "Цех №2");
}
