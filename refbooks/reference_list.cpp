#include "refbooks/reference_list.h"

#include "app/dataset.h"
#include "app/db_grid.h"
#include "app/filter_expr.h"
#include "app/forms.h"
#include "app/gui_services.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

QString searchFilter(const ReferenceList::SearchRule& rule, const QString& text) {
    // The text goes into the expression quoted, so an apostrophe in it is matched like any
    // other character instead of ending the quoted text.
    const QString pattern = rule.match == ReferenceList::SearchRule::Match::Contains
                                ? QStringLiteral("%") + text + QStringLiteral("%")
                                : text + QStringLiteral("%");
    return rule.field + QStringLiteral(" like ") + FilterExpr::quote(pattern);
}

ReferenceList::ReferenceList(Forms& forms, const QString& name, Dataset& dataset)
    : QDialog(nullptr), forms_(forms), ds_(&dataset) {
    setObjectName(name);
}

void ReferenceList::createGridAndSearch() {
    DBGrid1 = new DBGrid(QStringLiteral("DBGrid1"), this);
    DBGrid1->setDataset(ds_);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
}

void ReferenceList::setupConventions(const Controls& controls, const SearchRule& rule, bool focusSearchOnActivate) {
    add_ = controls.add;
    choose_ = controls.choose;
    delete_ = controls.del;
    exit_ = controls.exit;
    rule_ = rule;
    focusSearchOnActivate_ = focusSearchOnActivate;

    // Only the add button is the default button as the window is laid out; the others must not
    // take the default over when they get the focus.
    for (QPushButton* b : {add_, choose_, delete_, exit_})
        if (b)
            b->setAutoDefault(false);
    if (add_)
        add_->setDefault(true);

    Messenger& m = forms_.services.messenger;
    if (choose_)
        connectGuarded(m, choose_, &QPushButton::clicked, this, [this] { choose(); });
    if (exit_)
        connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
    if (controls.doubleClickChooses)
        connectGuarded(m, DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { choose(); });
    connectGuarded(m, Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    Edit1->installEventFilter(this);
}

void ReferenceList::setChooseDefault(bool isDefault) {
    if (isDefault) {
        choose_->setDefault(true);
        return;
    }
    choose_->setDefault(false);
    if (add_)
        add_->setDefault(true);
}

void ReferenceList::openForBrowse() {
    Tag = 0;
    beforeBrowseOpen();
    ds_->open();
    choose_->setText(QStringLiteral("Изменить"));
    setChooseDefault(false);
    if (add_)
        add_->setVisible(true);
    if (delete_)
        delete_->setVisible(true);
    forms_.services.modal.showModal(*this);
    ds_->close();
}

bool ReferenceList::openForPick(int tag, PickHandler onPick, const PickOptions& options) {
    Tag = tag;
    ds_->open();
    if (options.position)
        options.position(*ds_);
    choose_->setText(QStringLiteral("Выбрать"));
    setChooseDefault(true);
    choose_->setVisible(true);
    if (add_)
        add_->setVisible(false);
    if (delete_)
        delete_->setVisible(false);
    Edit1->setVisible(true);
    {
        // Clearing the box switches the filter off even when the box was empty already.
        const QSignalBlocker quiet(Edit1);
        Edit1->clear();
    }
    Edit1Change();

    const bool picked = runPick(std::move(onPick));

    if (options.after.chooseNotDefault)
        setChooseDefault(false);
    if (options.after.hideSearch)
        Edit1->setVisible(false);
    if (options.after.filterOff)
        ds_->setFiltered(false);
    if (options.after.closeDataset)
        ds_->close();
    return picked;
}

bool ReferenceList::runPick(PickHandler onPick) {
    onPick_ = std::move(onPick);
    picked_ = false;
    forms_.services.modal.showModal(*this);
    onPick_ = nullptr;
    return picked_;
}

bool ReferenceList::openForPick(int tag, PickHandler onPick) {
    return openForPick(tag, std::move(onPick), PickOptions());
}

void ReferenceList::choose() {
    if (Tag != 0)
        pickCurrent();
    else
        editCurrent();
}

void ReferenceList::pickCurrent() {
    if (!(pickNeedsRow && ds_->isEmpty()) && onPick_) {
        picked_ = true;
        onPick_(*ds_);
    }
    accept();
}

void ReferenceList::Edit1Change() {
    const QString text = Edit1->text();
    const QString tested = rule_.trimForEmptyTest ? text.trimmed() : text;
    if (tested.isEmpty()) {
        ds_->setFiltered(false);
        return;
    }
    ds_->setFilter(searchFilter(rule_, text));
    ds_->setFiltered(true);
}

void ReferenceList::refresh(bool keepRecNo) {
    const int recNo = ds_->recNo();
    if (keepRecNo)
        reopenAt(recNo);
    else
        ds_->reopen();
}

void ReferenceList::reopenAt(int recNo) {
    ds_->reopen();
    if (recNo > 0 && ds_->recordCount() > 0)
        ds_->setRecNo(recNo);
}

bool ReferenceList::confirmDelete(const QString& question) {
    return forms_.services.messenger.question(question, QStringLiteral("Удаление"));
}

void ReferenceList::focusSearch() {
    if (focusSearchOnActivate_ && Edit1 && Edit1->isVisible())
        Edit1->setFocus(Qt::ActiveWindowFocusReason);
}

void ReferenceList::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        focusSearch();
}

bool ReferenceList::event(QEvent* e) {
    // Coming back from an edit dialog activates the list again.
    if (e->type() == QEvent::WindowActivate)
        focusSearch();
    return QDialog::event(e);
}

namespace {
// Keys that edit the text or belong to the window (default and cancel button, focus moves):
// these pass even where the list discards the box's own key handling.
bool passesDiscard(const QKeyEvent& k) {
    switch (k.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    if (k.matches(QKeySequence::Paste) || k.matches(QKeySequence::Copy) || k.matches(QKeySequence::Cut) ||
        k.matches(QKeySequence::Undo))
        return true;
    const QString t = k.text();
    return !t.isEmpty() && t.at(0).isPrint();
}
} // namespace

bool ReferenceList::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Edit1 && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
            guarded(forms_.services.messenger, [this, k] {
                if (k->key() == Qt::Key_Up)
                    ds_->prior();
                else
                    ds_->next();
            });
            return true;
        }
        if (rule_.keys == SearchRule::Keys::AllButTyping && !passesDiscard(*k))
            return true;
    }
    return QDialog::eventFilter(watched, e);
}
