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

// The whole program on a fresh database, for the windows of the products, operation prices and
// norms books: arranging rows and acting inside a window while it is shown modally.
#include "app/db_grid.h"
#include "app/forms.h"
#include "app/gui_services.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

class BookWindowTest : public ::testing::Test {
protected:
    AppHarness h;
    TDataModule6& dm() { return *h.forms->DataModule6; }
    int count(const QString& sql, const QVariantMap& params = {}) { return h.db.scalar(sql, params).toInt(); }

    int addGroup(const QString& caption) {
        return h.db.scalar("insert into cmn_classifier.item (s_caption) values (:c) returning id", {{"c", caption}})
            .toInt();
    }
    int addProduct(const QString& mark, int group = 0, const QString& massa = "1") {
        return h.db
            .scalar("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, massa, "
                    "id_class_item) values (:m, '', 6, :n::numeric, :g) returning id",
                    {{"m", mark}, {"n", massa}, {"g", group == 0 ? QVariant() : QVariant(group)}})
            .toInt();
    }
    int addKind(const QString& name) {
        return h.db.scalar("insert into accounts_dep.vid_oper (vid) values (:v) returning id", {{"v", name}}).toInt();
    }
    int addOper(int kind, int naimen, int product, const QStringList& normPrices = {"10"}) {
        Transaction tx(h.db.sql());
        const int id = h.db
                           .scalar("insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (:k, :n, :p, "
                                   "0) returning id",
                                   {{"k", kind}, {"n", naimen}, {"p", product}})
                           .toInt();
        int figure = 1;
        for (const QString& price : normPrices)
            h.db.exec("insert into accounts_dep.norm (o_id, norma, prize, price) values (:o, :f, 0, :p::numeric)",
                      {{"o", id}, {"f", figure++}, {"p", price}});
        tx.commit();
        return id;
    }

    // Runs the action while the next window is shown modally; records whether that window was
    // still open when the action ended (false: it closed itself).
    void whileShown(std::function<void(QDialog&)> act, bool* stillOpen = nullptr) {
        h.modal.actions.push_back([act = std::move(act), stillOpen](QDialog& w) {
            act(w);
            if (stillOpen)
                *stillOpen = w.isVisible();
            return int(QDialog::Rejected);
        });
    }
    template <typename T = QPushButton> static T* ctl(QDialog& w, const char* name) {
        T* c = named<T>(&w, QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QStringList column(QDialog& w, const QString& field) {
        auto* grid = named<DBGrid>(&w, QStringLiteral("DBGrid1"));
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->cellText(r, field);
        return out;
    }
};
