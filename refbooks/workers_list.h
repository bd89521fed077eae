#pragma once
#include "refbooks/reference_list.h"

#include <functional>

class QPushButton;

// The worker a pick hands to its caller.
struct PickedWorker {
    int id = 0;
    QString fio; // trimmed
};

// The workers list "Список рабочих".
class TForm5 : public ReferenceList {
    Q_OBJECT
public:
    explicit TForm5(Forms& forms);

    QPushButton* Button1; // "Добавить"
    QPushButton* Button2; // "Изменить" / "Выбрать"
    QPushButton* Button3; // "Удалить"
    QPushButton* Button4; // "Выход"

    void Button1Click();
    void Button2Click() { choose(); }
    void Button3Click();

    // Opens the list to pick a worker for a caller (Tag 1 the shift record dialog, 24 the
    // household work dialog); closes Workers afterwards. False when nothing was chosen.
    bool pickWorker(int tag, const std::function<void(const PickedWorker&)>& onPick);

protected:
    void editCurrent() override;
};
