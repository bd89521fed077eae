// Saving and deleting shift records with the roll-up of the worker's day into the time sheet,
// the duplicate rule, the price rule, and two clients saving at the same moment.
#include "app/db_error.h"
#include "tests/shift/shift_fixture.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {
const QDate kDay(2024, 3, 5);
const QDate kToday(2024, 3, 7);
} // namespace

class ShiftRecordTest : public ::testing::Test {
protected:
    TestDb db;
    ShiftPlant plant{db};
    ShiftModule m{db};

    ShiftRecord record(int hours, const QDate& day = kDay, int oper = 0, int worker = ShiftPlant::kWorker) const {
        ShiftRecord r;
        r.workerId = worker;
        r.productId = ShiftPlant::kFrame;
        r.operId = oper == 0 ? plant.welding : oper;
        r.price = 12.5;
        r.quantity = QStringLiteral("10");
        r.rejects = QStringLiteral("1");
        r.hours = QString::number(hours);
        r.shift = 1;
        r.date = day;
        return r;
    }
    SaveOutcome save(const ShiftRecord& r, int changedId = 0) {
        return saveShiftRecord(m.dm, m.smenaIU, r, changedId, kToday);
    }
    int lastId() { return db.scalar("select max(id) from accounts_dep.smena").toInt(); }
    // The day's cell of worker 12's row for shift 1 of March 2024 (null when empty).
    QVariant cell(int day, int worker = ShiftPlant::kWorker, int shift = 1) {
        return db.scalar(QStringLiteral("select d%1 from accounts_dep.h_tabel where w_id=:w and smena=:s and month=3 "
                                        "and year=2024")
                             .arg(day),
                         {{"w", worker}, {"s", shift}});
    }
    int rows(int worker = ShiftPlant::kWorker) {
        return db.scalar("select count(*) from accounts_dep.h_tabel where w_id=:w", {{"w", worker}}).toInt();
    }
};

TEST(ShiftPrice, DayOffAndShiftFactorsRoundedHalfToEvenWithAPoint) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    struct Case {
        double base;
        bool dayOff;
        int shift;
        const char* stored;
    } cases[] = {
        {10, false, 1, "10"}, {10, false, 2, "10"}, {10, false, 3, "12"},  {10, false, 4, "15"},
        {10, true, 1, "20"},  {10, true, 2, "20"},  {10, true, 3, "24"},   {10, true, 4, "30"},
        {1.0 / 3.0, false, 1, "0.3333"},
        {12.34567, true, 3, "29.6296"},          // 29.629608
        {1.23445, false, 1, "1.2344"},           // a half goes to the even neighbour
        {1.23455, false, 1, "1.2346"},
        {0.00005, false, 1, "0"},
        {2.675, false, 4, "4.0125"},             // exactly 4.0125 on the digits, nothing to round
        {0.6172225, true, 3, "1.4813"},          // 1.481334: the product is taken on the digits
    };
    for (const Case& c : cases)
        EXPECT_EQ(storedPriceText(shiftRecordPrice(c.base, c.dayOff, c.shift)), c.stored)
            << c.base << " day off " << c.dayOff << " shift " << c.shift;
    QLocale::setDefault(before);
}

TEST_F(ShiftRecordTest, NewRecordIsStoredMarkedNoWithTheRoundedPrice) {
    ShiftRecord r = record(4);
    r.price = 1.0 / 3.0;
    r.colour = 9010;
    ASSERT_EQ(save(r), SaveOutcome::Saved);
    EXPECT_EQ(db.scalar("select concat_ws('|', w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, "
                        "vvod::date, ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
                        "from accounts_dep.smena")
                  .toString(),
              QStringLiteral("12|101|%1|0.3333|10|1|2024-03-05|1|9010|4|2024-03-07|no|0|0|0|0|0|0").arg(plant.welding));
}

TEST_F(ShiftRecordTest, RollUpExampleOfTwoRecordsAndADelete) {
    ASSERT_EQ(save(record(4)), SaveOutcome::Saved);
    EXPECT_EQ(cell(5).toInt(), 4);
    ASSERT_EQ(save(record(3, kDay, plant.painting)), SaveOutcome::Saved);
    const int threeHours = lastId();
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(cell(5).toInt(), 7);
    EXPECT_EQ(db.scalar("select concat_ws('|', smena, w_id, month, year, i_type, i_night) from accounts_dep.h_tabel")
                  .toString(),
              "1|12|3|2024|0|0");

    deleteShiftRecord(m.dm, threeHours, ShiftPlant::kWorker, 1, kDay);
    EXPECT_EQ(db.scalar("select count(*) from accounts_dep.smena").toInt(), 1);
    EXPECT_EQ(cell(5).toInt(), 4);
    EXPECT_EQ(rows(), 1);
}

TEST_F(ShiftRecordTest, FirstAndLastDayOfTheMonthAndZeroHours) {
    ASSERT_EQ(save(record(8, QDate(2024, 3, 1))), SaveOutcome::Saved);
    EXPECT_EQ(cell(1).toInt(), 8);
    EXPECT_TRUE(cell(2).isNull()) << "a day never written stays empty";
    ASSERT_EQ(save(record(6, QDate(2024, 3, 31))), SaveOutcome::Saved);
    EXPECT_EQ(cell(31).toInt(), 6);
    EXPECT_EQ(cell(1).toInt(), 8);
    ASSERT_EQ(save(record(0, QDate(2024, 3, 15))), SaveOutcome::Saved);
    EXPECT_FALSE(cell(15).isNull());
    EXPECT_EQ(cell(15).toInt(), 0);
    EXPECT_EQ(rows(), 1);
    // another shift and another month each have a row of their own
    ShiftRecord night = record(5);
    night.shift = 3;
    ASSERT_EQ(save(night), SaveOutcome::Saved);
    ASSERT_EQ(save(record(2, QDate(2024, 4, 5))), SaveOutcome::Saved);
    EXPECT_EQ(cell(5, ShiftPlant::kWorker, 3).toInt(), 5);
    EXPECT_EQ(rows(), 3);
}

TEST_F(ShiftRecordTest, DeletingTheLastRecordOfADayEmptiesOnlyThatDay) {
    ASSERT_EQ(save(record(4)), SaveOutcome::Saved);
    ASSERT_EQ(save(record(2, kDay.addDays(1))), SaveOutcome::Saved);
    const int second = lastId();
    deleteShiftRecord(m.dm, second, ShiftPlant::kWorker, 1, kDay.addDays(1));
    EXPECT_EQ(rows(), 1);
    EXPECT_TRUE(cell(6).isNull());
    EXPECT_EQ(cell(5).toInt(), 4);
    // a day whose remaining records have 0 hours shows 0, as a rebuild would
    ASSERT_EQ(save(record(0, kDay, plant.painting)), SaveOutcome::Saved);
    deleteShiftRecord(m.dm, db.scalar("select id from accounts_dep.smena where time=4").toInt(), ShiftPlant::kWorker,
                      1, kDay);
    EXPECT_FALSE(cell(5).isNull());
    EXPECT_EQ(cell(5).toInt(), 0);
}

TEST_F(ShiftRecordTest, ChangeRewritesTheNewDayAndLeavesTheOldOne) {
    ASSERT_EQ(save(record(4)), SaveOutcome::Saved);
    const int id = lastId();
    db.exec("update accounts_dep.smena set ok='ok', prize=5, id_doc=77 where id=:id", {{"id", id}});
    ASSERT_EQ(save(record(6), id), SaveOutcome::Saved);
    EXPECT_EQ(cell(5).toInt(), 6);
    // moved to another day: the new day gets its total, the old one keeps its hours until a rebuild
    ASSERT_EQ(save(record(6, kDay.addDays(2)), id), SaveOutcome::Saved);
    EXPECT_EQ(cell(7).toInt(), 6);
    EXPECT_EQ(cell(5).toInt(), 6);
    EXPECT_EQ(db.scalar("select concat_ws('|', data, time, ok, prize, id_doc, vvod::date) from accounts_dep.smena")
                  .toString(),
              "2024-03-07|6|ok|0|0|2024-03-07");
}

TEST_F(ShiftRecordTest, DuplicateRuleForNewAndChangedRecords) {
    ASSERT_EQ(save(record(4)), SaveOutcome::Saved);
    const int first = lastId();
    struct Case {
        const char* what;
        std::function<void(ShiftRecord&)> change;
        SaveOutcome expected;
    } cases[] = {
        {"the same record again", [](ShiftRecord&) {}, SaveOutcome::Duplicate},
        {"other hours, quantity and price only",
         [](ShiftRecord& r) {
             r.hours = "2";
             r.quantity = "99";
             r.price = 1;
         },
         SaveOutcome::Duplicate},
        {"other colour", [](ShiftRecord& r) { r.colour = 3020; }, SaveOutcome::Saved},
        {"other worker", [](ShiftRecord& r) { r.workerId = ShiftPlant::kOtherWorker; }, SaveOutcome::Saved},
        {"other operation", [this](ShiftRecord& r) { r.operId = plant.painting; }, SaveOutcome::Saved},
        {"other product", [](ShiftRecord& r) { r.productId = ShiftPlant::kTank; }, SaveOutcome::Saved},
        {"other date", [](ShiftRecord& r) { r.date = kDay.addDays(1); }, SaveOutcome::Saved},
        {"other shift", [](ShiftRecord& r) { r.shift = 2; }, SaveOutcome::Saved},
    };
    int expectedRecords = 1;
    for (const Case& c : cases) {
        ShiftRecord r = record(4);
        c.change(r);
        EXPECT_EQ(save(r), c.expected) << c.what;
        expectedRecords += c.expected == SaveOutcome::Saved ? 1 : 0;
        EXPECT_EQ(db.scalar("select count(*) from accounts_dep.smena").toInt(), expectedRecords) << c.what;
    }
    // A change is compared with the other records only.
    ShiftRecord same = record(5);
    EXPECT_EQ(save(same, first), SaveOutcome::Saved) << "unchanged key, own id excluded";
    ShiftRecord other = record(5);
    other.colour = 3020; // the values of another record of the same shift and date
    EXPECT_EQ(save(other, first), SaveOutcome::Duplicate);
    EXPECT_EQ(db.scalar("select color from accounts_dep.smena where id=:id", {{"id", first}}).toInt(), 0);
    EXPECT_EQ(cell(5).toInt(), 5 + 4 + 4 + 4) << "rows of worker 12, shift 1, 05.03: own 5, colour, operation, product";
}

TEST_F(ShiftRecordTest, ARefusedRollUpLeavesNoRecordBehind) {
    // the time sheet keeps hours in small integers: 40000 hours fit the record, not the sheet
    EXPECT_THROW(save(record(40000)), DbError);
    EXPECT_EQ(db.scalar("select count(*) from accounts_dep.smena").toInt(), 0);
    EXPECT_EQ(rows(), 0);
    // the connection is usable again at once
    ASSERT_EQ(save(record(4)), SaveOutcome::Saved);
    const int id = lastId();
    EXPECT_THROW(save(record(40000), id), DbError);
    EXPECT_EQ(db.scalar("select time from accounts_dep.smena").toInt(), 4);
    EXPECT_EQ(cell(5).toInt(), 4);
}

TEST_F(ShiftRecordTest, TypedNumbersMustBeDigits) {
    for (const char* bad : {"", "1;delete from accounts_dep.smena", "-1", "1.5", "١"}) {
        ShiftRecord r = record(4);
        r.quantity = QString::fromUtf8(bad);
        EXPECT_ANY_THROW(save(r)) << bad;
    }
    EXPECT_EQ(db.scalar("select count(*) from accounts_dep.smena").toInt(), 0);
}

// Two clients: the first has saved inside a transaction it has not committed yet; the second
// saves on its own connection and must wait for it instead of counting past its row.
class TwoClientsTest : public ShiftRecordTest {
protected:
    // Runs the second client's save in a thread (a connection belongs to the thread that opens it)
    // and lets the first client commit only once the second waits on the lock.
    SaveOutcome raceAgainstOpenTransaction(const ShiftRecord& first, const ShiftRecord& second) {
        Transaction open(m.dm.ADO_DB);
        EXPECT_EQ(save(first), SaveOutcome::Saved);
        std::atomic<int> outcome{-1};
        std::string failure;
        std::thread other([&] {
            try {
                ShiftModule client(db);
                outcome = static_cast<int>(saveShiftRecord(client.dm, client.smenaIU, second, 0, kToday));
            } catch (const std::exception& e) {
                failure = e.what();
                outcome = -2;
            }
        });
        QElapsedTimer waited;
        waited.start();
        bool blocked = false;
        while (!blocked && waited.elapsed() < 10000 && outcome == -1) {
            blocked = db.scalar("select count(*) from pg_locks where locktype='advisory' and not granted and "
                                "database=(select oid from pg_database where datname=current_database())").toInt() > 0;
            if (!blocked)
                QThread::msleep(10);
        }
        EXPECT_TRUE(blocked) << "the second client did not wait for the first";
        open.commit();
        other.join();
        EXPECT_EQ(failure, "");
        return static_cast<SaveOutcome>(outcome.load());
    }
};

TEST_F(TwoClientsTest, FirstRecordsOfAMonthMakeOneTimeSheetRow) {
    EXPECT_EQ(raceAgainstOpenTransaction(record(4), record(3, kDay.addDays(1))), SaveOutcome::Saved);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(cell(5).toInt(), 4);
    EXPECT_EQ(cell(6).toInt(), 3);
}

TEST_F(TwoClientsTest, TheSameRecordSavedTwiceIsKeptOnce) {
    EXPECT_EQ(raceAgainstOpenTransaction(record(4), record(4)), SaveOutcome::Duplicate);
    EXPECT_EQ(db.scalar("select count(*) from accounts_dep.smena").toInt(), 1);
    EXPECT_EQ(cell(5).toInt(), 4);
}
