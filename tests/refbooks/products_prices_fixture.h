#pragma once
// A data module connected to a fresh database, with helpers that arrange products, operation
// kinds, operation prices, norms and shift records.
#include "app/connection.h"
#include "app/data_module.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

class BookDbTest : public ::testing::Test {
protected:
    TestDb db;
    ScriptedMessenger messenger;
    TDataModule6 dm{messenger};

    void SetUp() override {
        dm.ADO_DB.setConnectionText(buildConnectionText(db.args()));
        dm.ADO_DB.open();
    }

    int count(const QString& sql, const QVariantMap& params = {}) { return db.scalar(sql, params).toInt(); }

    int addGroup(const QString& caption) {
        return db.scalar("insert into cmn_classifier.item (s_caption) values (:c) returning id", {{"c", caption}})
            .toInt();
    }
    int addProduct(const QString& mark, int group = 0, const QString& massa = "1") {
        return db
            .scalar("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, massa, "
                    "id_class_item) values (:m, '', 6, :n::numeric, :g) returning id",
                    {{"m", mark}, {"n", massa}, {"g", group == 0 ? QVariant() : QVariant(group)}})
            .toInt();
    }
    int addKind(const QString& name) {
        return db.scalar("insert into accounts_dep.vid_oper (vid) values (:v) returning id", {{"v", name}}).toInt();
    }
    // An operation price with the given norm prices (written in one transaction, so the first
    // norm the database would add is not added).
    int addOper(int kind, int naimen, int product, const QStringList& normPrices = {"10"}) {
        Transaction tx(db.sql());
        const int id = db.scalar("insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (:k, :n, :p, 0) "
                                 "returning id",
                                 {{"k", kind}, {"n", naimen}, {"p", product}})
                           .toInt();
        int figure = 1;
        for (const QString& price : normPrices)
            db.exec("insert into accounts_dep.norm (o_id, norma, prize, price) values (:o, :f, 0, :p::numeric)",
                    {{"o", id}, {"f", figure++}, {"p", price}});
        tx.commit();
        return id;
    }
    void addRecord(int product, int oper, const QDate& date) {
        db.exec("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok) "
                "values (:d, 1, 1, :p, :o, 10, 5, 0, 0, 8, 'no')",
                {{"d", date}, {"p", product}, {"o", oper}});
    }
};
