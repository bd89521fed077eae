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
