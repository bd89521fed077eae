#include "app/sql_params.h"

#include "app/db_error.h"

#include <QSqlDriver>
#include <QSqlError>

QStringList sqlParameterNames(const QString& sql) {
    QStringList names;
    const qsizetype n = sql.size();
    QChar quote;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = sql.at(i);
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
            continue;
        }
        if (ch == u'\'' || ch == u'"') {
            quote = ch;
            continue;
        }
        if (ch != u':')
            continue;
        if (i + 1 < n && sql.at(i + 1) == u':') {
            ++i; // a cast
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_'))
            ++j;
        if (j > i + 1) {
            const QString name = sql.mid(i + 1, j - i - 1).toLower();
            if (!names.contains(name))
                names << name;
        }
        i = j - 1;
    }
    return names;
}

QString queryErrorText(const QSqlQuery& q) {
    const QSqlError e = q.lastError();
    QString msg = e.databaseText().trimmed();
    if (msg.isEmpty())
        msg = e.driverText().trimmed();
    if (msg.isEmpty())
        msg = QStringLiteral("Ошибка выполнения запроса");
    return msg;
}

static QVariant paramValue(const QVariantMap& params, const QString& name) {
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return QVariant();
}

void execPrepared(QSqlQuery& q, const QStringList& names, const QVariantMap& params) {
    for (const QString& name : names)
        q.bindValue(u':' + name, paramValue(params, name));
    if (!q.exec())
        throw DbError(queryErrorText(q));
}

void runStatement(QSqlQuery& q, const QString& sql, const QVariantMap& params) {
    if (!q.driver() || !q.driver()->isOpen())
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    const QStringList names = sqlParameterNames(sql);
    if (names.isEmpty()) {
        if (!q.exec(sql))
            throw DbError(queryErrorText(q));
        return;
    }
    if (!q.prepare(sql))
        throw DbError(queryErrorText(q));
    execPrepared(q, names, params);
}
