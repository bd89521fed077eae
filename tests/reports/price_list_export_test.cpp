// The operation price list's spreadsheet export, checked against the database.
#include "app/data_module.h"
#include "reports/excel_export.h"
#include "reports/price_list_export.h"
#include "tests/reports/xlsx_reader.h"
#include "tests/support/test_support.h"

#include <QLocale>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

class PriceListExportTest : public ::testing::Test {
protected:
    AppHarness h;
    TDataModule6& dm() { return *h.forms->DataModule6; }

    int product(const QString& mark) {
        return h.db.scalar("insert into cmn_gds_and_srv.gds_and_srv(s_caption) values (:m) returning id", {{"m", mark}})
            .toInt();
    }
    int kind(const QString& name) {
        return h.db.scalar("insert into accounts_dep.vid_oper(vid) values (:v) returning id", {{"v", name}}).toInt();
    }
    int operation(int kindId, int naimen, int productId, const QVariant& cenaNew) {
        return h.db
            .scalar("insert into accounts_dep.oper(vid, naimen, i_id, cena_new) values (:k, :n, :p, :c) returning id",
                    {{"k", kindId}, {"n", naimen}, {"p", productId}, {"c", cenaNew}})
            .toInt();
    }
};

TEST_F(PriceListExportTest, ExportsEveryOperationPriceWithItsOwnPrice) {
    ASSERT_TRUE(h.connected);
    const int painting = kind("Покраска");
    const int cutting = kind("Резка");
    const int body = product("Корпус \"Б\" 1'2");
    const int lid = product("Крышка");
    operation(painting, 0, body, "12.5000");
    operation(painting, 1, body, "3.2500");
    operation(cutting, 0, lid, "100.0000");
    const int withoutNorms = operation(cutting, 1, lid, QVariant());
    const int cheapNorm = operation(painting, 0, lid, "7.0000");
    // One operation price has no norm at all, another a norm cheaper than its own price.
    h.db.exec("delete from accounts_dep.norm where o_id = :o", {{"o", withoutNorms}});
    h.db.exec("update accounts_dep.norm set price = 1 where o_id = :o", {{"o", cheapNorm}});

    PlainExcel excel(h.messenger, &h.spreadsheet);
    ASSERT_EQ(exportPriceList(dm(), excel), 1);
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join('\n').toStdString();
    ASSERT_EQ(h.spreadsheet.opened.size(), 1);
    XlsxFile x(h.spreadsheet.opened[0]);
    ASSERT_TRUE(x.error().isEmpty()) << x.error().toStdString();

    EXPECT_EQ(x.cell("A1")->value, "Марка");
    EXPECT_EQ(x.cell("B1")->value, "Операция");
    EXPECT_EQ(x.cell("C1")->value, "Цена");
    EXPECT_EQ(x.cell("D1")->value, "Вид");

    // Independently of the export's statement: every operation price of a product, in list order.
    QSqlQuery q(h.db.sql().db());
    ASSERT_TRUE(q.exec("select g.s_caption, v.vid, o.naimen, coalesce(o.cena_new, 0)::float8"
                       "  from accounts_dep.oper o join cmn_gds_and_srv.gds_and_srv g on g.id = o.i_id"
                       "  join accounts_dep.vid_oper v on v.id = o.vid order by g.s_caption, v.vid, o.naimen"));
    int row = 1;
    while (q.next()) {
        ++row;
        SCOPED_TRACE(row);
        auto mark = x.cell(XlsxFile::ref(1, row));
        auto kindName = x.cell(XlsxFile::ref(2, row));
        auto price = x.cell(XlsxFile::ref(3, row));
        auto naimen = x.cell(XlsxFile::ref(4, row));
        ASSERT_TRUE(mark && kindName && price && naimen);
        EXPECT_EQ(mark->value, q.value(0).toString());
        EXPECT_EQ(kindName->value, q.value(1).toString());
        EXPECT_TRUE(price->isNumber) << price->value.toStdString();
        EXPECT_DOUBLE_EQ(price->value.toDouble(), q.value(3).toDouble());
        EXPECT_EQ(naimen->value, q.value(2).toInt() == 0 ? "Готовая продукция" : "Заготовки");
        for (const auto& c : {mark, kindName, price, naimen})
            EXPECT_FALSE(c->bold || c->textFormat);
    }
    EXPECT_EQ(row, 6);
    EXPECT_EQ(x.lastRow(), 6);
    EXPECT_EQ(x.cells().size(), 24);
    // The price column holds cena_new, not the lowest norm price.
    EXPECT_EQ(x.cell("C4")->value, "7");
    EXPECT_EQ(x.cell("C6")->value, "0") << "no stored price reads as 0";
}

TEST_F(PriceListExportTest, WithoutTheApplicationNothingIsExported) {
    ASSERT_TRUE(h.connected);
    operation(kind("Покраска"), 0, product("Корпус"), "1.0000");
    h.spreadsheet.installed = false;
    PlainExcel excel(h.messenger, &h.spreadsheet);
    EXPECT_EQ(exportPriceList(dm(), excel), -1);
    EXPECT_EQ(h.messenger.texts(),
              (QStringList{"Невозможно открыть Microsoft Excel.", "Ошибка открытия файла Microsoft Excel."}));
    EXPECT_TRUE(h.spreadsheet.opened.isEmpty());
    EXPECT_TRUE(QDir(h.spreadsheet.folder.path()).isEmpty());
}

TEST(SystemNumberText, WritesTheExactDecimalWithTheSystemSeparator) {
    const QString dp = QLocale::system().decimalPoint();
    const struct {
        const char* decimal;
        QString text;
    } cases[] = {
        {"12.5000", "12" + dp + "5"}, {"0.0000", "0"},        {"100.0000", "100"}, {"-3.2500", "-3" + dp + "25"},
        {"7", "7"},                   {"0.0001", "0" + dp + "0001"}, {"-0.0000", "0"},
        {"123456789012345.1234", "123456789012345" + dp + "1234"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(systemNumberText(c.decimal), c.text) << c.decimal;
}

} // namespace
