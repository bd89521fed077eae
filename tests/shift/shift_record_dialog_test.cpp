// The shift record dialog through its controls: add, change and copy from the main window,
// validation, the painting rule, the price fields, and the main window's delete.
#include "app/data_module.h"
#include "app/main_window.h"
#include "shift/shift_record_dialog.h"
#include "tests/shift/shift_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QDate kDay(2024, 3, 5); // the harness's today, a Tuesday
const QString kFillAll = QStringLiteral("Все поля должны быть заполнены!");
const QString kDuplicate = QStringLiteral("Позиция с такими параметрами уже заведена!");
} // namespace

class ShiftDialogTest : public ::testing::Test {
protected:
    AppHarness h;
    ShiftPlant plant{h.db};
    QLocale before;

    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        main().FormActivate();
        h.messenger.clear();
    }
    void TearDown() override { QLocale::setDefault(before); }

    TForm1& main() { return *h.forms->Form1; }
    TForm11& dialog() { return *h.forms->Form11; }
    TDataModule6& dm() { return *h.forms->DataModule6; }
    QLineEdit* edit(const char* name) { return named<QLineEdit>(&dialog(), QString::fromLatin1(name)); }
    QPushButton* button(const char* name) { return named<QPushButton>(&dialog(), QString::fromLatin1(name)); }
    int records() { return h.db.scalar("select count(*) from accounts_dep.smena").toInt(); }

    // What the price list writes when the painting operation is chosen.
    void pickPainting() {
        TForm11& d = dialog();
        d.OperId = plant.painting;
        d.ProductId = ShiftPlant::kFrame;
        d.Price = shiftRecordPrice(1.0 / 3.0, false, 1);
        edit("Edit2")->setText(QStringLiteral("Рама-1; Окраска; Заготовки"));
    }
    void pickWelding() {
        TForm11& d = dialog();
        d.OperId = plant.welding;
        d.ProductId = ShiftPlant::kFrame;
        d.Price = 10;
        edit("Edit2")->setText(QStringLiteral("Рама-1; Сварка; Готовая продукция"));
    }
    void pickWorker() {
        dialog().WorkerId = ShiftPlant::kWorker;
        edit("Edit1")->setText(QStringLiteral("Иванов И.И."));
    }
    // A complete welding record on the add path, not yet saved.
    void fillWelding() {
        dialog().Tag = 1;
        dialog().DTimeP->setDate(kDay);
        pickWorker();
        pickWelding();
        edit("Edit3")->setText("10");
        edit("Edit4")->setText("0");
        edit("Edit6")->setText("4");
        edit("Edit5")->clear();
    }
    int record(int oper, int product, int hours, int colour = 0, double price = 12.5) {
        return h.db
            .scalar("insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, "
                    "ok, vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values "
                    "('2024-03-05', 1, 12, :i, :o, :p, 10, 1, :c, :t, 'no', '2024-03-01', 0, 0, 0, 0, 0, 0) "
                    "returning id",
                    {{"i", product}, {"o", oper}, {"p", price}, {"c", colour}, {"t", hours}})
            .toInt();
    }
    void rollUp() { rollUpDayAfterSave(dm(), ShiftPlant::kWorker, 1, kDay); }
    QVariant day5() {
        return h.db.scalar("select d5 from accounts_dep.h_tabel where w_id=12 and smena=1 and month=3 and year=2024");
    }
    void select(int id) {
        main().Button8Click();
        ASSERT_TRUE(dm().Smena1.locate("id", id));
    }
};

TEST_F(ShiftDialogTest, AddFromTheMainWindowPicksTheWorkerSavesAndRollsUp) {
    main().DateT->setDate(kDay.addDays(-1));
    main().DateTChange();
    dialog().DTimeP->setDate(QDate(2020, 1, 1));
    edit("Edit3")->setText("77");
    h.modal.actions.push_back([&](QDialog& w) {
        EXPECT_EQ(w.objectName(), "TForm11");
        EXPECT_EQ(w.windowTitle(), "Заведение новой позиции (11)");
        EXPECT_EQ(dialog().Tag, 1);
        EXPECT_EQ(dialog().DTimeP->date(), kDay.addDays(-1)) << "the main window's date";
        EXPECT_EQ(edit("Edit3")->text(), "");
        EXPECT_EQ(edit("Edit4")->text(), "0");
        EXPECT_EQ(edit("Edit6")->text(), "0");
        dialog().DTimeP->setDate(kDay); // a record may be dated apart from the shown day
        button("Button3")->click();     // the workers list, answered by the next action
        EXPECT_EQ(edit("Edit1")->text(), "Иванов И.И.");
        EXPECT_EQ(dialog().WorkerId, ShiftPlant::kWorker);
        pickWelding();
        QTest::keyClicks(edit("Edit3"), "10");
        edit("Edit6")->setText("4");
        button("Button1")->click();
        EXPECT_FALSE(w.isVisible() && w.result() != QDialog::Accepted);
        return w.result();
    });
    h.modal.actions.push_back([&](QDialog& list) {
        EXPECT_EQ(list.objectName(), "TForm5");
        auto* grid = named<QWidget>(&list, "DBGrid1");
        EXPECT_NE(grid, nullptr);
        EXPECT_TRUE(dm().Workers.locate("id", ShiftPlant::kWorker));
        named<QPushButton>(&list, "Button2")->click();
        return QDialog::Accepted;
    });
    main().Button1->click();
    EXPECT_EQ(h.modal.shown, (QStringList{"TForm11", "TForm5"}));
    EXPECT_EQ(h.messenger.texts(), QStringList{});
    EXPECT_EQ(h.db.scalar("select concat_ws('|', w_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok) "
                          "from accounts_dep.smena")
                  .toString(),
              QStringLiteral("12|%1|10|10|0|2024-03-05|1|0|4|no").arg(plant.welding));
    EXPECT_EQ(day5().toInt(), 4);
    for (const char* e : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9"})
        EXPECT_EQ(edit(e)->text(), "") << e;
    EXPECT_EQ(dialog().WorkerId, ShiftPlant::kWorker) << "members stay";
    // the shift log still shows the main window's day, which the record is not on
    EXPECT_EQ(dm().Smena1.recordCount(), 0);
}

TEST_F(ShiftDialogTest, ValidationRefusesTheFirstMissingField) {
    struct Case {
        const char* what;
        std::function<void()> spoil;
        bool saved;
    } cases[] = {
        {"worker", [&] { edit("Edit1")->setText("  "); }, false},
        {"operation", [&] { edit("Edit2")->clear(); }, false},
        {"quantity", [&] { edit("Edit3")->clear(); }, false},
        {"rejects", [&] { edit("Edit4")->clear(); }, false},
        {"colour of a painting", [&] { pickPainting(); }, false},
        {"hours", [&] { edit("Edit6")->clear(); }, false},
        {"everything at once", [&] {
             for (const char* e : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit6"})
                 edit(e)->clear();
         }, false},
        {"no colour needed", [] {}, true},
        {"painting with its colour", [&] {
             pickPainting();
             edit("Edit5")->setText("9010");
         }, true},
    };
    int expected = 0;
    for (const Case& c : cases) {
        h.messenger.clear();
        fillWelding();
        c.spoil();
        dialog().setResult(0);
        dialog().Button1Click();
        expected += c.saved ? 1 : 0;
        EXPECT_EQ(records(), expected) << c.what;
        if (c.saved) {
            EXPECT_EQ(h.messenger.texts(), QStringList{}) << c.what;
            EXPECT_EQ(dialog().result(), QDialog::Accepted) << c.what;
        } else {
            ASSERT_EQ(h.messenger.messages.size(), 1u) << c.what;
            EXPECT_EQ(h.messenger.messages[0].text, kFillAll) << c.what;
            EXPECT_EQ(h.messenger.messages[0].title, "Ошибка");
            EXPECT_EQ(dialog().result(), 0) << c.what << ": the dialog stays open";
            if (QString::fromUtf8(c.what) != "everything at once") {
                EXPECT_EQ(edit("Edit1")->text().trimmed().isEmpty(), QString::fromUtf8(c.what) == "worker")
                    << c.what << ": nothing is cleared";
            }
        }
    }
    EXPECT_EQ(h.db.scalar("select string_agg(color::text, ',' order by id) from accounts_dep.smena").toString(),
              "0,9010");
}

TEST_F(ShiftDialogTest, DigitsOnlyInQuantityColourRejectsAndHours) {
    for (const char* e : {"Edit3", "Edit5", "Edit4", "Edit6"}) {
        QLineEdit* box = edit(e);
        box->setEnabled(true);
        box->clear();
        QTest::keyClicks(box, "1a-2,5 ");
        EXPECT_EQ(box->text(), "125") << e;
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), "12") << e;
    }
}

TEST_F(ShiftDialogTest, PaintingRuleAfterChoosingTheOperation) {
    struct Case {
        const char* description;
        bool colour;
    } cases[] = {
        {"Рама-1; Окраска; Заготовки", true},
        {"Краска-бак; Сварка; Готовая продукция", true}, // the whole description counts here
        {"Рама-1; Сварка; Готовая продукция", false},
    };
    for (const Case& c : cases) {
        edit("Edit5")->setText("3020");
        edit("Edit2")->setText(QString::fromUtf8(c.description));
        dialog().Button4Click(); // the list leaves the description as it was
        EXPECT_EQ(edit("Edit5")->isEnabled(), c.colour) << c.description;
        EXPECT_EQ(named<QLabel>(&dialog(), "Label6")->isEnabled(), c.colour) << c.description;
        EXPECT_EQ(edit("Edit5")->text(), c.colour ? "3020" : "") << c.description;
    }
}

TEST_F(ShiftDialogTest, ChangeShowsTheRecordSavesItAndKeepsTheRecordNumber) {
    record(plant.tankWelding, ShiftPlant::kTank, 2); // listed before the frame
    const int painted = record(plant.painting, ShiftPlant::kFrame, 4, 9010, 1.0 / 3.0);
    rollUp();
    select(painted);
    const int recNo = dm().Smena1.recNo();
    ASSERT_EQ(recNo, 2);
    h.modal.actions.push_back([&](QDialog& w) {
        EXPECT_EQ(w.windowTitle(), "Изменение данных о позиции (11)");
        EXPECT_EQ(dialog().Tag, 2);
        EXPECT_EQ(edit("Edit1")->text(), "Иванов И.И.");
        EXPECT_EQ(edit("Edit2")->text(), "Рама-1; Окраска; Заготовки");
        EXPECT_EQ(edit("Edit3")->text(), "10");
        EXPECT_EQ(edit("Edit4")->text(), "1");
        EXPECT_EQ(edit("Edit6")->text(), "4");
        EXPECT_EQ(edit("Edit5")->text(), "9010");
        EXPECT_TRUE(edit("Edit5")->isEnabled());
        EXPECT_EQ(edit("Edit7")->text(), "0,3333");
        EXPECT_EQ(edit("Edit9")->text(), "3,3333");
        EXPECT_EQ(dialog().DTimeP->date(), kDay);
        EXPECT_EQ(dialog().OperId, plant.painting);
        edit("Edit6")->setText("6");
        button("Button1")->click();
        return w.result();
    });
    main().Button2->click();
    EXPECT_EQ(h.messenger.texts(), QStringList{});
    EXPECT_EQ(h.db.scalar("select concat_ws('|', time, cena, color, ok) from accounts_dep.smena where id=:id",
                          {{"id", painted}})
                  .toString(),
              "6|0.3333|9010|no");
    EXPECT_EQ(day5().toInt(), 8);
    EXPECT_EQ(dm().Smena1.recNo(), recNo);
    EXPECT_EQ(dm().Smena1.asInt("id"), painted);
}

TEST_F(ShiftDialogTest, ChangeLooksAtTheOperationKindAloneForPainting) {
    const int tank = record(plant.tankWelding, ShiftPlant::kTank, 3, 0);
    select(tank);
    edit("Edit5")->setText("3020");
    h.modal.actions.push_back([&](QDialog&) {
        EXPECT_EQ(edit("Edit2")->text(), "Краска-бак; Сварка; Готовая продукция");
        EXPECT_FALSE(edit("Edit5")->isEnabled());
        EXPECT_FALSE(named<QLabel>(&dialog(), "Label6")->isEnabled());
        EXPECT_EQ(edit("Edit5")->text(), "");
        return QDialog::Rejected;
    });
    main().Button2Click();
    EXPECT_EQ(h.modal.shown, QStringList{"TForm11"});
}

TEST_F(ShiftDialogTest, ChangeOntoAnotherRecordIsRefused) {
    const int welded = record(plant.welding, ShiftPlant::kFrame, 2);
    const int painted = record(plant.painting, ShiftPlant::kFrame, 4, 9010);
    select(welded);
    h.modal.actions.push_back([&](QDialog& w) {
        pickPainting();
        edit("Edit5")->setEnabled(true);
        edit("Edit5")->setText("9010");
        button("Button1")->click();
        EXPECT_EQ(h.messenger.texts(), QStringList{kDuplicate});
        EXPECT_NE(w.result(), QDialog::Accepted);
        return QDialog::Rejected;
    });
    main().Button2Click();
    EXPECT_EQ(h.db.scalar("select o_id from accounts_dep.smena where id=:id", {{"id", welded}}).toInt(), plant.welding);
    EXPECT_NE(painted, welded);
}

TEST_F(ShiftDialogTest, ChangeOnAnEmptyShiftLogShowsNothing) {
    main().Button2Click();
    main().N21->trigger();
    EXPECT_EQ(h.modal.shown, QStringList{});
}

TEST_F(ShiftDialogTest, CopyIsRefusedUnchangedAndInsertedWithANewColour) {
    const int painted = record(plant.painting, ShiftPlant::kFrame, 4, 9010, 1.0 / 3.0);
    rollUp();
    // the copy is made in the second shift
    h.db.exec("update accounts_dep.smena set smena=2 where id=:id", {{"id", painted}});
    main().RadioButton2->click();
    main().Button8Click();
    ASSERT_EQ(dm().Smena2.recordCount(), 1);
    h.modal.actions.push_back([&](QDialog& w) {
        EXPECT_EQ(dialog().Tag, 3);
        EXPECT_EQ(w.windowTitle(), "Изменение данных о позиции (11)");
        button("Button1")->click();
        EXPECT_EQ(h.messenger.texts(), QStringList{kDuplicate});
        EXPECT_NE(w.result(), QDialog::Accepted);
        edit("Edit5")->setText("3020");
        button("Button1")->click();
        return w.result();
    });
    main().N21->trigger();
    EXPECT_EQ(dialog().Tag, 0);
    EXPECT_EQ(h.db.scalar("select string_agg(concat_ws('|', color, smena, cena, ok), ',' order by id) "
                          "from accounts_dep.smena")
                  .toString(),
              "9010|2|0.3333333333333333|no,3020|2|0.3333|no");
    EXPECT_EQ(h.db.scalar("select d5 from accounts_dep.h_tabel where w_id=12 and smena=2").toInt(), 8);
}

TEST_F(ShiftDialogTest, PriceFieldsInTheLocalesFormat) {
    struct Case {
        double price;
        const char* quantity;
        const char* final;
        const char* sum;
    } cases[] = {
        {shiftRecordPrice(10, true, 3), "3", "24", "72"},
        {shiftRecordPrice(10, false, 4), "", "15", "0"},
        {1.0 / 3.0, "1000", "0,3333", "333,3333"},
        {0.12345, "1", "0,1234", "0,1234"},
    };
    dm().Oper.open();
    ASSERT_TRUE(dm().Oper.locate("id", plant.welding));
    for (const Case& c : cases) {
        dialog().Price = c.price;
        edit("Edit3")->setText(QString::fromLatin1(c.quantity));
        edit("Edit6")->clear();
        dialog().Edit6Exit();
        EXPECT_EQ(edit("Edit7")->text(), c.final) << c.price;
        EXPECT_EQ(edit("Edit8")->text(), "10") << "the lowest norm price of the current operation";
        EXPECT_EQ(edit("Edit9")->text(), c.sum) << c.price;
        EXPECT_EQ(edit("Edit6")->text(), "0");
        EXPECT_FALSE(edit("Edit3")->text().isEmpty());
    }
    dm().Oper.close();
    dialog().Edit6Exit();
    EXPECT_EQ(edit("Edit8")->text(), "0");
}

TEST_F(ShiftDialogTest, DeleteFromTheMainWindowRollsUpTheRecordsOwnDay) {
    record(plant.welding, ShiftPlant::kFrame, 4);
    const int three = record(plant.painting, ShiftPlant::kFrame, 3);
    rollUp();
    ASSERT_EQ(day5().toInt(), 7);
    select(three);
    h.messenger.answers = {false};
    main().Button3Click();
    EXPECT_EQ(records(), 2);
    EXPECT_EQ(day5().toInt(), 7);
    // the date box edited by keyboard without reloading: the list still shows the 5th
    main().DateT->setDate(kDay.addDays(3));
    ASSERT_TRUE(dm().Smena1.locate("id", three));
    h.messenger.answers = {true};
    main().Button3Click();
    EXPECT_EQ(records(), 1);
    EXPECT_EQ(day5().toInt(), 4);
    EXPECT_TRUE(h.db.scalar("select d8 from accounts_dep.h_tabel where w_id=12").isNull());
    EXPECT_EQ(dm().Smena1.recordCount(), 1) << "the list is re-read";
}

TEST_F(ShiftDialogTest, PickingTheOperationSetsThePriceOfTheDayAndShift) {
    struct Case {
        bool dayOff;
        int shift;
        const char* final;
    } cases[] = {{true, 3, "24"}, {false, 4, "15"}, {true, 4, "30"}, {false, 1, "10"}};
    for (const Case& c : cases) {
        main().CBox1->setChecked(c.dayOff);
        main().CurSmena = c.shift;
        dialog().Tag = 1;
        edit("Edit3")->setText("2");
        edit("Edit5")->setText("3020");
        h.modal.actions.push_back([&](QDialog& list) {
            EXPECT_EQ(list.objectName(), "TForm4");
            EXPECT_EQ(dm().Oper.recNo(), 1) << "adding starts on the first row";
            EXPECT_TRUE(dm().Oper.locate("id", plant.welding));
            named<QPushButton>(&list, "Button2")->click();
            return QDialog::Accepted;
        });
        button("Button4")->click();
        EXPECT_EQ(dialog().OperId, plant.welding);
        EXPECT_EQ(dialog().ProductId, ShiftPlant::kFrame);
        EXPECT_EQ(edit("Edit2")->text(), "Рама-1; Сварка; Готовая продукция");
        EXPECT_EQ(edit("Edit7")->text(), c.final) << c.dayOff << " " << c.shift;
        EXPECT_EQ(edit("Edit8")->text(), "10") << "the lowest norm price";
        EXPECT_FALSE(edit("Edit5")->isEnabled());
        EXPECT_EQ(edit("Edit5")->text(), "");
        EXPECT_TRUE(dm().Oper.isOpen()) << "the price list stays open";
        EXPECT_FALSE(dm().Oper.filtered());
    }
    // the painting operation asks for a colour
    h.modal.actions.push_back([&](QDialog& list) {
        EXPECT_TRUE(dm().Oper.locate("id", plant.painting));
        named<QPushButton>(&list, "Button2")->click();
        return QDialog::Accepted;
    });
    button("Button4")->click();
    EXPECT_EQ(edit("Edit2")->text(), "Рама-1; Окраска; Заготовки");
    EXPECT_TRUE(edit("Edit5")->isEnabled());
    EXPECT_EQ(edit("Edit7")->text(), "0,3333");
}
