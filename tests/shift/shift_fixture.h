#pragma once
// A small plant for the shift record tests: workers 12 and 13, two products, a welding, a
// painting and an assembly operation with their norms.
#include "app/connection.h"
#include "app/data_module.h"
#include "app/dataset.h"
#include "shift/shift_record.h"
#include "tests/support/test_support.h"

#include <QDate>

struct ShiftPlant {
    static constexpr int kWorker = 12;
    static constexpr int kOtherWorker = 13;
    static constexpr int kFrame = 101; // product "Рама-1"
    static constexpr int kTank = 102;  // product "Краска-бак": the mark names paint, the operation does not
    int welding = 0;                   // on the frame, finished product, norms 12.5 and 10
    int painting = 0;                  // "Окраска" on the frame, blanks, norm 1/3
    int tankWelding = 0;               // welding on the tank

    explicit ShiftPlant(TestDb& db) {
        db.exec("insert into cmn_contractor.person (id, s_caption) values (12, 'Иванов И.И.'), (13, 'Петров П.П.')");
        db.exec("insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, id_msm_bs, massa) values "
                "(101, 'Рама-1', 6, 1), (102, 'Краска-бак', 6, 1)");
        const int weld = db.scalar("insert into accounts_dep.vid_oper (vid) values ('Сварка') returning id").toInt();
        const int paint = db.scalar("insert into accounts_dep.vid_oper (vid) values ('Окраска') returning id").toInt();
        // Each operation price gets its first norm (its own stored price) when it is committed.
        welding = oper(db, weld, 0, kFrame, "10");
        db.exec("insert into accounts_dep.norm (o_id, norma, prize, price) values (:o, 2, 0, 12.5)", {{"o", welding}});
        painting = oper(db, paint, 1, kFrame, "0.333333333333");
        tankWelding = oper(db, weld, 0, kTank, "7");
    }
    static int oper(TestDb& db, int kind, int naimen, int product, const char* price) {
        return db
            .scalar("insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (:k, :n, :i, :p::numeric) "
                    "returning id",
                    {{"k", kind}, {"n", naimen}, {"i", product}, {"p", QString::fromLatin1(price)}})
            .toInt();
    }
};

// The data module connected to a test database, as the program holds it.
struct ShiftModule {
    ScriptedMessenger messenger;
    TDataModule6 dm{messenger};
    Command smenaIU{dm.ADO_DB, QStringLiteral("SmenaIU")};
    explicit ShiftModule(const TestDb& db) {
        dm.ADO_DB.setConnectionText(buildConnectionText(db.name(), QStringLiteral("127.0.0.1")));
        dm.ADO_DB.open();
    }
};
