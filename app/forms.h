#pragma once
#include "app/build_stamp.h"

#include <QStringList>
#include <functional>
#include <memory>

class Messenger;
class ModalRunner;
class Clock;
class TDataModule6;
class SpreadsheetApp;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TForm15;
class TForm16;
class TForm17;
class TForm18;
class TForm19;
class TForm20;
class TForm21;
class TForm22;
class TForm23;
class TForm24;
class TForm25;
class TForm26;
class TForm27;
class TForm29;
class TForm31;

// What the windows reach outside themselves: messages, modal showing, today, the build stamp,
// and the request to end the program.
struct Services {
    Messenger& messenger;
    ModalRunner& modal;
    Clock& clock;
    std::function<BuildStamp()> buildStamp;
    // Asks the application to terminate: leaves every modal loop and the message loop.
    std::function<void()> terminate;
    // The desktop's spreadsheet application, which the exports hand their workbooks to.
    SpreadsheetApp* spreadsheet = nullptr;
};

// Creates every window once, in the fixed start-up order, owns them until exit, and hands each
// window the others it talks to.
class Forms {
public:
    explicit Forms(Services services);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    // Creates all windows. The main window's creation opens the connection for the positional
    // command-line arguments and creates the login window; returns false when the connection
    // failed (the message has been shown and termination asked for).
    bool createAll(const QStringList& positionalArgs);

    Services services;
    bool terminateRequested = false;
    void terminate();

    std::unique_ptr<TDataModule6> dataModule;
    TDataModule6* DataModule6 = nullptr;

    TForm1* Form1 = nullptr;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    TForm7* Form7 = nullptr;
    TForm8* Form8 = nullptr;
    TForm9* Form9 = nullptr;
    TForm10* Form10 = nullptr;
    TForm11* Form11 = nullptr;
    TForm15* Form15 = nullptr;
    TForm16* Form16 = nullptr;
    TForm17* Form17 = nullptr;
    TForm18* Form18 = nullptr;
    TForm19* Form19 = nullptr;
    TForm20* Form20 = nullptr;
    TForm21* Form21 = nullptr;
    TForm22* Form22 = nullptr;
    TForm23* Form23 = nullptr;
    TForm24* Form24 = nullptr;
    TForm25* Form25 = nullptr;
    TForm26* Form26 = nullptr;
    TForm27* Form27 = nullptr;
    TForm29* Form29 = nullptr;
    TForm31* Form31 = nullptr;

    // Names of the windows in the order they were created (the data module included).
    QStringList creationOrder;

    // Called by the main window's create handler.
    void createDataModule();
    void createLogin();

private:
    struct Owned;
    std::unique_ptr<Owned> owned_;
};
