// The nomenclature groups list and dialog: the delete refused while something uses the group,
// the pick of a group in use, add and change with the not-in-use mark.
#include "app/main_window.h"
#include "refbooks/nomenclature_groups_dialog.h"
#include "refbooks/nomenclature_groups_list.h"
#include "tests/refbooks/lists_fixture.h"

#include <QCheckBox>

class NomenclatureGroupsTest : public ListsTest {
protected:
    TForm26& list() { return *h.forms->Form26; }
    int addProduct(int group) {
        return h.db
            .scalar("insert into cmn_gds_and_srv.gds_and_srv (s_caption, id_msm_bs, massa, id_class_item) values "
                    "('СТ-1', 6, 1, :g) returning id",
                    {{"g", group}})
            .toInt();
    }
    void addHousehold(int group) {
        h.db.exec("insert into accounts_dep.fatigue (id_o, id_p, id_nom, d_date, cnt, price) values "
                  "(7777, 1, :g, '2024-03-05', 1, 150)",
                  {{"g", group}});
    }
    void addShiftRecord(int product) {
        h.db.exec("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, ok) values "
                  "('2024-03-05', 1, 1, :p, 1, 1, 1, 0, 'no')",
                  {{"p", product}});
    }
    int groups() { return count("select count(*) from cmn_classifier.item"); }
};

TEST_F(NomenclatureGroupsTest, DeleteIsRefusedWhileProductsOrRecordsUseTheGroup) {
    struct Case {
        const char* what;
        std::function<void(int group)> arrange;
        const char* message; // nullptr: deleted at once
    };
    const Case cases[] = {
        {"products and records", [&](int g) { addShiftRecord(addProduct(g)); addHousehold(g); },
         "В номенклатурной группе есть изделия."},
        {"household records", [&](int g) { addHousehold(g); }, "В номенклатурной группе есть операции."},
        {"products", [&](int g) { addProduct(g); }, "В номенклатурной группе есть изделия."},
        {"nothing", [](int) {}, nullptr},
    };
    for (const Case& c : cases) {
        h.messenger.clear();
        const int group = addGroup(QStringLiteral("Группа"));
        c.arrange(group);
        whileShown([&](QDialog& w) {
            list().item.locate("id", group);
            button(w, "Button1")->click();
        });
        h.forms->Form1->N8->trigger();
        const bool deleted = count("select count(*) from cmn_classifier.item where id=:id", {{"id", group}}) == 0;
        if (c.message) {
            EXPECT_FALSE(deleted) << c.what;
            ASSERT_EQ(h.messenger.messages.size(), 1u) << c.what;
            EXPECT_EQ(h.messenger.messages[0].kind, Message::Error);
            EXPECT_EQ(h.messenger.messages[0].text, c.message) << c.what;
            EXPECT_EQ(h.messenger.messages[0].title, "Удаление");
        } else {
            EXPECT_TRUE(deleted) << c.what;
            EXPECT_TRUE(h.messenger.messages.empty()) << "no question is asked";
        }
    }
}

TEST_F(NomenclatureGroupsTest, AfterADeleteTheListStandsAtTheSameRowNumber) {
    for (const char* c : {"Альфа", "Бета", "Гамма", "Дельта"})
        addGroup(QString::fromUtf8(c));
    QStringList rows;
    QString standing;
    whileShown([&](QDialog& w) {
        list().item.setRecNo(2);
        button(w, "Button1")->click();
        rows = column(w, "s_caption");
        standing = current(w, "s_caption");
    });
    list().openForBrowse();
    EXPECT_EQ(rows, (QStringList{"Альфа", "Гамма", "Дельта"}));
    EXPECT_EQ(standing, "Гамма");
}

TEST_F(NomenclatureGroupsTest, PickOffersGroupsInUseUntilSomethingIsTypedAndWritesTheCaptionUntrimmed) {
    addGroup("Архив", 1);
    const int panels = addGroup("Панели  ");
    addGroup("Профиль");
    QStringList offered, typed, afterClear;
    bool columnHidden = false, open = true;
    int width = 0;
    QString chooseCaption;
    whileShown(
        [&](QDialog& w) {
            offered = column(w, "s_caption");
            chooseCaption = button(w, "Button3")->text();
            columnHidden = list().DBGrid1->isColumnHidden(1);
            width = w.width();
            EXPECT_FALSE(button(w, "Button1")->isVisible());
            EXPECT_FALSE(button(w, "Button2")->isVisible());
            edit(w)->setText(QStringLiteral("А"));
            typed = column(w, "s_caption");
            edit(w)->clear();
            afterClear = column(w, "s_caption");
            list().item.locate("id", panels);
            button(w, "Button3")->click();
        },
        &open);
    PickedGroup got;
    EXPECT_TRUE(list().pickGroup([&](const PickedGroup& g) { got = g; }));
    EXPECT_EQ(list().Tag, 24);
    EXPECT_EQ(offered, (QStringList{"Панели", "Профиль"}));
    EXPECT_EQ(typed, QStringList{"Архив"}) << "typing replaces the restriction to groups in use";
    EXPECT_EQ(afterClear.size(), 3);
    EXPECT_EQ(chooseCaption, "Выбрать");
    EXPECT_TRUE(columnHidden);
    EXPECT_EQ(width, 460);
    EXPECT_FALSE(open);
    EXPECT_EQ(got.id, panels);
    EXPECT_EQ(got.caption, "Панели  ");

    // everything back for browsing
    EXPECT_FALSE(list().item.filtered());
    EXPECT_FALSE(list().item.isOpen());
    EXPECT_FALSE(list().DBGrid1->isColumnHidden(1));
    EXPECT_EQ(list().width(), 585);
    EXPECT_FALSE(list().Button1->isHidden());
    EXPECT_FALSE(list().Button2->isHidden());
}

TEST_F(NomenclatureGroupsTest, ChangeAndAddWriteNameAndMarkAndTheMarkCarriesOver) {
    const int group = addGroup("Панели");
    whileShown([&](QDialog& w) {
        list().item.locate("id", group);
        button(w, "Button3")->click();
    });
    whileShown([&](QDialog& w) {
        EXPECT_EQ(edit(w)->text(), "Панели");
        EXPECT_FALSE(named<QCheckBox>(&w, "CheckBox1")->isChecked());
        edit(w)->setText(QStringLiteral(" Панели О'Брайена "));
        named<QCheckBox>(&w, "CheckBox1")->setChecked(true);
        button(w, "Button1")->click();
    });
    h.forms->Form1->N8->trigger();
    EXPECT_EQ(h.db.scalar("select s_caption from cmn_classifier.item where id=:id", {{"id", group}}).toString(),
              "Панели О'Брайена");
    EXPECT_EQ(count("select b_excluded from cmn_classifier.item where id=:id", {{"id", group}}), 1);

    QStringList shown;
    QString mark;
    whileShown([&](QDialog& w) {
        button(w, "Button2")->click();
        shown = column(w, "s_caption");
        mark = current(w, "s_excl");
    });
    whileShown([&](QDialog& w) {
        EXPECT_TRUE(edit(w)->text().isEmpty());
        EXPECT_TRUE(named<QCheckBox>(&w, "CheckBox1")->isChecked()) << "the box keeps its last state";
        edit(w)->setText(QStringLiteral("Профиль"));
        button(w, "Button1")->click();
    });
    h.forms->Form1->N8->trigger();
    EXPECT_EQ(shown, (QStringList{"Панели О'Брайена", "Профиль"}));
    EXPECT_EQ(mark, "V");
    EXPECT_EQ(count("select count(*) from cmn_classifier.item where s_caption='Профиль' and b_excluded=1 and "
                    "id_level=2"),
              1);
}
