#include "app/build_stamp.h"
#include "app/data_module.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "app/login_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QtMessenger messenger;
    QtModalRunner modal;
    SystemClock clock;
    Services services{messenger, modal, clock, [] { return compiledBuildStamp(); },
                      [] { QCoreApplication::exit(0); }};
    Forms forms(services);
    QStringList positional = QCoreApplication::arguments().mid(1);
    if (!forms.createAll(positional) || forms.terminateRequested)
        return 0;
    forms.Form23->show();
    if (forms.terminateRequested)
        return 0;
    return app.exec();
}
