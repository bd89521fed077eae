#include "tests/support/test_support.h"

#include "app/db_error.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
int counter = 0;

std::unique_ptr<Connection> connectTo(const QString& database) {
    auto c = std::make_unique<Connection>();
    c->setConnectionText(buildConnectionText(database, QStringLiteral("127.0.0.1")));
    c->open();
    return c;
}
} // namespace

TestDb::TestDb() {
    name_ = QStringLiteral("tabel_t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    try {
        auto admin = connectTo(QStringLiteral("postgres"));
        admin->exec(QStringLiteral("drop database if exists %1").arg(name_));
        admin->exec(QStringLiteral("create database %1 template tabel_template").arg(name_));
        conn_ = connectTo(name_);
    } catch (const DbError& e) {
        ADD_FAILURE() << "test database " << name_.toStdString() << ": " << e.text().toStdString()
                      << " (is the cluster running? scripts/db start && scripts/db template)";
        throw;
    }
}

TestDb::~TestDb() {
    conn_.reset();
    try {
        auto admin = connectTo(QStringLiteral("postgres"));
        admin->exec(QStringLiteral("drop database if exists %1 with (force)").arg(name_));
    } catch (const DbError&) {
    }
}

int TestDb::exec(const QString& statement, const QVariantMap& params) {
    try {
        return conn_->exec(statement, params);
    } catch (const DbError& e) {
        ADD_FAILURE() << "statement failed: " << statement.toStdString() << "\n  " << e.text().toStdString();
        throw;
    }
}

QVariant TestDb::scalar(const QString& statement, const QVariantMap& params) {
    try {
        return conn_->scalar(statement, params);
    } catch (const DbError& e) {
        ADD_FAILURE() << "statement failed: " << statement.toStdString() << "\n  " << e.text().toStdString();
        throw;
    }
}

void TestDb::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("cannot read ") + path);
    QSqlQuery q(conn_->db());
    if (!q.exec(QString::fromUtf8(f.readAll())))
        throw DbError(q.lastError().databaseText());
}

void ScriptedMessenger::error(const QString& text, const QString& title) {
    messages.push_back({Message::Error, text, title});
}

bool ScriptedMessenger::question(const QString& text, const QString& title) {
    messages.push_back({Message::Question, text, title});
    if (answers.empty())
        return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

void ScriptedMessenger::information(const QString& text, const QString& title) {
    messages.push_back({Message::Information, text, title});
}

QStringList ScriptedMessenger::texts() const {
    QStringList out;
    for (const Message& m : messages)
        out << m.text;
    return out;
}

int ScriptedModal::showModal(QDialog& window) {
    shown << window.objectName();
    window.show();
    int result = QDialog::Rejected;
    if (!actions.empty()) {
        auto action = std::move(actions.front());
        actions.pop_front();
        result = action(window);
    }
    window.hide();
    return result;
}

AppHarness::AppHarness(bool connect) {
    Services s{messenger, modal, clock, [this] { return stamp; }, [this] { ++terminateCalls; }};
    s.spreadsheet = &spreadsheet;
    forms = std::make_unique<Forms>(s);
    connected = forms->createAll(connect ? db.args()
                                         : QStringList{db.name(), QStringLiteral("127.0.0.2")});
}

AppHarness::~AppHarness() { forms.reset(); }
