// Opening the four shift datasets of a day with 600 records, beside the same four statements
// run directly through libpq (PQexecParams, all rows read as text) in the same run.
// Needs the local cluster with the template database: scripts/db start && scripts/db template.
#include "bench/bench_support.h"
#include "app/connection.h"
#include "app/data_module.h"
#include "app/services.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <libpq-fe.h>
#include <vector>

namespace {
void fill(Connection& c) {
    c.exec("insert into cmn_contractor.person (s_caption) select 'Рабочий ' || g from generate_series(1, 150) g");
    c.exec("insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, id_msm_bs, massa) "
           "select 1000 + g, 'Изделие ' || g, 6, 1 from generate_series(1, 40) g");
    c.exec("insert into accounts_dep.vid_oper (vid) select 'Операция ' || g from generate_series(1, 10) g");
    c.exec("insert into accounts_dep.oper (vid, naimen, i_id, cena_new) select v.id, 0, p.id, 0 "
           "from accounts_dep.vid_oper v, cmn_gds_and_srv.gds_and_srv p where v.id < 7777 and p.id > 1000");
    c.exec("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok, "
           "vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
           "select date '2024-03-05', 1 + g % 4, (select min(id) from cmn_contractor.person) + g % 150, o.i_id, o.id, "
           "2.5, 10, 1, 0, 4, case when g % 3 = 0 then 'ok' else 'no' end, date '2024-03-05', 0, 0, 0, 0, 0, 0 "
           "from generate_series(1, 600) g join lateral (select * from accounts_dep.oper where vid < 7777 "
           "offset (g % 300) limit 1) o on true");
    // other days, so the day's rows are found among many
    c.exec("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok, "
           "vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
           "select date '2024-03-05' + (g % 60) - 30, 1 + g % 4, (select min(id) from cmn_contractor.person) + g % 150, "
           "s.i_id, s.o_id, 2.5, 10, 1, 0, 4, 'ok', now(), 0, 0, 0, 0, 0, 0 "
           "from generate_series(1, 30000) g, (select i_id, o_id from accounts_dep.smena limit 1) s "
           "where (g % 60) <> 30");
    c.exec("analyze");
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(5, atoi(argv[1])) : 51;
    const QString dbName = QStringLiteral("tabel_bench_shift_log");
    recreateBenchDatabase(dbName);
    NullMessenger m;
    TDataModule6 dm(m);
    dm.ADO_DB.setConnectionText(buildConnectionText(dbName, "127.0.0.1"));
    dm.ADO_DB.open();
    fill(dm.ADO_DB);

    const QDate day(2024, 3, 5);
    for (int s = 1; s <= 4; ++s) {
        dm.smena(s).setParam("data", day);
        dm.smena(s).setParam("ok", "ta");
    }
    const ConnectionParams p = parseConnectionText(dm.ADO_DB.connectionText());
    const QByteArray conninfo = QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 password=%5")
                                    .arg(p.server).arg(p.port).arg(dbName, p.user, p.password)
                                    .toUtf8();
    PGconn* pg = PQconnectdb(conninfo.constData());
    if (PQstatus(pg) != CONNECTION_OK) {
        std::fprintf(stderr, "libpq: %s\n", PQerrorMessage(pg));
        return 1;
    }
    std::vector<QByteArray> raw;
    for (int s = 1; s <= 4; ++s) {
        QString sql = TDataModule6::smenaSql(s);
        sql.replace(":data", "$1::date").replace(":ok", "$2");
        raw.push_back(sql.toUtf8());
    }

    std::vector<double> dataset, direct;
    int rows = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        rows = 0;
        for (int s = 1; s <= 4; ++s) {
            dm.smena(s).close();
            dm.smena(s).open();
            rows += dm.smena(s).recordCount();
        }
        dataset.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        int directRows = 0;
        const char* values[2] = {"2024-03-05", "ta"};
        for (const QByteArray& sql : raw) {
            PGresult* r = PQexecParams(pg, sql.constData(), 2, nullptr, values, nullptr, nullptr, 0);
            if (PQresultStatus(r) != PGRES_TUPLES_OK) {
                std::fprintf(stderr, "libpq: %s\n", PQresultErrorMessage(r));
                return 1;
            }
            const int n = PQntuples(r), f = PQnfields(r);
            size_t bytes = 0;
            for (int row = 0; row < n; ++row)
                for (int col = 0; col < f; ++col)
                    bytes += static_cast<size_t>(PQgetlength(r, row, col)) + (PQgetvalue(r, row, col)[0] != 0);
            directRows += n;
            (void)bytes;
            PQclear(r);
        }
        direct.push_back(t.nsecsElapsed() / 1e6);
        if (directRows != rows) {
            std::fprintf(stderr, "row counts differ: %d vs %d\n", rows, directRows);
            return 1;
        }
    }
    PQfinish(pg);
    const double a = median(dataset), b = median(direct);
    std::printf("shift log, 4 datasets, %d rows, median of %d runs: datasets %.2f ms, libpq %.2f ms, ratio %.2f\n",
                rows, runs, a, b, a / b);

    dropBenchDatabase(dbName);
    return 0;
}
