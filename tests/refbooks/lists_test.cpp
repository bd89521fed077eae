// What every reference list shares: the search box, its keys and its persistence, the browse and
// pick openers, the choose action and the focus on activation. Exercised through the workers and
// operation kinds lists.
#include "refbooks/operation_kinds_list.h"
#include "refbooks/reference_list.h"
#include "refbooks/workers_list.h"
#include "tests/refbooks/lists_fixture.h"

#include <QApplication>

TEST(SearchFilterTest, PatternsGiveTheBooksExpressionsWithTheTextQuoted) {
    using Rule = ReferenceList::SearchRule;
    struct Case {
        Rule rule;
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {{"fio"}, "Ив", "fio like 'Ив%'"},
        {{"marka", Rule::Match::Contains}, "СТ-1", "marka like '%СТ-1%'"},
        {{"vid"}, " кр ", "vid like ' кр %'"},
        {{"fio"}, "О'Нил", "fio like 'О''Нил%'"},
        {{"s_caption"}, "'", "s_caption like '''%'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(searchFilter(c.rule, c.text), c.expected) << c.text.toStdString();
}

class ListConventionsTest : public ListsTest {
protected:
    void SetUp() override {
        for (const char* fio : {"Иванов И.И.", "Ивашов А.А.", "Петров П.П.", "О'Нил Д.", "Сидоров С.С."})
            addWorker(QString::fromUtf8(fio));
    }
    TForm5& workers() { return *h.forms->Form5; }
};

TEST_F(ListConventionsTest, SearchBoxFiltersByTheBeginningAndMatchesApostrophesLiterally) {
    whileShown([&](QDialog& w) {
        QLineEdit* box = edit(w);
        box->setText(QStringLiteral("Ив"));
        EXPECT_EQ(column(w, "fio"), (QStringList{"Иванов И.И.", "Ивашов А.А."}));
        box->setText(QStringLiteral("ов")); // in the middle of names only: begins-with finds none
        EXPECT_TRUE(column(w, "fio").isEmpty());
        box->setText(QStringLiteral("О'Н"));
        EXPECT_EQ(column(w, "fio"), QStringList{"О'Нил Д."});
        box->setText(QStringLiteral("п")); // letter case is ignored
        EXPECT_EQ(column(w, "fio"), QStringList{"Петров П.П."});
        box->clear();
        EXPECT_EQ(column(w, "fio").size(), 5);
        EXPECT_FALSE(workers().dataset().filtered());
    });
    workers().openForBrowse();
    EXPECT_TRUE(h.messenger.messages.empty()) << h.messenger.texts().join("; ").toStdString();
}

TEST_F(ListConventionsTest, UpAndDownMoveTheDatasetAndOtherNonCharacterKeysAreDiscarded) {
    whileShown([&](QDialog& w) {
        QLineEdit* box = edit(w);
        Dataset& ds = workers().dataset();
        ds.first();
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        EXPECT_EQ(ds.recNo(), 3);
        EXPECT_EQ(current(w, "fio"), "О'Нил Д.");
        QTest::keyClick(box, Qt::Key_Up);
        EXPECT_EQ(ds.recNo(), 2);

        type(box, QStringLiteral("Пет"));
        EXPECT_EQ(box->text(), "Пет");
        EXPECT_EQ(column(w, "fio"), QStringList{"Петров П.П."});
        box->setCursorPosition(0);
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Right);
        EXPECT_EQ(box->text(), "Пет");
        EXPECT_EQ(box->cursorPosition(), 0);
        box->setCursorPosition(3);
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), "Пе");
    });
    workers().openForBrowse();
}

TEST_F(ListConventionsTest, BrowseKeepsTheSearchBetweenOpeningsAndAPickClearsIt) {
    whileShown([&](QDialog& w) { edit(w)->setText(QStringLiteral("Ив")); });
    workers().openForBrowse();
    EXPECT_FALSE(dm().Workers.isOpen());

    QStringList second;
    whileShown([&](QDialog& w) {
        EXPECT_EQ(edit(w)->text(), "Ив");
        second = column(w, "fio");
    });
    workers().openForBrowse();
    EXPECT_EQ(second, (QStringList{"Иванов И.И.", "Ивашов А.А."}));

    int rowsInPick = 0;
    whileShown([&](QDialog& w) {
        EXPECT_TRUE(edit(w)->text().isEmpty());
        rowsInPick = column(w, "fio").size();
    });
    workers().pickWorker(1, [](const PickedWorker&) {});
    EXPECT_EQ(rowsInPick, 5);
}

TEST_F(ListConventionsTest, OpenersSetModeCaptionsDefaultButtonAndVisibleButtons) {
    struct Seen {
        int tag = -1;
        QString caption;
        bool chooseDefault = false, addDefault = false, addVisible = false, deleteVisible = false,
             searchVisible = false;
    };
    auto look = [&](Seen& s) {
        whileShown([&s, this](QDialog& w) {
            s = {workers().Tag,
                 button(w, "Button2")->text(),
                 button(w, "Button2")->isDefault(),
                 button(w, "Button1")->isDefault(),
                 button(w, "Button1")->isVisible(),
                 button(w, "Button3")->isVisible(),
                 edit(w)->isVisible()};
        });
    };
    Seen pick, browse;
    look(pick);
    workers().pickWorker(24, [](const PickedWorker&) {});
    look(browse);
    workers().openForBrowse();

    EXPECT_EQ(pick.tag, 24);
    EXPECT_EQ(pick.caption, "Выбрать");
    EXPECT_TRUE(pick.chooseDefault);
    EXPECT_FALSE(pick.addVisible);
    EXPECT_FALSE(pick.deleteVisible);
    EXPECT_TRUE(pick.searchVisible);

    EXPECT_EQ(browse.tag, 0);
    EXPECT_EQ(browse.caption, "Изменить");
    EXPECT_FALSE(browse.chooseDefault);
    EXPECT_TRUE(browse.addDefault);
    EXPECT_TRUE(browse.addVisible);
    EXPECT_TRUE(browse.deleteVisible);
}

TEST_F(ListConventionsTest, TheSearchBoxVisibilityCarriesOverFromTheLastPick) {
    TForm8& kinds = *h.forms->Form8;
    addKind(QStringLiteral("Сборка"));
    bool visible = true;
    whileShown([&](QDialog& w) { visible = edit(w)->isVisible(); });
    kinds.openForBrowse();
    EXPECT_FALSE(visible) << "hidden at start";

    ReferenceList::PickOptions o;
    o.after.chooseNotDefault = true;
    o.after.hideSearch = true;
    o.after.closeDataset = true;
    whileShown([&](QDialog& w) { visible = edit(w)->isVisible(); });
    kinds.openForPick(1, [](const Dataset&) {}, o);
    EXPECT_TRUE(visible) << "every pick shows it";

    whileShown([&](QDialog& w) { visible = edit(w)->isVisible(); });
    kinds.openForBrowse();
    EXPECT_FALSE(visible) << "the caller hid it after its pick";
    EXPECT_FALSE(dm().Vid_oper.isOpen());
}

TEST_F(ListConventionsTest, DoubleClickInPickModeHandsTheRowOverLikeTheChooseButton) {
    bool open = true;
    whileShown(
        [&](QDialog& w) {
            auto* grid = named<DBGrid>(&w, "DBGrid1");
            const QPoint at = grid->visualRect(grid->model()->index(2, 0)).center();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        },
        &open);
    QString chosen;
    EXPECT_TRUE(workers().pickWorker(1, [&](const PickedWorker& p) { chosen = p.fio; }));
    EXPECT_EQ(chosen, "О'Нил Д.");
    EXPECT_FALSE(open);
}

TEST_F(ListConventionsTest, ClosingWithoutChoosingHandsNothingOver) {
    bool called = false;
    whileShown([&](QDialog& w) { button(w, "Button4")->click(); });
    EXPECT_FALSE(workers().pickWorker(1, [&](const PickedWorker&) { called = true; }));
    EXPECT_FALSE(called);
}

TEST_F(ListConventionsTest, TheSearchBoxTakesTheFocusWhenTheListIsShown) {
    bool focused = false;
    whileShown([&](QDialog& w) {
        w.activateWindow();
        QApplication::processEvents();
        focused = QApplication::focusWidget() == edit(w);
    });
    workers().openForBrowse();
    EXPECT_TRUE(focused);
}
