#pragma once
// The whole program on a fresh database, with helpers that arrange reference book rows and act
// inside the lists while they are shown.
#include "app/data_module.h"
#include "app/db_grid.h"
#include "app/forms.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

class ListsTest : public ::testing::Test {
protected:
    AppHarness h;
    TDataModule6& dm() { return *h.forms->DataModule6; }

    int addWorker(const QString& fio, const QString& staff = {}) {
        return h.db
            .scalar("insert into cmn_contractor.person (s_caption, s_staffpos_hl) values (:f, :s) returning id",
                    {{"f", fio}, {"s", staff}})
            .toInt();
    }
    int addKind(const QString& name) {
        return h.db.scalar("insert into accounts_dep.vid_oper (vid) values (:v) returning id", {{"v", name}}).toInt();
    }
    int addGroup(const QString& caption, int excluded = 0) {
        return h.db
            .scalar("insert into cmn_classifier.item (s_caption, b_excluded) values (:c, :x) returning id",
                    {{"c", caption}, {"x", excluded}})
            .toInt();
    }
    int count(const QString& sql, const QVariantMap& params = {}) { return h.db.scalar(sql, params).toInt(); }

    // Runs the action while the next window is shown modally; returns whether that window was
    // still open when the action ended (false: it closed itself).
    void whileShown(std::function<void(QDialog&)> act, bool* stillOpen = nullptr) {
        h.modal.actions.push_back([act = std::move(act), stillOpen](QDialog& w) {
            act(w);
            if (stillOpen)
                *stillOpen = w.isVisible();
            return int(QDialog::Rejected);
        });
    }

    static QPushButton* button(QDialog& w, const char* name) {
        auto* b = named<QPushButton>(&w, QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    static QLineEdit* edit(QDialog& w, const char* name = "Edit1") {
        auto* e = named<QLineEdit>(&w, QString::fromLatin1(name));
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    // Types the characters one key press at a time (QTest's key clicks know ASCII only).
    static void type(QWidget* w, const QString& text) {
        for (const QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &release);
        }
    }
    // Texts of a grid column as shown.
    static QStringList column(QDialog& w, const QString& field) {
        auto* grid = named<DBGrid>(&w, QStringLiteral("DBGrid1"));
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->cellText(r, field);
        return out;
    }
    // The text of the grid row the dataset stands on.
    static QString current(QDialog& w, const QString& field) {
        auto* grid = named<DBGrid>(&w, QStringLiteral("DBGrid1"));
        return grid->cellText(grid->dataset()->currentRow(), field);
    }
};
