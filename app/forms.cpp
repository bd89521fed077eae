#include "app/forms.h"

#include "app/data_module.h"
#include "app/gui_services.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "refbooks/nomenclature_groups_dialog.h"
#include "refbooks/nomenclature_groups_list.h"
#include "refbooks/norms_window.h"
#include "refbooks/operation_kinds_dialog.h"
#include "refbooks/operation_kinds_list.h"
#include "refbooks/operation_prices_dialog.h"
#include "refbooks/operation_prices_list.h"
#include "refbooks/products_dialog.h"
#include "refbooks/products_list.h"
#include "refbooks/workers_dialog.h"
#include "refbooks/workers_list.h"
#include "shift/shift_record_dialog.h"

#include <QWidget>
#include <vector>

struct Forms::Owned {
    // Destroyed in reverse creation order.
    std::vector<std::unique_ptr<QWidget>> windows;
    ~Owned() {
        while (!windows.empty())
            windows.pop_back();
    }
};

Forms::Forms(Services s) : services(std::move(s)), owned_(std::make_unique<Owned>()) {}

Forms::~Forms() {
    owned_.reset(); // windows before the data module they use
}

void Forms::terminate() {
    terminateRequested = true;
    if (services.terminate)
        services.terminate();
}

namespace {
template <typename T> T* adopt(std::vector<std::unique_ptr<QWidget>>& owner, QStringList& order, T* w) {
    owner.emplace_back(w);
    order << w->objectName();
    return w;
}
} // namespace

void Forms::createDataModule() {
    dataModule = std::make_unique<TDataModule6>(services.messenger);
    DataModule6 = dataModule.get();
    creationOrder << QStringLiteral("DataModule6");
}

void Forms::createLogin() {
    Form23 = adopt(owned_->windows, creationOrder, new TForm23(*this));
}

bool Forms::createAll(const QStringList& positionalArgs) {
    auto& w = owned_->windows;
    // The main window's create handler makes the data module, connects and creates the login.
    auto* form1 = new TForm1(*this);
    w.emplace_back(form1);
    creationOrder << form1->objectName();
    Form1 = form1;
    const bool connected = Form1->FormCreate(positionalArgs);
    // The windows below are added in this order as they come into being:
    // TForm2, TForm3, TForm4, TForm5, TForm7, TForm8, TForm9, TForm10, TForm11, TForm18, TForm19,
    // TForm21, TForm15, TForm16, TForm17, TForm20, TForm22, TForm24, TForm25, TForm26, TForm27,
    // TForm29, TForm31.
    Form2 = adopt(w, creationOrder, new TForm2(*this));
    Form3 = adopt(w, creationOrder, new TForm3(*this));
    Form4 = adopt(w, creationOrder, new TForm4(*this));
    Form5 = adopt(w, creationOrder, new TForm5(*this));
    Form7 = adopt(w, creationOrder, new TForm7(*this));
    Form8 = adopt(w, creationOrder, new TForm8(*this));
    Form9 = adopt(w, creationOrder, new TForm9(*this));
    Form10 = adopt(w, creationOrder, new TForm10(*this));
    Form11 = adopt(w, creationOrder, new TForm11(*this));
    Form22 = adopt(w, creationOrder, new TForm22(*this));
    Form26 = adopt(w, creationOrder, new TForm26(*this));
    Form29 = adopt(w, creationOrder, new TForm29(*this));
    return connected;
}
