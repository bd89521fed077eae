// The operation kinds list and dialog: unique names ignoring letter case, the pick into the
// operation price dialog, delete after the question.
#include "app/main_window.h"
#include "refbooks/operation_kinds_dialog.h"
#include "refbooks/operation_kinds_list.h"
#include "tests/refbooks/lists_fixture.h"

class OperationKindsTest : public ListsTest {
protected:
    TForm8& list() { return *h.forms->Form8; }
    int kinds(const QString& name) {
        return count("select count(*) from accounts_dep.vid_oper where vid=:v", {{"v", name}});
    }
    // Saves a name in the dialog opened by the list's add (row < 0) or change on a row.
    QStringList save(const QString& name, int row = -1) {
        QStringList afterSave;
        whileShown([&, row](QDialog& w) {
            if (row < 0) {
                button(w, "Button1")->click();
            } else {
                list().dataset().setRecNo(row);
                button(w, "Button2")->click();
            }
            afterSave << current(w, "vid");
        });
        whileShown([&](QDialog& w) {
            edit(w)->setText(name);
            button(w, "Button1")->click();
        });
        h.forms->Form1->N6->trigger();
        return afterSave;
    }
};

TEST_F(OperationKindsTest, NamesAreUniqueIgnoringLetterCaseWithTheOwnRowExcludedOnChange) {
    addKind("Покраска");
    addKind("Сборка");
    struct Case {
        const char* name;
        int row; // -1 add, else the row changed (rows: Покраска, Сборка, Ср. сдел., Хоз. работы)
        bool accepted;
    };
    const Case cases[] = {
        {"ПОКРАСКА", -1, false},   // another kind, other case
        {"  сборка ", -1, false},  // trimmed before comparing
        {"Покраска", 2, false},    // renaming Сборка to an existing name
        {"СБОРКА", 2, true},       // its own name in other case
        {"Д'Арк и ко", -1, true},  // an apostrophe is just a character
        {"д'арк И КО", -1, false}, // ...and is compared like one
    };
    for (const Case& c : cases) {
        h.messenger.clear();
        const int before = count("select count(*) from accounts_dep.vid_oper");
        save(QString::fromUtf8(c.name), c.row);
        const bool refused = h.messenger.texts() == QStringList{"Такая операция уже заведена!"};
        EXPECT_EQ(!refused, c.accepted) << c.name << ": " << h.messenger.texts().join("; ").toStdString();
        const int added = c.accepted && c.row < 0 ? 1 : 0;
        EXPECT_EQ(count("select count(*) from accounts_dep.vid_oper"), before + added) << c.name;
    }
    EXPECT_EQ(kinds("СБОРКА"), 1);
    EXPECT_EQ(kinds("Д'Арк и ко"), 1);
    EXPECT_EQ(kinds("Сборка"), 0);
}

TEST_F(OperationKindsTest, AnEmptyNameIsRefusedAndAStoredNameIsTrimmed) {
    save("   ");
    EXPECT_EQ(h.messenger.texts(), QStringList{"Все поля должны быть заполнены!"});
    EXPECT_EQ(h.messenger.messages[0].title, "Ошибка");
    h.messenger.clear();
    save("  Резка  ");
    EXPECT_TRUE(h.messenger.messages.empty());
    EXPECT_EQ(kinds("Резка"), 1);
}

TEST_F(OperationKindsTest, AfterASaveTheListStandsOnItsFirstRow) {
    addKind("Покраска");
    addKind("Сборка");
    QString standing;
    whileShown([&](QDialog& w) {
        list().dataset().setRecNo(3);
        button(w, "Button2")->click();
        standing = current(w, "vid");
    });
    whileShown([&](QDialog& w) {
        EXPECT_EQ(w.windowTitle(), "Изменение данных вида операции");
        EXPECT_EQ(edit(w)->text(), "Ср. сдел.");
        button(w, "Button1")->click();
    });
    list().openForBrowse();
    EXPECT_EQ(standing, "Покраска");
}

TEST_F(OperationKindsTest, DeleteAsksUnderDeletionAndOnlyYesDeletes) {
    const int kind = addKind("Покраска");
    h.messenger.answers = {false, true};
    whileShown([&](QDialog& w) {
        list().dataset().locate("id", kind);
        button(w, "Button3")->click();
        EXPECT_EQ(count("select count(*) from accounts_dep.vid_oper where id=:id", {{"id", kind}}), 1);
        button(w, "Button3")->click();
    });
    list().openForBrowse();
    EXPECT_EQ(count("select count(*) from accounts_dep.vid_oper where id=:id", {{"id", kind}}), 0);
    ASSERT_EQ(h.messenger.messages.size(), 2u);
    EXPECT_EQ(h.messenger.messages[1].text, "Удалить вид операции?");
    EXPECT_EQ(h.messenger.messages[1].title, "Удаление");
}

TEST_F(OperationKindsTest, PickWritesTheKindTrimmedAndTheBrowseOpenerSwitchesTheFilterOff) {
    const int kind = addKind("Сборка");
    bool open = true;
    whileShown(
        [&](QDialog& w) {
            edit(w)->setText(QStringLiteral("сб"));
            button(w, "Button2")->click();
        },
        &open);
    ReferenceList::PickOptions o;
    o.after.chooseNotDefault = true;
    o.after.hideSearch = true;
    o.after.closeDataset = true;
    QString vid;
    int id = 0;
    EXPECT_TRUE(list().openForPick(1, [&](const Dataset& row) {
        vid = row.asString("vid").trimmed();
        id = row.asInt("id");
    }, o));
    EXPECT_FALSE(open);
    EXPECT_EQ(vid, "Сборка");
    EXPECT_EQ(id, kind);
    EXPECT_TRUE(dm().Vid_oper.filtered()) << "the pick's search stays in the dataset";

    int rows = 0;
    whileShown([&](QDialog& w) { rows = column(w, "vid").size(); });
    h.forms->Form1->N6->trigger();
    EXPECT_EQ(rows, 3);
    EXPECT_FALSE(dm().Vid_oper.filtered());
}

TEST_F(OperationKindsTest, TheReservedKindsAreNotDeleted) {
    h.messenger.answers = {true};
    whileShown([&](QDialog& w) {
        ASSERT_TRUE(list().dataset().locate("id", 7777));
        button(w, "Button3")->click();
        EXPECT_TRUE(w.isVisible()); // the list goes on after the refusal
    });
    list().openForBrowse();
    EXPECT_EQ(count("select count(*) from accounts_dep.vid_oper where id in (7777, 7778)", {}), 2);
    ASSERT_EQ(h.messenger.messages.size(), 2u);
    EXPECT_EQ(h.messenger.messages[1].title, "Ошибка");
    EXPECT_TRUE(h.messenger.messages[1].text.contains("служебный")) << h.messenger.messages[1].text.toStdString();
}
