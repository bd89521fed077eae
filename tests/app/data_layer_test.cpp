// Data layer: connection text, statement parameters, client-side filters, datasets against a
// real server, CheckExists / ToDbDecimal, access codes and the year-box rule.
#include "app/access.h"
#include "app/connection.h"
#include "app/data_module.h"
#include "app/db_error.h"
#include "app/filter_expr.h"
#include "app/sql_params.h"
#include "app/year_range.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {
const QString kTail = QStringLiteral(
    ";PORT=5432;UID=sys;PWD=tumbrex;SSLmode=allow;"
    "ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;ShowSystemTables=0;Fetch=100;"
    "UnknownSizes=0;MaxVarcharSize=255;MaxLongVarcharSize=8190;"
    "Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;"
    "ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;"
    "TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;LowerCaseIdentifier=0;D6=-101;"
    "OptionalErrors=0;XaOpt=1");
} // namespace

TEST(ConnectionText, ArgumentsTakeEffectOnlyWithTheServer) {
    struct Case {
        QStringList args;
        QString database, server;
    } cases[] = {
        {{}, "mirta_erp", "127.0.0.1"},
        {{"plantdb"}, "mirta_erp", "127.0.0.1"},
        {{"plantdb", ""}, "mirta_erp", "127.0.0.1"},
        {{"plantdb", "10.1.2.3"}, "plantdb", "10.1.2.3"},
        {{"", "db.plant"}, "", "db.plant"},
        {{"plantdb", "10.1.2.3", "extra"}, "plantdb", "10.1.2.3"},
    };
    for (const Case& c : cases) {
        const QString text = buildConnectionText(c.args);
        EXPECT_EQ(text, "DRIVER={PostgreSQL UNICODE};DATABASE=" + c.database + ";SERVER=" + c.server + kTail)
            << c.args.join(',').toStdString();
    }
}

TEST(ConnectionText, ReachesLibpqWithTheSameParameters) {
    qunsetenv(kPortOverrideEnv);
    ConnectionParams p = parseConnectionText(buildConnectionText(QStringLiteral("plantdb"), QStringLiteral("srv")));
    EXPECT_EQ(p.database, "plantdb");
    EXPECT_EQ(p.server, "srv");
    EXPECT_EQ(p.port, 5432);
    EXPECT_EQ(p.user, "sys");
    EXPECT_EQ(p.password, "tumbrex");
    EXPECT_EQ(p.sslMode, "allow");
    qputenv(kPortOverrideEnv, "54329");
    EXPECT_EQ(parseConnectionText(buildConnectionText(QStringList{})).port, 54329);
}

TEST(SqlParameters, NamesSkipQuotesAndCasts) {
    EXPECT_EQ(sqlParameterNames("select x::numeric from t where a=:data and b<>:OK and c=':fake' and d=:data"),
              (QStringList{"data", "ok"}));
    EXPECT_EQ(sqlParameterNames("select '10:30', \"a:b\" from t"), QStringList{});
}

TEST(FilterExpr, Conditions) {
    auto row = [](const QString& f) -> QVariant {
        if (f == u"marka")
            return QStringLiteral("О'Нил СТ-120");
        if (f == u"vid")
            return QStringLiteral("Покраска   ");
        if (f == u"i_id")
            return 7777;
        return {};
    };
    struct Case {
        const char* expr;
        bool match;
    } cases[] = {
        {"", true},
        {"marka like 'о''нил%'", true}, // letter case ignored, doubled apostrophe
        {"MARKA like '%ст-120%'", true},
        {"marka like 'СТ%'", false},
        {"marka like '%нил с%' and i_id<>7777", false},
        {"marka like '%нил с%' and i_id=7777", true},
        {"i_id<>7777", false},
        {"i_id!=7778", true},
        {"i_id>=7777 and i_id<7778", true},
        {"vid like 'покр%'", true},
        {"marka like '%_%'", false}, // only leading and trailing % are wildcards
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilterExpr::parse(QString::fromUtf8(c.expr)).matches(row), c.match) << c.expr;
    EXPECT_EQ(FilterExpr::quote(QStringLiteral("O'Neil")), "'O''Neil'");
    EXPECT_THROW(FilterExpr::parse(QStringLiteral("marka like 'open")), DbError);
    EXPECT_THROW(FilterExpr::parse(QStringLiteral("marka ~ 1")), DbError);
}

TEST(AccessCodes, TrimmedAndCaseSensitive) {
    EXPECT_EQ(roleForCode("63527140"), Role::Administrator);
    EXPECT_EQ(roleForCode(AccessCodes::kAdministrator2), Role::Administrator);
    EXPECT_EQ(roleForCode("  plutar "), Role::Planner);
    EXPECT_EQ(roleForCode("vindoku"), Role::Foreman);
    EXPECT_EQ(roleForCode("tromb\t"), Role::Warehouse);
    EXPECT_EQ(roleForCode("Vindoku"), Role::None);
    EXPECT_EQ(roleForCode("6352714"), Role::None);
    EXPECT_EQ(roleForCode(""), Role::None);
}

TEST(YearBox, CoversFirstYearToNextYearAndNeverSearchesWithoutEnd) {
    const QList<int> years = yearBoxYears(QDate(2026, 12, 11));
    EXPECT_EQ(years.first(), 2007);
    EXPECT_EQ(years.last(), 2027);
    EXPECT_EQ(yearBoxIndex(years, 2024), 2024 - 2007);
    EXPECT_EQ(yearBoxIndex(years, 2030), years.size() - 1);
    EXPECT_EQ(yearBoxIndex(years, 1999), 0);
}

class DatasetTest : public ::testing::Test {
protected:
    TestDb db;
    ScriptedMessenger messenger;
    TDataModule6 dm{messenger};
    void SetUp() override {
        dm.ADO_DB.setConnectionText(buildConnectionText(db.args()));
        dm.ADO_DB.open();
        db.exec("create table accounts_dep.t_rows (id serial, name varchar(50), price numeric(15,4), d date)");
        for (const char* n : {"Бета", "O'Neil", "Альфа", "Гамма"})
            db.exec("insert into accounts_dep.t_rows (name, price, d) values (:n, 1.2345, '2024-03-05')",
                    {{"n", QString::fromUtf8(n)}});
    }
};

TEST_F(DatasetTest, ParametersNavigationAndFields) {
    Dataset ds(dm.ADO_DB, "rows", "select id, name, price, d from accounts_dep.t_rows where name<>:skip order by id");
    ds.setParam("SKIP", QStringLiteral("Гамма"));
    ds.open();
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.asString("NAME"), "Бета");
    EXPECT_EQ(ds.asDecimal("price"), "1.2345");
    EXPECT_EQ(ds.asString("d"), "05.03.2024");
    ds.next();
    ds.next();
    EXPECT_FALSE(ds.eof());
    ds.next();
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.recNo(), 3);
    EXPECT_TRUE(ds.locate("name", QStringLiteral("O'Neil")));
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_FALSE(ds.locate("name", QStringLiteral("Нет")));
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_THROW(ds.asString("missing"), DbError);
    // a reopen with another parameter value reuses the prepared statement
    ds.setParam("skip", QStringLiteral("O'Neil"));
    ds.reopen();
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_FALSE(ds.locate("name", QStringLiteral("O'Neil")));
}

TEST_F(DatasetTest, FilterSwitchSurvivesReopen) {
    Dataset ds(dm.ADO_DB, "rows", "select * from accounts_dep.t_rows order by name");
    ds.open();
    ds.setFilter("name like " + FilterExpr::quote(QStringLiteral("o'n") + '%'));
    EXPECT_EQ(ds.recordCount(), 4); // filtering still off
    ds.setFiltered(true);
    EXPECT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.asString("name"), "O'Neil");
    ds.close();
    ds.open();
    EXPECT_EQ(ds.recordCount(), 1);
    ds.setFiltered(false);
    EXPECT_EQ(ds.recordCount(), 4);
}

TEST_F(DatasetTest, RefusedStatementsThrowWithTheServerMessage) {
    Dataset ds(dm.ADO_DB, "bad", "select * from accounts_dep.no_such_table");
    try {
        ds.open();
        FAIL() << "opened a missing table";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains("no_such_table")) << e.text().toStdString();
    }
    EXPECT_FALSE(ds.isOpen());
    Command cmd(dm.ADO_DB, "bad", "insert into accounts_dep.t_rows (id) values ('x')");
    EXPECT_THROW(cmd.execute(), DbError);
    // the connection stays usable
    EXPECT_EQ(dm.ADO_DB.scalar("select count(*) from accounts_dep.t_rows").toInt(), 4);
}

TEST_F(DatasetTest, TransactionRollsBackWhenLeftWithoutCommit) {
    try {
        Transaction tx(dm.ADO_DB);
        dm.ADO_DB.exec("delete from accounts_dep.t_rows");
        dm.ADO_DB.exec("insert into accounts_dep.t_rows (id) values ('x')");
        tx.commit();
    } catch (const DbError&) {
    }
    EXPECT_EQ(db.scalar("select count(*) from accounts_dep.t_rows").toInt(), 4);
}

TEST_F(DatasetTest, CheckExists) {
    EXPECT_FALSE(dm.CheckExists("select count(*) cnt from accounts_dep.t_rows where name='Нет'", "Есть!"));
    EXPECT_TRUE(messenger.messages.empty());
    EXPECT_TRUE(dm.CheckExists("select count(*) cnt from accounts_dep.t_rows where name='Альфа'", "Есть!"));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0].text, "Есть!");
    EXPECT_EQ(messenger.messages[0].title, "Ошибка");
    EXPECT_EQ(messenger.messages[0].kind, Message::Error);
    messenger.clear();
    EXPECT_TRUE(dm.CheckExists("select 1 as cnt", ""));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0].text, "");
    EXPECT_THROW(dm.CheckExists("select 1 as other", "x"), DbError);
}

TEST(ToDbDecimal, ReplacesTheFirstSeparatorOnly) {
    ScriptedMessenger m;
    TDataModule6 dm(m);
    dm.Delim = ",";
    EXPECT_EQ(dm.ToDbDecimal("1.5"), "1,5");
    EXPECT_EQ(dm.ToDbDecimal("1,5"), "1,5");
    EXPECT_EQ(dm.ToDbDecimal("2"), "2");
    dm.Delim = ".";
    EXPECT_EQ(dm.ToDbDecimal("1,5.3"), "1.5.3");
    dm.Delim = "";
    EXPECT_EQ(dm.ToDbDecimal("1.5"), "15");
}
