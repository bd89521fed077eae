// Norms: the grid saves a row when the cursor leaves its cell, new rows belong to the operation
// price, the last norm is kept, "Сохранить" refreshes the price list.
#include "refbooks/norms_table.h"
#include "refbooks/norms_window.h"
#include "refbooks/operation_prices_list.h"
#include "tests/refbooks/products_prices_fixture.h"

#include <QCheckBox>
#include <QTest>

TEST(NormPrice, ShownWithTwoOrThreeDecimals) {
    const std::pair<QVariant, QString> cases[] = {
        {QVariant("10"), "10.00"},       {QVariant("2.5"), "2.50"},    {QVariant("1.125"), "1.125"},
        {QVariant("1.1255"), "1.126"},   {QVariant("2.0004"), "2.00"}, {QVariant("9.9996"), "10.00"},
        {QVariant("-0.0004"), "0.00"},   {QVariant("0.0000"), "0.00"}, {QVariant(), ""},
        {QVariant(-1.2345), "-1.235"},
    };
    for (const auto& [value, shown] : cases)
        EXPECT_EQ(formatNormPrice(value), shown) << value.toString().toStdString();
}

class NormsWindowTest : public BookWindowTest {
protected:
    int oper = 0, otherOper = 0;
    void SetUp() override {
        ASSERT_TRUE(h.connected);
        const int kind = addKind("Сварка");
        const int product = addProduct("Стол");
        oper = addOper(kind, 0, product, {"10", "12"});
        otherOper = addOper(kind, 1, product, {"7"});
    }
    TForm22& norms() { return *h.forms->Form22; }
    QAbstractItemModel& model() { return *norms().DBGrid1->model(); }
    QString cell(int row, int column) { return model().index(row, column).data().toString(); }
    QStringList prices(int operId) {
        QStringList out;
        QSqlQuery q(h.db.sql().db());
        q.exec(QString("select coalesce(norma::text,'-')||'/'||coalesce(price::text,'-')||'/'||coalesce(prize::text,'-') from "
                       "accounts_dep.norm where o_id=%1 order by norma, id")
                   .arg(operId));
        while (q.next())
            out << q.value(0).toString();
        return out;
    }
    // Moves the grid's cursor as the user does (the grid reports the move).
    void go(int row, int column) { norms().DBGrid1->setCurrentIndex(model().index(row, column)); }
    void type(int row, int column, const QString& text) {
        go(row, column);
        ASSERT_TRUE(model().setData(model().index(row, column), text, Qt::EditRole))
            << h.messenger.texts().join('|').toStdString();
    }
    // Opens the norms of an operation price from the price list, as the double-click does.
    void openNorms(int operId, std::function<void(QDialog&)> act) {
        dm().Oper.open();
        ASSERT_TRUE(dm().Oper.locate("id", operId));
        whileShown(std::move(act));
        h.forms->Form4->Tag = 0;
        h.forms->Form4->CheckBox1->setChecked(true);
        h.forms->Form4->DBGrid1DblClick();
        EXPECT_EQ(h.modal.shown.last(), "TForm22");
    }
};

TEST_F(NormsWindowTest, ChangedCellIsSavedWhenTheCursorLeavesIt) {
    openNorms(oper, [&](QDialog&) {
        EXPECT_EQ(model().rowCount(), 2);
        EXPECT_EQ(cell(0, 1), "10.00");
        type(0, 1, "9,5");
        EXPECT_EQ(prices(oper), (QStringList{"1/10/0", "2/12/0"})); // not yet saved
        go(0, 2);
        EXPECT_EQ(prices(oper), (QStringList{"1/9.5/0", "2/12/0"}));
        EXPECT_EQ(cell(0, 1), "9.50");
        EXPECT_EQ(norms().DBGrid1->currentIndex(), model().index(0, 2));
        // moving the figure of the first norm past the second reorders the rows; the cursor
        // follows the row it was moved to
        type(0, 0, "5");
        go(1, 0);
        EXPECT_EQ(prices(oper), (QStringList{"2/12/0", "5/9.5/0"}));
        EXPECT_EQ(cell(0, 0), "2");
        EXPECT_EQ(norms().DBGrid1->currentIndex().row(), 0);
    });
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join('|').toStdString();
    EXPECT_EQ(prices(otherOper), QStringList{"1/7/0"});
}

TEST_F(NormsWindowTest, NewRowsBelongToTheOperationPriceShown) {
    openNorms(otherOper, [&](QDialog&) {
        go(0, 0);
        QTest::keyClick(norms().DBGrid1, Qt::Key_Down);
        EXPECT_EQ(model().rowCount(), 2);
        EXPECT_TRUE(norms().newRow);
        type(1, 0, "3");
        go(1, 1); // leaving the cell saves the new row
        EXPECT_EQ(prices(otherOper), (QStringList{"1/7/0", "3/-/-"}));
        // an untouched new row disappears when the cursor leaves it
        QTest::keyClick(norms().DBGrid1, Qt::Key_Down);
        EXPECT_EQ(model().rowCount(), 3);
        go(0, 1);
        EXPECT_EQ(model().rowCount(), 2);
        // a new row still being typed in is saved by "Сохранить"
        go(1, 1);
        QTest::keyClick(norms().DBGrid1, Qt::Key_Down);
        type(2, 1, "8.25");
        norms().Button1Click();
    });
    EXPECT_EQ(prices(otherOper), (QStringList{"1/7/0", "3/-/-"}) << "-/8.25/-");
    EXPECT_EQ(count("select count(*) from accounts_dep.norm where o_id is null"), 0);
    EXPECT_EQ(prices(oper), (QStringList{"1/10/0", "2/12/0"}));
    ASSERT_TRUE(dm().Oper.locate("id", otherOper));
    EXPECT_EQ(dm().Oper.asInt("norma"), 3);
}

// However a new row came into being, it is saved with the id of the operation price shown.
TEST_F(NormsWindowTest, TableFillsTheOperationPriceOfEveryNewRow) {
    NormTable table(dm().ADO_DB);
    table.openFor(oper);
    table.append();
    table.setValue("price", "1.5");
    table.requery(); // saves the pending row first and stands on it
    EXPECT_EQ(table.storedCount(), 3);
    const int id = table.dataset().asInt("id");
    EXPECT_EQ(h.db.scalar("select o_id||'/'||price from accounts_dep.norm where id=:id", {{"id", id}}).toString(),
              QString("%1/1.5").arg(oper));
    table.append();
    table.setValue("norma", "4");
    EXPECT_GT(table.post(), id);
    EXPECT_EQ(count("select count(*) from accounts_dep.norm where o_id=:o", {{"o", oper}}), 4);
}

TEST_F(NormsWindowTest, DeleteKeepsTheLastNorm) {
    openNorms(oper, [&](QDialog& w) {
        go(1, 0);
        ctl(w, "Button2")->click();
        EXPECT_EQ(model().rowCount(), 1);
        EXPECT_EQ(prices(oper), QStringList{"1/10/0"});
        go(0, 1);
        ctl(w, "Button2")->click();
        EXPECT_EQ(model().rowCount(), 1);
        EXPECT_EQ(cell(0, 1), "10.00");
    });
    EXPECT_EQ(prices(oper), QStringList{"1/10/0"});
    EXPECT_EQ(h.messenger.messages.size(), 0u);
}

TEST_F(NormsWindowTest, EscSavesTheOpenCellAndRefreshesThePriceList) {
    openNorms(oper, [&](QDialog& w) {
        go(1, 1);
        type(1, 1, "4");
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(prices(oper), (QStringList{"1/10/0", "2/4/0"}));
    ASSERT_TRUE(dm().Oper.locate("id", oper));
    EXPECT_EQ(dm().Oper.asDecimal("cena"), "4");
}

TEST_F(NormsWindowTest, WrongFigureIsRefusedWithAMessage) {
    openNorms(oper, [&](QDialog&) {
        go(0, 0);
        EXPECT_FALSE(model().setData(model().index(0, 0), "abc", Qt::EditRole));
        go(0, 1);
    });
    ASSERT_EQ(h.messenger.messages.size(), 1u);
    EXPECT_EQ(h.messenger.messages[0].title, "Ошибка");
    EXPECT_EQ(prices(oper), (QStringList{"1/10/0", "2/12/0"}));
}
