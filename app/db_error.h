#pragma once
#include <QString>
#include <stdexcept>

// A statement the server refused, or a connection that is not there. Carries the server's message.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message) : std::runtime_error(message.toStdString()), text_(message) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};
