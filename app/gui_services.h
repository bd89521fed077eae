#pragma once
#include "app/services.h"

#include <QDialog>
#include <functional>

class QWidget;

// Showing a window modally. The real one calls exec(); tests act inside the shown window.
class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    virtual int showModal(QDialog& window) = 0;
};

class QtMessenger : public Messenger {
public:
    void error(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    void information(const QString& text, const QString& title) override;
};

class QtModalRunner : public ModalRunner {
public:
    int showModal(QDialog& window) override { return window.exec(); }
};

// Runs a user-event handler. A database error (or any other exception) is shown in the general
// error box titled "Ошибка" with the server's message; the window stays usable.
void guarded(Messenger& messenger, const std::function<void()>& handler);

// Connects a signal to a handler that runs guarded.
template <typename Sender, typename Signal, typename Handler>
void connectGuarded(Messenger& messenger, Sender* sender, Signal signal, QObject* context, Handler handler) {
    QObject::connect(sender, signal, context, [&messenger, handler](auto&&...) { guarded(messenger, handler); });
}

// A window's objectName and its controls' names are its specified names: finds a child by name.
template <typename T> T* named(QObject* parent, const QString& name) {
    return parent->findChild<T*>(name);
}
