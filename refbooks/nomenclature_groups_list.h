#pragma once
#include "app/dataset.h"
#include "refbooks/reference_list.h"

#include <functional>

class QPushButton;

// The group a pick hands to its caller.
struct PickedGroup {
    int id = 0;
    QString caption; // as stored, not trimmed
};

// The nomenclature groups list "Номенклатура (26)". Its buttons are numbered differently:
// Button2 adds, Button3 is the choose button, Button1 deletes.
class TForm26 : public ReferenceList {
    Q_OBJECT
public:
    explicit TForm26(Forms& forms);

    Dataset item;     // the level-2 items of the classifier
    Dataset item_gds; // what still uses a group: products, household records, shift records

    QPushButton* Button2; // "Добавить"
    QPushButton* Button3; // "Изменить" / "Выбрать"
    QPushButton* Button1; // "Удалить"
    QPushButton* Button4; // "Выход"

    void DBGrid1DblClick() { choose(); }
    void Button2Click();
    void Button1Click();

    // The list's own openers.
    void openForBrowse() override;
    bool openForPick(int tag, PickHandler onPick, const PickOptions& options) override;
    using ReferenceList::openForPick;
    // Opens the list to pick a group in use for the household work dialog (Tag 24).
    bool pickGroup(const std::function<void(const PickedGroup&)>& onPick);

    void choose() override;

protected:
    void editCurrent() override;
};
