#include "app/connection.h"

#include "app/db_error.h"
#include "app/sql_params.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QAtomicInt connectionCounter;

QString serverMessage(const QSqlError& e) {
    QString msg = e.databaseText().trimmed();
    if (msg.isEmpty())
        msg = e.driverText().trimmed();
    if (msg.isEmpty())
        msg = e.text().trimmed();
    return msg;
}
} // namespace

QString buildConnectionText(const QString& database, const QString& server) {
    const bool useArgs = !server.isEmpty();
    return QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=") + (useArgs ? database : kDefaultDatabase) +
           QStringLiteral(";SERVER=") + (useArgs ? server : kDefaultServer) +
           QStringLiteral(";PORT=5432;UID=sys;PWD=tumbrex;SSLmode=allow;") +
           QStringLiteral("ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;"
                          "ShowSystemTables=0;Fetch=100;UnknownSizes=0;MaxVarcharSize=255;"
                          "MaxLongVarcharSize=8190;") +
           QStringLiteral("Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=0;"
                          "BoolsAsChar=1;Parse=0;ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;") +
           QStringLiteral("TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;"
                          "LowerCaseIdentifier=0;D6=-101;OptionalErrors=0;XaOpt=1");
}

QString buildConnectionText(const QStringList& positionalArgs) {
    return buildConnectionText(positionalArgs.value(0), positionalArgs.value(1));
}

ConnectionParams parseConnectionText(const QString& text) {
    ConnectionParams p;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toUpper();
        const QString value = part.mid(eq + 1);
        if (key == u"DATABASE")
            p.database = value;
        else if (key == u"SERVER")
            p.server = value;
        else if (key == u"PORT")
            p.port = value.toInt();
        else if (key == u"UID")
            p.user = value;
        else if (key == u"PWD")
            p.password = value;
        else if (key == u"SSLMODE")
            p.sslMode = value;
    }
    const QByteArray port = qgetenv(kPortOverrideEnv);
    if (!port.isEmpty() && port.toInt() > 0)
        p.port = port.toInt();
    return p;
}

Connection::Connection() : name_(QStringLiteral("tabel-%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
}

Connection::~Connection() {
    close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

void Connection::open() {
    if (!db_.isValid())
        throw DbError(QStringLiteral("Драйвер PostgreSQL (QPSQL) не найден"));
    close();
    const ConnectionParams p = parseConnectionText(text_);
    db_.setDatabaseName(p.database);
    db_.setHostName(p.server);
    db_.setPort(p.port);
    db_.setUserName(p.user);
    db_.setPassword(p.password);
    QString options = QStringLiteral("connect_timeout=10");
    if (!p.sslMode.isEmpty())
        options += QStringLiteral(";sslmode=") + p.sslMode.toLower();
    db_.setConnectOptions(options);
    if (!db_.open())
        throw DbError(serverMessage(db_.lastError()));
}

void Connection::close() {
    if (db_.isOpen())
        db_.close();
    txDepth_ = 0;
}

bool Connection::isOpen() const { return db_.isOpen(); }

int Connection::exec(const QString& sql, const QVariantMap& params) {
    QSqlQuery q(db_);
    runStatement(q, sql, params);
    return q.numRowsAffected();
}

QVariant Connection::scalar(const QString& sql, const QVariantMap& params) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    runStatement(q, sql, params);
    return q.next() ? q.value(0) : QVariant();
}

void Connection::begin() {
    if (txDepth_++ > 0)
        return;
    if (!db_.isOpen())
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    if (!db_.transaction()) {
        txDepth_ = 0;
        throw DbError(serverMessage(db_.lastError()));
    }
}

void Connection::commit() {
    if (txDepth_ == 0)
        return;
    if (--txDepth_ > 0)
        return;
    if (!db_.commit()) {
        const QString msg = serverMessage(db_.lastError());
        db_.rollback();
        throw DbError(msg);
    }
}

void Connection::rollback() {
    if (txDepth_ == 0)
        return;
    txDepth_ = 0;
    db_.rollback();
}

Transaction::Transaction(Connection& c) : c_(c), outer_(!c.inTransaction()) {
    if (outer_)
        c_.begin();
}

Transaction::~Transaction() {
    if (outer_ && !done_)
        c_.rollback();
}

void Transaction::commit() {
    if (outer_ && !done_)
        c_.commit();
    done_ = true;
}

void advisoryXactLock(Connection& c, int classId, int key) {
    c.scalar(QStringLiteral("select pg_advisory_xact_lock(:a, :b)"),
             {{QStringLiteral("a"), classId}, {QStringLiteral("b"), key}});
}
