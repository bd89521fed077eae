#include "app/filter_expr.h"

#include "app/db_error.h"

namespace {
class Parser {
public:
    explicit Parser(const QString& t) : s(t) {}

    std::vector<FilterExpr::Condition> parse() {
        std::vector<FilterExpr::Condition> out;
        skipSpace();
        if (atEnd())
            return out;
        for (;;) {
            out.push_back(condition());
            skipSpace();
            if (atEnd())
                break;
            if (!keyword(u"and"))
                fail();
        }
        return out;
    }

private:
    const QString& s;
    qsizetype i = 0;

    bool atEnd() const { return i >= s.size(); }
    void skipSpace() {
        while (!atEnd() && s.at(i).isSpace())
            ++i;
    }
    [[noreturn]] void fail() const {
        throw DbError(QStringLiteral("Неверное выражение фильтра: %1").arg(s));
    }
    bool keyword(QStringView word) {
        skipSpace();
        if (s.size() - i < word.size() || QStringView(s).mid(i, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        const qsizetype end = i + word.size();
        if (end < s.size() && (s.at(end).isLetterOrNumber() || s.at(end) == u'_'))
            return false;
        i = end;
        return true;
    }
    QString identifier() {
        skipSpace();
        const qsizetype start = i;
        while (!atEnd() && (s.at(i).isLetterOrNumber() || s.at(i) == u'_' || s.at(i) == u'.'))
            ++i;
        if (i == start)
            fail();
        return s.mid(start, i - start).toLower();
    }
    FilterExpr::Op op() {
        skipSpace();
        if (keyword(u"like"))
            return FilterExpr::Op::Like;
        auto take = [&](QStringView t) {
            if (QStringView(s).mid(i).startsWith(t)) {
                i += t.size();
                return true;
            }
            return false;
        };
        if (take(u"<>") || take(u"!="))
            return FilterExpr::Op::Ne;
        if (take(u"<="))
            return FilterExpr::Op::Le;
        if (take(u">="))
            return FilterExpr::Op::Ge;
        if (take(u"="))
            return FilterExpr::Op::Eq;
        if (take(u"<"))
            return FilterExpr::Op::Lt;
        if (take(u">"))
            return FilterExpr::Op::Gt;
        fail();
    }
    QVariant value() {
        skipSpace();
        if (atEnd())
            fail();
        if (s.at(i) == u'\'') {
            QString text;
            ++i;
            for (;;) {
                if (atEnd())
                    fail();
                if (s.at(i) == u'\'') {
                    if (i + 1 < s.size() && s.at(i + 1) == u'\'') {
                        text += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    return text;
                }
                text += s.at(i++);
            }
        }
        const qsizetype start = i;
        while (!atEnd() && !s.at(i).isSpace())
            ++i;
        bool ok = false;
        const double d = s.mid(start, i - start).toDouble(&ok);
        if (!ok)
            fail();
        return d;
    }
    FilterExpr::Condition condition() {
        FilterExpr::Condition c;
        c.field = identifier();
        c.op = op();
        c.value = value();
        if (c.op == FilterExpr::Op::Like && c.value.typeId() != QMetaType::QString)
            c.value = c.value.toString();
        return c;
    }
};

bool likeMatch(const QString& text, QString pattern) {
    const bool anyStart = pattern.startsWith(u'%');
    if (anyStart)
        pattern.remove(0, 1);
    const bool anyEnd = pattern.endsWith(u'%');
    if (anyEnd)
        pattern.chop(1);
    if (anyStart && anyEnd)
        return text.contains(pattern, Qt::CaseInsensitive);
    if (anyEnd)
        return text.startsWith(pattern, Qt::CaseInsensitive);
    if (anyStart)
        return text.endsWith(pattern, Qt::CaseInsensitive);
    return text.compare(pattern, Qt::CaseInsensitive) == 0;
}

int compareValues(const QVariant& field, const QVariant& value) {
    if (value.typeId() == QMetaType::Double) {
        bool ok = false;
        const double f = field.toString().trimmed().toDouble(&ok);
        if (ok || field.isNull()) {
            const double v = value.toDouble();
            const double a = ok ? f : 0.0;
            return a < v ? -1 : (a > v ? 1 : 0);
        }
    }
    return field.toString().compare(value.toString(), Qt::CaseInsensitive);
}
} // namespace

FilterExpr FilterExpr::parse(const QString& text) {
    FilterExpr e;
    e.conditions_ = Parser(text).parse();
    return e;
}

QString FilterExpr::quote(const QString& text) {
    QString q = text;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

bool FilterExpr::matches(const std::function<QVariant(const QString&)>& valueOf) const {
    for (const Condition& c : conditions_) {
        const QVariant v = valueOf(c.field);
        bool ok = false;
        switch (c.op) {
        case Op::Like: ok = likeMatch(v.toString(), c.value.toString()); break;
        case Op::Eq: ok = compareValues(v, c.value) == 0; break;
        case Op::Ne: ok = compareValues(v, c.value) != 0; break;
        case Op::Lt: ok = compareValues(v, c.value) < 0; break;
        case Op::Gt: ok = compareValues(v, c.value) > 0; break;
        case Op::Le: ok = compareValues(v, c.value) <= 0; break;
        case Op::Ge: ok = compareValues(v, c.value) >= 0; break;
        }
        if (!ok)
            return false;
    }
    return true;
}
