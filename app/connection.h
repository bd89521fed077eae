#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// The server address used when the command line names none.
inline constexpr const char* kDefaultServer = "127.0.0.1";
inline constexpr const char* kDefaultDatabase = "mirta_erp";
// Environment variable that overrides the port 5432 of the connection text (tests, demo cluster).
inline constexpr const char* kPortOverrideEnv = "TABEL_PGPORT";

// The connection text for the two optional positional arguments (database, server):
// both take effect only when the server is given.
QString buildConnectionText(const QString& database, const QString& server);
QString buildConnectionText(const QStringList& positionalArgs);

// What of the connection text reaches libpq.
struct ConnectionParams {
    QString database;
    QString server;
    int port = 5432;
    QString user;
    QString password;
    QString sslMode;
};
// Reads "KEY=value;" pairs (keys case-insensitive). Port override from the environment applies.
ConnectionParams parseConnectionText(const QString& text);

// The one connection of the program. Every error becomes a DbError with the server's message.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionText(const QString& text) { text_ = text; }
    const QString& connectionText() const { return text_; }

    void open();
    void close();
    bool isOpen() const;

    QSqlDatabase& db() { return db_; }

    // Runs one statement; returns the number of rows it touched.
    int exec(const QString& sql, const QVariantMap& params = {});
    // First column of the first row (invalid when no row).
    QVariant scalar(const QString& sql, const QVariantMap& params = {});

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return txDepth_ > 0; }

private:
    QString name_;
    QString text_;
    QSqlDatabase db_;
    int txDepth_ = 0;
};

// Runs a sequence as one unit: commits on commit(), rolls back when left without it.
// Nested guards join the outer transaction.
class Transaction {
public:
    explicit Transaction(Connection& c);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& c_;
    bool outer_;
    bool done_ = false;
};

// Transaction-scoped advisory lock on a key (two integers); released at commit or rollback.
void advisoryXactLock(Connection& c, int classId, int key);
