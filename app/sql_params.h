#pragma once
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Names of the ":name" parameters of a statement, in order of first appearance, lower case.
// Quoted texts, quoted identifiers and "::" casts are not parameters.
QStringList sqlParameterNames(const QString& sql);

// Prepares (when the statement has parameters) and executes; throws DbError with the server's
// message when the server refuses. Parameter names are matched without letter case.
void runStatement(QSqlQuery& q, const QString& sql, const QVariantMap& params);

// Binds the values of a statement already prepared and executes it.
void execPrepared(QSqlQuery& q, const QStringList& names, const QVariantMap& params);

// The server's message of the last error of the query.
QString queryErrorText(const QSqlQuery& q);
