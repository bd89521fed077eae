#pragma once
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

// A record filter evaluated on the client: conditions "field like 'text%'", "field like '%text%'",
// "field=value", "field<>value" (also !=, <, >, <=, >=) joined by "and". Field names ignore
// letter case; texts are quoted with apostrophes, an apostrophe inside doubled. "like" ignores
// letter case; "%" at the start or end of the pattern is the only wildcard, everything else in
// the pattern matches literally.
class FilterExpr {
public:
    enum class Op { Like, Eq, Ne, Lt, Gt, Le, Ge };
    struct Condition {
        QString field; // lower case
        Op op = Op::Eq;
        QVariant value; // QString for quoted texts, double for numbers
    };

    // Throws DbError on a malformed expression. An empty text gives an always-true filter.
    static FilterExpr parse(const QString& text);
    // The text quoted for a filter expression: 'O''Neil'.
    static QString quote(const QString& text);

    bool isEmpty() const { return conditions_.empty(); }
    bool matches(const std::function<QVariant(const QString& field)>& valueOf) const;
    const std::vector<Condition>& conditions() const { return conditions_; }

private:
    std::vector<Condition> conditions_;
};
