#include "app/gui_services.h"

#include "app/db_error.h"

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>

void QtMessenger::error(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtMessenger::question(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    return box.exec() == QMessageBox::Yes;
}

void QtMessenger::information(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void guarded(Messenger& messenger, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const DbError& e) {
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        messenger.error(e.text(), QStringLiteral("Ошибка"));
    } catch (const std::exception& e) {
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        messenger.error(QString::fromUtf8(e.what()), QStringLiteral("Ошибка"));
    }
}
