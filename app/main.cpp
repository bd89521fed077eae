#include "app/build_stamp.h"
#include "app/data_module.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "app/login_window.h"
#include "reports/excel_export.h"

#include "app/db_error.h"

#include <QApplication>

namespace {
// The last line of defence: an exception that escapes a handler reaching the event loop is shown
// in the general error box, and the program goes on.
class TabelApplication : public QApplication {
public:
    TabelApplication(int& argc, char** argv, Messenger& m) : QApplication(argc, argv), messenger_(m) {}
    bool notify(QObject* receiver, QEvent* e) override {
        bool result = false;
        guarded(messenger_, [&] { result = QApplication::notify(receiver, e); });
        return result;
    }

private:
    Messenger& messenger_;
};
} // namespace

int main(int argc, char** argv) {
    QtMessenger messenger;
    TabelApplication app(argc, argv, messenger);
    app.setQuitOnLastWindowClosed(false);
    QtModalRunner modal;
    SystemClock clock;
    Services services{messenger, modal, clock, [] { return compiledBuildStamp(); },
                      [] { QCoreApplication::exit(0); }};
    DesktopSpreadsheetApp spreadsheet;
    services.spreadsheet = &spreadsheet;
    Forms forms(services);
    QStringList positional = QCoreApplication::arguments().mid(1);
    if (!forms.createAll(positional) || forms.terminateRequested)
        return 0;
    forms.Form23->show();
    forms.Form23->raise();
    forms.Form23->activateWindow();
    if (forms.terminateRequested)
        return 0;
    return app.exec();
}
