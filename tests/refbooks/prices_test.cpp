// Operation prices: duplicate checks, the first norm of a new price, delete, the description.
#include "refbooks/operation_prices_steps.h"
#include "tests/refbooks/products_prices_fixture.h"

class PriceStepsTest : public BookDbTest {
protected:
    int product = 0, otherProduct = 0, kind = 0, otherKind = 0, oper = 0, otherOper = 0;
    void SetUp() override {
        BookDbTest::SetUp();
        product = addProduct("Стол");
        otherProduct = addProduct("Стул");
        kind = addKind("Покраска");
        otherKind = addKind("Сварка");
        oper = addOper(kind, 0, product);
        otherOper = addOper(otherKind, 0, product);
    }
    int opers() { return count("select count(*) from accounts_dep.oper"); }
};

TEST_F(PriceStepsTest, SaveRefusesTheSameKindProductAndProductKind) {
    const QString taken = "Операция с такими параметрами уже заведена!";
    struct Case {
        const char* name;
        int tag;
        QString productText, kindText;
        int product, kind, naimen, current;
        QString message; // empty: written
    } cases[] = {
        {"no product", 1, " ", "Покраска", product, kind, 1, 0, "Все поля должны быть заполнены!"},
        {"no kind", 1, "Стол", "", product, kind, 1, 0, "Все поля должны быть заполнены!"},
        {"add the same", 1, "Стол", "Покраска", product, kind, 0, 0, taken},
        {"change into another's", 2, "Стол", "Покраска", product, kind, 0, otherOper, taken},
        {"change, own row unchanged", 2, "Стол", "Покраска", product, kind, 0, oper, ""},
        {"add, blanks instead of finished", 1, "Стол", "Покраска", product, kind, 1, 0, ""},
        {"add, other product", 1, "Стул", "Покраска", otherProduct, kind, 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messenger.clear();
        const int before = opers();
        const bool saved = saveOperationPrice(dm, c.tag, c.productText, c.kindText, c.product, c.kind, c.naimen,
                                              c.current);
        EXPECT_EQ(saved, c.message.isEmpty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messenger.messages.empty());
            EXPECT_EQ(opers(), before + (c.tag == 1 ? 1 : 0));
        } else {
            ASSERT_EQ(messenger.messages.size(), 1u);
            EXPECT_EQ(messenger.messages[0].text, c.message);
            EXPECT_EQ(messenger.messages[0].title, "Ошибка");
            EXPECT_EQ(opers(), before);
        }
    }
    EXPECT_EQ(count("select count(*) from accounts_dep.oper where vid=:k and i_id=:p and naimen=1",
                    {{"k", kind}, {"p", product}}),
              1);
}

TEST_F(PriceStepsTest, ChangeRewritesKindProductKindAndProduct) {
    ASSERT_TRUE(saveOperationPrice(dm, 2, "Стул", "Сварка", otherProduct, otherKind, 1, oper));
    EXPECT_EQ(db.scalar("select vid||'|'||naimen||'|'||i_id from accounts_dep.oper where id=:id", {{"id", oper}})
                  .toString(),
              QString("%1|1|%2").arg(otherKind).arg(otherProduct));
}

TEST_F(PriceStepsTest, NewPriceIsListedWithItsFirstNorm) {
    dm.Oper.open();
    const int listed = dm.Oper.recordCount();
    ASSERT_TRUE(saveOperationPrice(dm, 1, "Стул", "Сварка", otherProduct, otherKind, 0, 0));
    const int id = db.scalar("select id from accounts_dep.oper where i_id=:p", {{"p", otherProduct}}).toInt();
    EXPECT_EQ(dm.Oper.recordCount(), listed + 1);
    ASSERT_TRUE(dm.Oper.locate("id", id));
    EXPECT_EQ(dm.Oper.asInt("norma"), 1);
    EXPECT_EQ(dm.Oper.asDouble("cena"), 0.0);
    // an operation price written together with its norms keeps just those
    const int withNorms = addOper(otherKind, 1, otherProduct, {"4.5", "6"});
    EXPECT_EQ(count("select count(*) from accounts_dep.norm where o_id=:o", {{"o", withNorms}}), 2);
}

TEST_F(PriceStepsTest, DeleteLeavesNormsAndRecords) {
    addRecord(product, oper, QDate(2024, 3, 1));
    const int norms = count("select count(*) from accounts_dep.norm where o_id=:o", {{"o", oper}});
    deleteOperationPrice(dm, oper);
    EXPECT_EQ(count("select count(*) from accounts_dep.oper where id=:o", {{"o", oper}}), 0);
    EXPECT_EQ(count("select count(*) from accounts_dep.norm where o_id=:o", {{"o", oper}}), norms);
    EXPECT_EQ(count("select count(*) from accounts_dep.smena where o_id=:o", {{"o", oper}}), 1);
    EXPECT_TRUE(dm.Oper.isOpen());
    EXPECT_FALSE(dm.Oper.locate("id", oper));
}

TEST_F(PriceStepsTest, DescriptionReadsMarkKindAndProductKind) {
    const int quoted = addProduct("Д'Артаньян  ");
    const int blanks = addOper(kind, 1, quoted);
    dm.Oper.open();
    ASSERT_TRUE(dm.Oper.locate("id", blanks));
    EXPECT_EQ(operationDescription(dm), "Д'Артаньян; Покраска; Заготовки");
    ASSERT_TRUE(dm.Oper.locate("id", oper));
    EXPECT_EQ(operationDescription(dm), "Стол; Покраска; Готовая продукция");
}
