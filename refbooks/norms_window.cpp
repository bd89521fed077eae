#include "refbooks/norms_window.h"

#include "app/data_module.h"
#include "app/db_error.h"
#include "app/forms.h"
#include "app/gui_services.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

// ---------------------------------------------------------------------------- model

NormsModel::NormsModel(NormTable& table, Messenger& messenger, QObject* parent)
    : QAbstractTableModel(parent), table_(table), messenger_(messenger) {
    connect(&table_, &NormTable::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&table_, &NormTable::rowChanged, this, [this](int row) {
        if (row >= 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

QString NormsModel::fieldOf(int column) { return NormTable::editableFields().value(column); }

int NormsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !table_.dataset().isOpen())
        return 0;
    return std::max(table_.rowCount(), 1);
}

int NormsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(NormTable::editableFields().size());
}

QVariant NormsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const QString field = fieldOf(index.column());
    const QVariant v = table_.value(index.row(), field);
    if (role == Qt::DisplayRole)
        return field == u"price" ? QVariant(formatNormPrice(v)) : (v.isNull() ? QVariant(QString()) : v);
    if (role == Qt::EditRole)
        return v.isNull() ? QVariant(QString()) : QVariant(v.toString());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool NormsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    bool ok = false;
    guarded(messenger_, [&] {
        // Typing into a row that is not being edited starts editing it (or the new row).
        const int row = index.row();
        if (row >= table_.storedCount()) {
            if (table_.state() != NormTable::State::Insert)
                appendRow();
        } else if (table_.state() != NormTable::State::Edit || table_.currentRow() != row) {
            dropNewRow();
            table_.edit(row);
        }
        table_.setValue(fieldOf(index.column()), value);
        ok = true;
    });
    return ok;
}

void NormsModel::appendRow() {
    // With no stored rows the blank row is already there.
    const bool visible = table_.storedCount() > 0;
    if (visible)
        beginInsertRows({}, table_.storedCount(), table_.storedCount());
    const QSignalBlocker block(&table_);
    table_.append();
    if (visible)
        endInsertRows();
}

void NormsModel::dropNewRow() {
    if (table_.state() != NormTable::State::Insert)
        return;
    const bool visible = table_.storedCount() > 0;
    if (visible)
        beginRemoveRows({}, table_.storedCount(), table_.storedCount());
    const QSignalBlocker block(&table_);
    table_.cancel();
    if (visible)
        endRemoveRows();
}

Qt::ItemFlags NormsModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant NormsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole) {
            static const QStringList titles{QStringLiteral("Норматив"), QStringLiteral("Цена"),
                                            QStringLiteral("Премия, %")};
            return titles.value(section);
        }
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    // the row indicator marks the current row; "*" a new row
    if (role == Qt::DisplayRole) {
        if (section == table_.currentRow())
            return table_.state() == NormTable::State::Insert ? QStringLiteral("*") : QStringLiteral("▶");
        return QString();
    }
    return {};
}

// ---------------------------------------------------------------------------- grid

class NormsDelegate : public QStyledItemDelegate {
public:
    explicit NormsDelegate(NormGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        grid_->editor_ = w;
        return w;
    }

private:
    NormGrid* grid_;
};

NormGrid::NormGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("DBGrid1"));
    setItemDelegate(new NormsDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setVisible(true);
}

void NormGrid::commitOpenEditor() {
    if (editor_) {
        QWidget* w = editor_;
        commitData(w);
        closeEditor(w, QAbstractItemDelegate::NoHint);
    }
}

void NormGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous); // hands an open editor's text to the model
    emit cellMoved(current, previous);
}

void NormGrid::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Down && e->modifiers() == Qt::NoModifier && model() &&
        currentIndex().row() == model()->rowCount() - 1) {
        emit appendRequested();
        return;
    }
    QTableView::keyPressEvent(e);
}

// ---------------------------------------------------------------------------- window

TForm22::TForm22(Forms& forms)
    : norm(forms.DataModule6->ADO_DB), forms_(forms) {
    setObjectName(QStringLiteral("TForm22"));
    setWindowTitle(QStringLiteral("Норматив"));
    DBGrid1 = new NormGrid(this);
    model_ = new NormsModel(norm, forms_.services.messenger, this);
    DBGrid1->setModel(model_);
    DBGrid1->setMinimumSize(360, 220);
    Button1 = new QPushButton(QStringLiteral("Сохранить"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Удалить"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    auto* bar = new QHBoxLayout;
    bar->addWidget(Button2);
    bar->addStretch();
    bar->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addLayout(bar);

    Messenger& m = forms_.services.messenger;
    connectGuarded(m, Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(m, Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(DBGrid1, &NormGrid::cellMoved, this, [this](const QModelIndex& current, const QModelIndex& previous) {
        guarded(forms_.services.messenger, [&] { cellMoved(current, previous); });
    });
    connect(DBGrid1, &NormGrid::appendRequested, this,
            [this] { guarded(forms_.services.messenger, [this] { appendRow(); }); });
}

TForm22::~TForm22() = default;

void TForm22::openFor(int operId) {
    newRow = false;
    norm.openFor(operId);
    placeCursor(norm.dataset().isEmpty() ? 0 : norm.dataset().currentRow(), 0);
    forms_.services.modal.showModal(*this);
}

void TForm22::placeCursor(int row, int column) {
    placing_ = true;
    DBGrid1->setCurrentIndex(model_->index(std::max(row, 0), column));
    placing_ = false;
}

void TForm22::cellMoved(const QModelIndex& current, const QModelIndex& previous) {
    if (placing_)
        return;
    if (previous.isValid()) {
        // Where the cursor goes, told by the norm it stands on: a re-read may reorder the rows.
        const int target = current.row();
        const bool sameRow = target == previous.row();
        const qint64 targetId =
            target < norm.storedCount() ? norm.dataset().valueAt(target, QStringLiteral("id")).toLongLong() : 0;
        const bool saving = norm.modified();
        DBGrid1ColExit();
        if (saving) {
            int row = target;
            if (sameRow)
                row = norm.dataset().currentRow();
            else if (targetId != 0 && norm.dataset().locate(QStringLiteral("id"), targetId))
                row = norm.dataset().currentRow();
            placeCursor(std::min(row, model_->rowCount() - 1), current.column());
        }
    }
    DBGrid1ColEnter();
}

void TForm22::DBGrid1ColEnter() {
    const int row = DBGrid1->currentIndex().row();
    if (norm.storedCount() == 0 || row < 0 || row >= norm.storedCount()) {
        if (norm.state() != NormTable::State::Insert)
            model_->appendRow();
        newRow = true;
    } else {
        // an untouched new row is dropped when the cursor leaves it
        model_->dropNewRow();
        norm.edit(row);
        newRow = false;
    }
}

void TForm22::DBGrid1ColExit() {
    if (!norm.modified())
        return;
    if (newRow && norm.state() == NormTable::State::Insert)
        norm.setValue(QStringLiteral("o_id"), forms_.DataModule6->Oper.asInt(QStringLiteral("id")));
    norm.requery();
}

void TForm22::appendRow() {
    const int column = std::max(DBGrid1->currentIndex().column(), 0);
    DBGrid1->commitOpenEditor();
    DBGrid1ColExit();
    if (norm.state() != NormTable::State::Insert)
        model_->appendRow();
    newRow = true;
    placeCursor(norm.storedCount(), column);
}

void TForm22::Button1Click() {
    DBGrid1->commitOpenEditor();
    if (norm.modified()) {
        if (newRow && norm.state() == NormTable::State::Insert)
            norm.setValue(QStringLiteral("o_id"), forms_.DataModule6->Oper.asInt(QStringLiteral("id")));
        norm.post();
    }
    Dataset& oper = forms_.DataModule6->Oper;
    const int recNo = oper.recNo();
    oper.close();
    oper.open();
    if (!oper.isEmpty())
        oper.setRecNo(recNo);
    accept();
}

void TForm22::Button2Click() {
    DBGrid1->commitOpenEditor();
    if (norm.state() == NormTable::State::Insert)
        model_->dropNewRow();
    else if (norm.storedCount() > 1 && norm.currentRow() >= 0)
        norm.deleteRow(norm.currentRow());
    const int row = std::max(DBGrid1->currentIndex().row(), 0);
    norm.requery();
    newRow = false;
    placeCursor(std::min(row, model_->rowCount() - 1), std::max(DBGrid1->currentIndex().column(), 0));
}

void TForm22::keyPressEvent(QKeyEvent* e) {
    // Esc presses "Сохранить" like Enter does; the title bar's close button does not.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        guarded(forms_.services.messenger, [this] { Button1Click(); });
        return;
    }
    QDialog::keyPressEvent(e);
}
