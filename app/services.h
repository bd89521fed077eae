#pragma once
#include <QDate>
#include <QString>

// Message boxes and questions. The real one shows Qt message boxes; tests answer them.
class Messenger {
public:
    virtual ~Messenger() = default;
    // Error icon, OK button.
    virtual void error(const QString& text, const QString& title) = 0;
    // Question icon, Yes/No buttons; true on Yes.
    virtual bool question(const QString& text, const QString& title) = 0;
    virtual void information(const QString& text, const QString& title) = 0;
};

// "Today" of the client machine.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};
