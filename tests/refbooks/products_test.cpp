// Products: the delete with its prices and shift records, the save with its duplicate check.
#include "app/db_error.h"
#include "refbooks/products_steps.h"
#include "tests/refbooks/products_prices_fixture.h"

namespace {
const QString kPricesQuestion = "По изделию есть расценки они будут удалены!!!";
const QString kRecordsQuestion =
    "По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут удалены. Удалить изделие? ";
const QString kPlainQuestion = "Удалить изделие? ";
} // namespace

class ProductStepsTest : public BookDbTest {
protected:
    std::unique_ptr<ProductsBook> book;
    int kind = 0;
    void SetUp() override {
        BookDbTest::SetUp();
        book = std::make_unique<ProductsBook>(dm);
        kind = addKind("Сборка");
    }
    int prices(int product) { return count("select count(*) from accounts_dep.oper where i_id=:p", {{"p", product}}); }
    int records(int product) {
        return count("select count(*) from accounts_dep.smena where i_id=:p", {{"p", product}});
    }
    bool exists(int product) {
        return count("select count(*) from cmn_gds_and_srv.gds_and_srv where id=:p", {{"p", product}}) == 1;
    }
};

TEST_F(ProductStepsTest, DeleteAsksInOrderAndRunsWhatWasConfirmed) {
    struct Case {
        const char* name;
        bool withPrices, withRecords;
        std::deque<bool> answers;
        QStringList questions;
        bool pricesLeft, recordsLeft, productLeft;
    } cases[] = {
        {"no to prices, yes to records", true, true, {false, true}, {kPricesQuestion, kRecordsQuestion}, true, false,
         false},
        {"yes to both", true, true, {true, true}, {kPricesQuestion, kRecordsQuestion}, false, false, false},
        {"yes to prices, no to records", true, true, {true, false}, {kPricesQuestion, kRecordsQuestion}, false, true,
         true},
        {"no to both", true, true, {false, false}, {kPricesQuestion, kRecordsQuestion}, true, true, true},
        {"prices only, no then yes", true, false, {false, true}, {kPricesQuestion, kPlainQuestion}, true, false,
         false},
        {"nothing attached, yes", false, false, {true}, {kPlainQuestion}, false, false, false},
        {"records only, yes", false, true, {true}, {kRecordsQuestion}, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int product = addProduct(QString("Изделие ") + c.name);
        const int other = addProduct(QString("Другое ") + c.name);
        int oper = 0;
        if (c.withPrices) {
            oper = addOper(kind, 0, product, {"5", "7"});
            addOper(kind, 1, product);
        }
        const int otherOper = addOper(kind, 0, other);
        if (c.withRecords)
            addRecord(product, oper, QDate(2023, 11, 2));
        addRecord(other, otherOper, QDate(2023, 11, 2));
        const int normsBefore = count("select count(*) from accounts_dep.norm");

        messenger.clear();
        messenger.answers = c.answers;
        const bool deleted = book->deleteProduct(product, QDate(2024, 3, 5));

        EXPECT_EQ(messenger.texts(), c.questions);
        for (const Message& m : messenger.messages)
            EXPECT_EQ(m.title, "Удаление");
        EXPECT_EQ(deleted, !c.productLeft);
        EXPECT_EQ(exists(product), c.productLeft);
        EXPECT_EQ(prices(product) > 0, c.withPrices && c.pricesLeft);
        EXPECT_EQ(records(product) > 0, c.withRecords && c.recordsLeft);
        // the norms of deleted prices stay; other products are untouched
        EXPECT_EQ(count("select count(*) from accounts_dep.norm"), normsBefore);
        EXPECT_TRUE(exists(other));
        EXPECT_EQ(prices(other), 1);
        EXPECT_EQ(records(other), 1);
        EXPECT_TRUE(dm.Izdel.isOpen());
        EXPECT_EQ(dm.Izdel.recNo(), 1);
    }
}

TEST_F(ProductStepsTest, RecordsCountFromThePreviousMonthOfTheYear2000) {
    // January counts as the 13th month: the limit is 1 December 2000.
    struct Case {
        QDate today, record;
        bool counted;
    } cases[] = {
        {QDate(2024, 1, 10), QDate(2000, 12, 1), true},
        {QDate(2024, 1, 10), QDate(2000, 11, 30), false},
        {QDate(2024, 3, 5), QDate(2000, 2, 1), true},
        {QDate(2024, 3, 5), QDate(2000, 1, 31), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record.toString(Qt::ISODate).toStdString());
        const int product = addProduct("Изделие " + c.record.toString(Qt::ISODate));
        addRecord(product, 0, c.record);
        messenger.clear();
        messenger.answers = {false};
        book->deleteProduct(product, c.today);
        EXPECT_EQ(messenger.texts(), QStringList{c.counted ? kRecordsQuestion : kPlainQuestion});
    }
}

TEST_F(ProductStepsTest, RefusedDeleteLeavesThePricesWithTheProduct) {
    const int product = addProduct("Шкаф");
    const int oper = addOper(kind, 0, product);
    addRecord(product, oper, QDate(2024, 2, 1));
    db.exec("create function pg_temp_refuse() returns trigger language plpgsql as "
            "$$ begin raise exception 'goods item is in use'; end $$");
    db.exec("create trigger refuse before delete on cmn_gds_and_srv.gds_and_srv for each row "
            "execute function pg_temp_refuse()");
    messenger.answers = {true, true};
    try {
        book->deleteProduct(product, QDate(2024, 3, 5));
        FAIL() << "the refused delete was reported as done";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains("goods item is in use")) << e.what();
    }
    EXPECT_TRUE(exists(product));
    EXPECT_EQ(prices(product), 1);
    EXPECT_EQ(records(product), 1);
    EXPECT_FALSE(dm.ADO_DB.inTransaction());
}

TEST_F(ProductStepsTest, SaveChecksFieldsAndMarksIgnoringCase) {
    const int group = addGroup("Мебель");
    const int own = addProduct("Ящик-А", group);
    const int other = addProduct("O'Neil 5", group);
    const QString empty = "Все поля должны быть заполнены!";
    const QString taken = "Такая марка изделия уже заведена!";
    struct Case {
        const char* name;
        int tag;
        QString mark, number;
        int group;
        int current;
        QString message; // empty: written
    } cases[] = {
        {"empty mark", 1, "  ", "1", group, 0, empty},
        {"empty number", 1, "Новое", " ", group, 0, empty},
        {"no group", 1, "Новое", "1", 0, 0, empty},
        {"add, other case", 1, "ящик-а", "1", group, 0, taken},
        {"add, apostrophe, other case", 1, "o'neil 5", "1", group, 0, taken},
        {"change to another's mark", 2, "O'NEIL 5", "1", group, own, taken},
        {"change, own mark in other case", 2, "ЯЩИК-а", "2,5", group, own, ""},
        {"add with blanks and apostrophe", 1, "  Д'Артаньян  ", "3.75", group, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messenger.clear();
        const int before = count("select count(*) from cmn_gds_and_srv.gds_and_srv");
        const bool saved = book->save(c.tag, c.mark, c.number, c.group, c.current);
        EXPECT_EQ(saved, c.message.isEmpty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messenger.messages.empty()) << messenger.texts().join('|').toStdString();
        } else {
            ASSERT_EQ(messenger.messages.size(), 1u);
            EXPECT_EQ(messenger.messages[0].text, c.message);
            EXPECT_EQ(messenger.messages[0].title, "Ошибка");
            EXPECT_EQ(count("select count(*) from cmn_gds_and_srv.gds_and_srv"), before);
        }
    }
    EXPECT_EQ(db.scalar("select s_caption||'|'||massa::text||'|'||id_msm_bs||'|'||s_description from "
                        "cmn_gds_and_srv.gds_and_srv where id=:id",
                        {{"id", own}})
                  .toString(),
              "ЯЩИК-а|2.500000|6|");
    EXPECT_EQ(db.scalar("select massa::text||'|'||id_class_item from cmn_gds_and_srv.gds_and_srv "
                        "where s_caption='Д''Артаньян'")
                  .toString(),
              QString("3.750000|%1").arg(group));
    EXPECT_EQ(db.scalar("select s_caption from cmn_gds_and_srv.gds_and_srv where id=:id", {{"id", other}}).toString(),
              "O'Neil 5");
}

TEST(ProductNumber, ShownWithoutTrailingZerosAndFilteredWhileTyped) {
    EXPECT_EQ(productNumberText("12.500000", ','), "12,5");
    EXPECT_EQ(productNumberText("7.000000", ','), "7");
    EXPECT_EQ(productNumberText("0.000000", '.'), "0");
    EXPECT_EQ(productNumberText("120", ','), "120");
    const std::pair<QString, QString> keys[] = {{"5", "5"}, {",", "."}, {".", "."}, {"\b", "\b"},
                                                {"a", ""},  {"-", ""},  {"٣", ""}};
    for (const auto& [typed, passed] : keys)
        EXPECT_EQ(productNumberKey(typed), passed) << typed.toStdString();
}

// ---------------------------------------------------------------------------- windows
#include "app/main_window.h"
#include "refbooks/operation_prices_dialog.h"
#include "refbooks/products_dialog.h"
#include "refbooks/products_list.h"

#include <QAction>
#include <QComboBox>
#include <QTest>

class ProductWindowsTest : public BookWindowTest {};

TEST_F(ProductWindowsTest, MenuBrowsesAndTheDialogChangesTheCurrentProduct) {
    ASSERT_TRUE(h.connected);
    const int group = addGroup("Мебель");
    const int other = addGroup("Тара");
    addProduct("Альфа", group, "1");
    const int beta = addProduct("Бета", group, "12.5");
    addProduct("Гамма", other, "2");
    bool listOpen = true;
    whileShown([&](QDialog& list) {
        EXPECT_EQ(list.objectName(), "TForm3");
        EXPECT_EQ(ctl(list, "Button2")->text(), "Изменить");
        EXPECT_FALSE(ctl(list, "Button2")->isDefault());
        EXPECT_EQ(column(list, "marka"), (QStringList{"Альфа", "Бета", "Гамма"}));
        dm().Izdel.setRecNo(2);
        whileShown([&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Изменение данных изделия (7)");
            EXPECT_EQ(ctl<QLineEdit>(dialog, "Edit1")->text(), "Бета");
            EXPECT_EQ(ctl<QLineEdit>(dialog, "Edit2")->text(), QString("12") + QLocale().decimalPoint() + "5");
            auto* groups = ctl<QComboBox>(dialog, "cb_item");
            EXPECT_EQ(groups->currentText(), "Мебель");
            groups->setCurrentIndex(groups->findText("Тара"));
            ctl<QLineEdit>(dialog, "Edit1")->setText("Бета'2");
            ctl(dialog, "Button1")->click();
            EXPECT_FALSE(dialog.isVisible());
        });
        ctl(list, "Button2")->click();
        EXPECT_EQ(dm().Izdel.recNo(), 2);
        EXPECT_EQ(column(list, "marka"), (QStringList{"Альфа", "Бета'2", "Гамма"}));
    }, &listOpen);
    h.forms->Form1->N3->trigger();
    EXPECT_EQ(h.modal.shown, (QStringList{"TForm3", "TForm7"}));
    EXPECT_FALSE(dm().Izdel.isOpen());
    EXPECT_EQ(h.db.scalar("select s_caption||'|'||massa::text||'|'||id_class_item from cmn_gds_and_srv.gds_and_srv "
                          "where id=:id",
                          {{"id", beta}})
                  .toString(),
              QString("Бета'2|12.500000|%1").arg(other));
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join('|').toStdString();
}

TEST_F(ProductWindowsTest, AddKeepsTheLastGroupAndTheNumberBoxTakesDigitsOnly) {
    ASSERT_TRUE(h.connected);
    const int group = addGroup("Мебель");
    addProduct("Стол", group);
    dm().Izdel.open();
    TForm7& dialog = *h.forms->Form7;
    dialog.setKeyValue(group);
    whileShown([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Заведение нового изделия (7)");
        EXPECT_TRUE(ctl<QLineEdit>(d, "Edit1")->text().isEmpty());
        EXPECT_EQ(ctl<QComboBox>(d, "cb_item")->currentText(), "Мебель");
        ctl<QLineEdit>(d, "Edit1")->setText("СТОЛ");
        auto* number = ctl<QLineEdit>(d, "Edit2");
        number->setFocus();
        QTest::keyClicks(number, "1a2,5-");
        EXPECT_EQ(number->text(), "12.5");
        ctl(d, "Button1")->click();
        EXPECT_TRUE(d.isVisible()); // the mark is taken in other letter case
        ctl<QLineEdit>(d, "Edit1")->setText("Стул");
        ctl(d, "Button1")->click();
        EXPECT_FALSE(d.isVisible());
    });
    h.forms->Form3->Button1Click();
    EXPECT_EQ(h.messenger.texts(), QStringList{"Такая марка изделия уже заведена!"});
    EXPECT_EQ(h.db.scalar("select massa::text||'|'||id_class_item from cmn_gds_and_srv.gds_and_srv "
                          "where s_caption='Стул'")
                  .toString(),
              QString("12.500000|%1").arg(group));
}

TEST_F(ProductWindowsTest, DeleteFromTheListAnsweringNoThenYes) {
    ASSERT_TRUE(h.connected);
    const int kind = addKind("Сборка");
    const int product = addProduct("Шкаф");
    const int oper = addOper(kind, 0, product);
    h.db.exec("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, kol_vo, brak, ok) values "
              "('2024-03-01', 1, 1, :p, :o, 1, 0, 'no')",
              {{"p", product}, {"o", oper}});
    h.messenger.answers = {false, true};
    whileShown([&](QDialog& list) {
        ASSERT_TRUE(dm().Izdel.locate("id", product));
        ctl(list, "Button3")->click();
        EXPECT_TRUE(column(list, "marka").isEmpty());
    });
    h.forms->Form1->N3->trigger();
    EXPECT_EQ(h.messenger.messages.size(), 2u);
    EXPECT_EQ(count("select count(*) from cmn_gds_and_srv.gds_and_srv"), 0);
    EXPECT_EQ(count("select count(*) from accounts_dep.smena"), 0);
    EXPECT_EQ(count("select count(*) from accounts_dep.oper where i_id=:p", {{"p", product}}), 1);
}

TEST_F(ProductWindowsTest, PickIntoTheOperationPriceDialogWithAnApostropheSearch) {
    ASSERT_TRUE(h.connected);
    addProduct("Д'Артаньян");
    const int wanted = addProduct("Д'Арт 2  ");
    addProduct("Дверь");
    TForm10& dialog = *h.forms->Form10;
    bool listOpen = true;
    whileShown([&](QDialog& list) {
        EXPECT_EQ(list.objectName(), "TForm3");
        auto* search = ctl<QLineEdit>(list, "Edit1");
        EXPECT_TRUE(search->isVisible());
        EXPECT_EQ(ctl(list, "Button2")->text(), "Выбрать");
        EXPECT_FALSE(ctl(list, "Button1")->isVisible());
        search->setText("Д'");
        EXPECT_EQ(column(list, "marka"), (QStringList{"Д'Арт 2", "Д'Артаньян"}));
        dm().Izdel.first();
        ctl(list, "Button2")->click();
    }, &listOpen);
    dialog.Button3Click();
    EXPECT_FALSE(listOpen);
    EXPECT_EQ(dialog.Edit1->text(), "Д'Арт 2");
    EXPECT_EQ(dialog.ProductId, wanted);
    EXPECT_FALSE(dm().Izdel.isOpen());
    EXPECT_FALSE(h.forms->Form3->Edit1->isVisibleTo(h.forms->Form3));
    EXPECT_FALSE(h.forms->Form3->Button2->isDefault());
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join('|').toStdString();
}
