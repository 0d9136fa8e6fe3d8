#pragma once

#include "notifications.h"

#include <QString>

#include <functional>

// Reads and asks for the permission to post notifications, and posts immediate ones, each under a new identifier.
// Answers come later, on the main thread. Main thread; owned by main.cpp (or a test) and shared by the supervision
// services.
class Notifier
{
public:
    using StatusCallback = Notifications::StatusCallback;

    explicit Notifier(Notifications &notifications);

    void authorizationStatus(StatusCallback done);
    // Asks for alert and sound; whatever the answer, then reads the status anew and hands it to `done`.
    void ensureAuthorization(StatusCallback done);
    void notify(const QString &title, const QString &body);

    // The title of every 15-second warning: "还有 15 秒".
    [[nodiscard]] static QString warningTitle(int seconds = 15);

private:
    Notifications &m_notifications;
};
