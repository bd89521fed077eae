#pragma once
#include <QDialog>
#include <QString>
#include <functional>

class Dataset;
class DBGrid;
class Forms;
class QLineEdit;
class QPushButton;

// The pattern shared by the reference book lists (workers, products, operation prices,
// operation kinds, nomenclature groups).
//
// A list shows one dataset in a read-only grid and has two modes, chosen by its integer Tag:
// 0 browses and maintains the book, any other value picks one row for the caller that set it.
// In pick mode the choose action hands the current row to the caller's handler and closes the
// list; the list never knows who its callers are. Tag, captions, visibility of the buttons and
// of the search box, the search text and the dataset's record filter persist between openings:
// only the opener steps below change them.
class ReferenceList : public QDialog {
    Q_OBJECT
public:
    // How the search box filters the dataset.
    struct SearchRule {
        enum class Match { BeginsWith, Contains };
        // Which keys the box discards after Up/Down have moved the dataset.
        enum class Keys {
            // Every non-character key (Delete, Left, Right, Home, End...): typed characters and
            // Backspace still edit the text; Enter, Esc and Tab still reach the window.
            AllButTyping,
            // Only Up and Down; every other key works normally in the box.
            UpDownOnly,
        };
        QString field;
        Match match = Match::BeginsWith;
        // Test the text for emptiness after trimming blanks (the filter still uses it as typed).
        bool trimForEmptyTest = false;
        Keys keys = Keys::AllButTyping;
    };

    // Receives the chosen row: the list's dataset standing on it. Called before the list closes.
    using PickHandler = std::function<void(const Dataset& row)>;

    // What a pick opener undoes once the list has closed (each caller chooses its own steps).
    struct AfterPick {
        bool chooseNotDefault = false; // the choose button stops being the default button
        bool hideSearch = false;
        bool filterOff = false; // switch the dataset's record filter off
        bool closeDataset = false;
    };

    struct PickOptions {
        // Positions the freshly opened dataset before the list is shown (e.g. on the caller's
        // current value).
        std::function<void(Dataset&)> position;
        AfterPick after;
    };

    // The window's mode: 0 browse, anything else pick for the caller that set it.
    int Tag = 0;

    DBGrid* DBGrid1 = nullptr;
    QLineEdit* Edit1 = nullptr; // search box

    Dataset& dataset() { return *ds_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* chooseButton() const { return choose_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* exitButton() const { return exit_; }

    // Opening for browsing: Tag 0, open the dataset, choose button "Изменить" and not default,
    // add and delete buttons visible, show modally, close the dataset afterwards. The search box
    // and the record filter are left as they are.
    virtual void openForBrowse();

    // Opening for picking: Tag = tag, open (and position) the dataset, choose button "Выбрать",
    // default and visible, add and delete hidden, search box shown and cleared (which switches
    // the filter off), show modally, then the caller's after-steps. Returns true when a row was
    // handed to onPick.
    virtual bool openForPick(int tag, PickHandler onPick, const PickOptions& options);
    bool openForPick(int tag, PickHandler onPick);

    // The choose action (choose button, double-click on the grid): in pick mode hands the
    // current row to the caller and closes the list, in browse mode edits the current row.
    virtual void choose();

    // The search box's change handler.
    void Edit1Change();

    // Re-reads the dataset after a write; with keepRecNo, returns to the record number it stood
    // on (when the reopened dataset has rows). Without it the dataset stands on its first row.
    void refresh(bool keepRecNo);
    // Re-reads the dataset and sets a record number taken earlier (when it has rows).
    void reopenAt(int recNo);

    // The delete question (question icon, Yes/No, title "Удаление"); true only on Yes.
    bool confirmDelete(const QString& question);

    // Makes the choose button the default button or gives the default back to the add button,
    // the default as the window is laid out.
    void setChooseDefault(bool isDefault);

protected:
    ReferenceList(Forms& forms, const QString& name, Dataset& dataset);

    // Wires the conventions to the controls a list has built. add and del may be hidden by the
    // pick opener; exit closes the window (cancel button, Esc). A double-click on the grid runs
    // choose() unless doubleClickChooses is false (a list with a double-click of its own).
    struct Controls {
        QPushButton* add = nullptr;
        QPushButton* choose = nullptr;
        QPushButton* del = nullptr;
        QPushButton* exit = nullptr;
        bool doubleClickChooses = true;
    };
    void setupConventions(const Controls& controls, const SearchRule& rule, bool focusSearchOnActivate);

    // Creates the grid (DBGrid1) and the search box (Edit1) as children of this window.
    void createGridAndSearch();

    // Browse-mode choose: opens the book's edit dialog in change mode on the current row.
    virtual void editCurrent() = 0;
    // Steps of the browse opener before the dataset opens (e.g. switching a filter off).
    virtual void beforeBrowseOpen() {}
    // Whether a pick needs at least one row to hand over (the list closes either way).
    bool pickNeedsRow = false;

    // The current row to the caller's handler, then close.
    void pickCurrent();
    // Shows the list modally with the handler in force; true when a row was handed over.
    bool runPick(PickHandler onPick);

    Forms& forms_;

    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // The activation step: the search box takes the focus when visible (where the list does so).
    void focusSearch();

private:
    Dataset* ds_;
    QPushButton* add_ = nullptr;
    QPushButton* choose_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* exit_ = nullptr;
    SearchRule rule_;
    bool focusSearchOnActivate_ = true;
    PickHandler onPick_;
    bool picked_ = false;
};

// The record filter expression of a search pattern, with the text matched literally.
QString searchFilter(const ReferenceList::SearchRule& rule, const QString& text);
