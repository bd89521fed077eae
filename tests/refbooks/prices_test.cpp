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

// ---------------------------------------------------------------------------- windows
#include "app/main_window.h"
#include "refbooks/norms_window.h"
#include "refbooks/operation_prices_dialog.h"
#include "refbooks/operation_prices_list.h"
#include "shift/shift_record_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>

class PriceWindowsTest : public BookWindowTest {
protected:
    TForm4& list() { return *h.forms->Form4; }
};

TEST_F(PriceWindowsTest, NewPriceMadeByPickingCanOpenItsNorms) {
    ASSERT_TRUE(h.connected);
    const int product = addProduct("Стол");
    const int kind = addKind("Сварка");
    whileShown([&](QDialog& prices) {
        EXPECT_EQ(prices.objectName(), "TForm4");
        whileShown([&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Заведение новой цены за операцию");
            whileShown([&](QDialog& products) {
                ASSERT_TRUE(dm().Izdel.locate("id", product));
                ctl(products, "Button2")->click();
            });
            ctl(dialog, "Button3")->click();
            whileShown([&](QDialog& kinds) {
                EXPECT_EQ(kinds.objectName(), "TForm8");
                ASSERT_TRUE(dm().Vid_oper.locate("id", kind));
                ctl(kinds, "Button2")->click();
            });
            ctl(dialog, "Button4")->click();
            EXPECT_EQ(ctl<QLineEdit>(dialog, "Edit1")->text(), "Стол");
            EXPECT_EQ(ctl<QLineEdit>(dialog, "Edit2")->text(), "Сварка");
            ctl<QComboBox>(dialog, "ComboBox1")->setCurrentIndex(1);
            ctl(dialog, "Button1")->click();
            EXPECT_FALSE(dialog.isVisible());
        });
        ctl(prices, "Button1")->click();
        EXPECT_EQ(column(prices, "MARKA"), QStringList{"Стол"});
        EXPECT_EQ(column(prices, "nmn"), QStringList{"Заготовки"});
        EXPECT_EQ(column(prices, "norma"), QStringList{"1"});
        whileShown([&](QDialog& norms) {
            EXPECT_EQ(norms.objectName(), "TForm22");
            auto* grid = named<QTableView>(&norms, "DBGrid1");
            ASSERT_NE(grid, nullptr);
            EXPECT_EQ(grid->model()->rowCount(), 1);
            EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "0.00");
        });
        ctl<QCheckBox>(prices, "CheckBox1")->setChecked(true);
        list().DBGrid1DblClick();
    });
    h.forms->Form1->N4->trigger();
    EXPECT_EQ(h.modal.shown, (QStringList{"TForm4", "TForm10", "TForm3", "TForm8", "TForm22"}));
    EXPECT_EQ(count("select count(*) from accounts_dep.oper where i_id=:p and vid=:k and naimen=1",
                    {{"p", product}, {"k", kind}}),
              1);
    EXPECT_FALSE(dm().Oper.isOpen());
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join('|').toStdString();
}

TEST_F(PriceWindowsTest, DoubleClickChangesOrOpensNormsInBrowseAndAlwaysPicksInPickMode) {
    ASSERT_TRUE(h.connected);
    const int product = addProduct("Стол");
    const int kind = addKind("Сварка");
    const int oper = addOper(kind, 1, product);
    struct Case {
        int tag;
        bool pricesTicked;
        QString opened; // window shown by the double-click; empty: the list closed by picking
    } cases[] = {{0, false, "TForm10"}, {0, true, "TForm22"}, {1, true, ""}, {1, false, ""}};
    dm().Oper.open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opened.toStdString() + (c.pricesTicked ? " ticked" : ""));
        h.modal.shown.clear();
        list().Tag = c.tag;
        list().CheckBox1->setChecked(c.pricesTicked);
        ASSERT_TRUE(dm().Oper.locate("id", oper));
        bool picked = false;
        if (c.tag != 0) {
            whileShown([&](QDialog& l) {
                list().DBGrid1DblClick();
                EXPECT_FALSE(l.isVisible());
            });
            list().openForPick(1, [&](const Dataset& row) { picked = row.asInt("id") == oper; });
            EXPECT_TRUE(picked);
            EXPECT_EQ(h.modal.shown, QStringList{"TForm4"});
        } else {
            list().DBGrid1DblClick();
            EXPECT_EQ(h.modal.shown, QStringList{c.opened});
        }
    }
    TForm10& dialog = *h.forms->Form10;
    EXPECT_EQ(dialog.ProductId, product);
    EXPECT_EQ(dialog.KindId, kind);
    EXPECT_EQ(dialog.ComboBox1->currentIndex(), 1);
}

TEST_F(PriceWindowsTest, SearchContainsTheTrimmedTextAsTyped) {
    ASSERT_TRUE(h.connected);
    const int kind = addKind("Сварка");
    for (const char* mark : {"Д'Артаньян", "Стол Д'Арт", "Дверь"})
        addOper(kind, 0, addProduct(QString::fromUtf8(mark)));
    whileShown([&](QDialog& prices) {
        auto* search = ctl<QLineEdit>(prices, "Edit1");
        search->setVisible(true);
        const std::pair<QString, QStringList> cases[] = {
            {"'арт", {"Д'Артаньян", "Стол Д'Арт"}},
            {"   ", {"Д'Артаньян", "Дверь", "Стол Д'Арт"}},
            {"Д'Арт", {"Д'Артаньян", "Стол Д'Арт"}},
            {"", {"Д'Артаньян", "Дверь", "Стол Д'Арт"}},
        };
        for (const auto& [text, marks] : cases) {
            search->setText(text);
            EXPECT_EQ(column(prices, "MARKA"), marks) << text.toStdString();
        }
    });
    h.forms->Form1->N4->trigger();
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join('|').toStdString();
}

TEST_F(PriceWindowsTest, DeleteAsksAndExcelHandsTheWorkbookOver) {
    ASSERT_TRUE(h.connected);
    const int kind = addKind("Сварка");
    const int oper = addOper(kind, 0, addProduct("Стол"));
    addOper(kind, 1, addProduct("Стул"));
    h.messenger.answers = {false, true};
    whileShown([&](QDialog& prices) {
        ASSERT_TRUE(dm().Oper.locate("id", oper));
        ctl(prices, "Button3")->click();
        EXPECT_EQ(column(prices, "MARKA").size(), 2);
        ASSERT_TRUE(dm().Oper.locate("id", oper));
        ctl(prices, "Button3")->click();
        EXPECT_EQ(column(prices, "MARKA"), QStringList{"Стул"});
        ctl(prices, "Button5")->click();
    });
    h.forms->Form1->N4->trigger();
    EXPECT_EQ(h.messenger.texts(), (QStringList{"Удалить операцию?", "Удалить операцию?"}));
    EXPECT_EQ(h.messenger.messages[0].title, "Удаление");
    EXPECT_EQ(count("select count(*) from accounts_dep.norm where o_id=:o", {{"o", oper}}), 1);
    EXPECT_EQ(h.spreadsheet.opened.size(), 1);
}

TEST_F(PriceWindowsTest, PickIntoTheShiftRecordSetsPriceAndDescription) {
    ASSERT_TRUE(h.connected);
    const int kind = addKind("Покраска");
    const int product = addProduct("Д'Артаньян");
    const int cheap = addOper(kind, 1, product, {"12", "10", "11"});
    addOper(kind, 0, product, {"3"});
    TForm1& main = *h.forms->Form1;
    main.CBox1->setChecked(true);
    main.CurSmena = 3;
    TForm11& record = *h.forms->Form11;
    record.Tag = 1;
    bool listOpen = true;
    whileShown([&](QDialog& prices) {
        EXPECT_EQ(prices.objectName(), "TForm4");
        EXPECT_EQ(ctl(prices, "Button2")->text(), "Выбрать");
        ctl<QLineEdit>(prices, "Edit1")->setText("Д'");
        ASSERT_TRUE(dm().Oper.locate("id", cheap));
        ctl(prices, "Button2")->click();
    }, &listOpen);
    record.Button4Click();
    EXPECT_FALSE(listOpen);
    EXPECT_EQ(record.OperId, cheap);
    EXPECT_EQ(record.ProductId, product);
    EXPECT_DOUBLE_EQ(record.Price, 24.0);
    EXPECT_EQ(record.Edit2->text(), "Д'Артаньян; Покраска; Заготовки");
    EXPECT_TRUE(dm().Oper.isOpen());
    EXPECT_FALSE(dm().Oper.filtered());
    EXPECT_FALSE(list().Edit1->isVisibleTo(&list()));
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join('|').toStdString();
}
