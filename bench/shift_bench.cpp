// Saving one shift record with the roll-up of its day (one transaction: lock, duplicate check,
// insert, time-sheet count, day total, time-sheet write), beside one bare insert of the same
// record committed on its own, in the same run. Medians over a few hundred saves each.
// Needs the local cluster with the template database: scripts/db start && scripts/db template.
#include "bench/bench_support.h"
#include "app/connection.h"
#include "app/data_module.h"
#include "app/dataset.h"
#include "app/services.h"
#include "shift/shift_record.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kWorkers = 40;
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(11, atoi(argv[1])) : 400;
    const QString dbName = QStringLiteral("tabel_bench_shift");
    recreateBenchDatabase(dbName);
    NullMessenger m;
    TDataModule6 dm(m);
    dm.ADO_DB.setConnectionText(buildConnectionText(dbName, "127.0.0.1"));
    dm.ADO_DB.open();
    Connection& c = dm.ADO_DB;
    c.exec("insert into cmn_contractor.person (s_caption) select 'Рабочий ' || g from generate_series(1, 40) g");
    c.exec("insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, id_msm_bs, massa) values (1001, 'Рама', 6, 1)");
    const int kind = c.scalar("insert into accounts_dep.vid_oper (vid) values ('Сварка') returning id").toInt();
    const int oper =
        c.scalar("insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (:k, 0, 1001, 10) returning id",
                 {{"k", kind}})
            .toInt();
    const int firstWorker = c.scalar("select min(id) from cmn_contractor.person").toInt();
    // a month of other records and time-sheet rows around the measured ones
    c.exec(QStringLiteral("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, "
                          "time, ok, vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
                          "select date '2024-02-01' + g % 28, 1 + g % 4, %1 + g % 40, 1001, %2, 10, 5, 0, 0, 4, 'no', "
                          "now(), 0, 0, 0, 0, 0, 0 from generate_series(1, 20000) g")
               .arg(firstWorker)
               .arg(oper));
    c.exec("analyze");

    const QDate today(2024, 3, 29);
    Command smenaIU(c, QStringLiteral("SmenaIU"));
    auto recordNo = [&](int i) {
        ShiftRecord r;
        r.workerId = firstWorker + i % kWorkers;
        r.productId = 1001;
        r.operId = oper;
        r.price = 10.0 / 3.0;
        r.quantity = QStringLiteral("12");
        r.rejects = QStringLiteral("0");
        r.hours = QStringLiteral("2");
        r.colour = i; // keeps every record apart from the others for the duplicate rule
        r.shift = 1 + (i / kWorkers) % 4;
        r.date = QDate(2024, 3, 1 + (i / (kWorkers * 4)) % 31);
        return r;
    };
    auto bareInsert = [&](const ShiftRecord& r) {
        return QStringLiteral("insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, "
                              "color, time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, "
                              "id_cons_use) values(%1, %2, %3, %4,%5, %6, to_date('%7', 'DD.MM.YYYY HH24:MI:SS'), "
                              "%8, %9, %10, '%11', 'no', 0, 0, 0, 0, 0, 0)")
            .arg(r.workerId)
            .arg(r.productId)
            .arg(r.operId)
            .arg(storedPriceText(r.price), r.quantity, r.rejects, r.date.toString("dd.MM.yyyy"))
            .arg(r.shift)
            .arg(r.colour + 1'000'000)
            .arg(r.hours, today.toString("dd.MM.yyyy"));
    };

    std::vector<double> saves, inserts;
    for (int i = 0; i < runs; ++i) {
        const ShiftRecord r = recordNo(i);
        QElapsedTimer t;
        t.start();
        if (saveShiftRecord(dm, smenaIU, r, 0, today) != SaveOutcome::Saved) {
            std::fprintf(stderr, "record %d refused as a duplicate\n", i);
            return 1;
        }
        saves.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        c.exec(bareInsert(r)); // autocommit: the insert with its commit
        inserts.push_back(t.nsecsElapsed() / 1e6);
    }
    const int sheetRows = c.scalar("select count(*) from accounts_dep.h_tabel").toInt();
    const double a = median(saves), b = median(inserts);
    std::printf("shift record save with roll-up, median of %d: %.3f ms; bare insert with commit: %.3f ms; "
                "ratio %.2f (%d time-sheet rows)\n",
                runs, a, b, a / b, sheetRows);

    dropBenchDatabase(dbName);
    return 0;
}
