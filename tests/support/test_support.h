#pragma once
#include "app/build_stamp.h"
#include "app/connection.h"
#include "app/forms.h"
#include "app/gui_services.h"
#include "app/services.h"
#include "reports/excel_export.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// A fresh database copied from the template database (db/schema.sql) for one fixture,
// dropped when the fixture ends. The cluster is the one scripts/db starts.
class TestDb {
public:
    TestDb();
    ~TestDb();
    const QString& name() const { return name_; }
    // The two positional command-line arguments that reach this database.
    QStringList args() const { return {name_, QStringLiteral("127.0.0.1")}; }
    // A connection of its own, for arranging rows and checking what the program wrote.
    Connection& sql() { return *conn_; }
    int exec(const QString& statement, const QVariantMap& params = {});
    QVariant scalar(const QString& statement, const QVariantMap& params = {});
    // Runs a file of statements (e.g. db/demo.sql) against this database.
    void load(const QString& path);

private:
    QString name_;
    std::unique_ptr<Connection> conn_;
};

struct Message {
    enum Kind { Error, Question, Information } kind;
    QString text;
    QString title;
};

// Records every message; questions are answered from a queue (No when the queue is empty).
class ScriptedMessenger : public Messenger {
public:
    void error(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    void information(const QString& text, const QString& title) override;

    std::deque<bool> answers;
    std::vector<Message> messages;
    void clear() { messages.clear(); }
    // Texts of all messages, in order.
    QStringList texts() const;
};

// Shows the window (so its show handler runs), runs the scripted action inside it, hides it and
// returns the action's result (QDialog::Rejected when no action is queued).
class ScriptedModal : public ModalRunner {
public:
    int showModal(QDialog& window) override;
    std::deque<std::function<int(QDialog&)>> actions;
    QStringList shown; // objectNames of the windows shown, in order
};

class FixedClock : public Clock {
public:
    QDate date = QDate(2024, 3, 5);
    QDate today() const override { return date; }
};

// The desktop's spreadsheet application: workbooks go into a temporary folder of the test and are
// only recorded as opened. Switch it off to have no application, no folder, or no start.
class FakeSpreadsheetApp : public SpreadsheetApp {
public:
    bool installed = true; // false: no spreadsheet application can be found
    bool hasFolder = true; // false: nowhere to keep a workbook, so none can be made
    bool starts = true;    // false: the application cannot be started for a file
    QStringList opened;    // files handed to the application, in order
    QTemporaryDir folder;
    bool available() override { return installed; }
    QString workbookFolder() override { return hasFolder ? folder.path() : QString(); }
    bool open(const QString& path) override {
        opened << path;
        return starts;
    }
};

// The whole program on a fresh database, with scripted messages, windows, today and build stamp.
struct AppHarness {
    explicit AppHarness(bool connect = true);
    ~AppHarness();
    TestDb db;
    ScriptedMessenger messenger;
    ScriptedModal modal;
    FixedClock clock;
    FakeSpreadsheetApp spreadsheet;
    BuildStamp stamp{20240327, 51584};
    int terminateCalls = 0;
    std::unique_ptr<Forms> forms;
    bool connected = false;
};
