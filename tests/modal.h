#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// Drives a modal window from inside its own event loop: as soon as a modal window is open,
// `action` runs on it (and is expected to close it). A window that is still open `timeoutMs`
// later is closed and the test fails, so a forgotten box never hangs the run.
inline void onNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, started, timeoutMs, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            if (started->elapsed() > timeoutMs) {
                ADD_FAILURE() << "no modal window opened";
                poll->deleteLater();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        QPointer<QWidget> guard(modal);
        action(modal);
        QTimer::singleShot(timeoutMs, [guard] {
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << "modal window left open: " << guard->metaObject()->className();
                guard->close();
            }
        });
    });
    poll->start();
}
