#pragma once

#include "notifications.h"

#include <QDBusConnection>
#include <QObject>

// Notifications through the freedesktop notification service (org.freedesktop.Notifications) on the session bus,
// or on any bus a test connects to. There is no permission to ask for: the program may post while the service's
// name has an owner or can be activated, else it counts as denied, and asking only reads that again. Every post is a
// new notification (no replacement), with the "message-new-instant" sound of the sound theme and the server's own
// expiry. Its body is escaped only for a server that reads markup in bodies. Main thread; owned by main.cpp.
class DBusNotifications : public QObject, public Notifications
{
    Q_OBJECT
public:
    static constexpr QStringView service = u"org.freedesktop.Notifications";
    static constexpr QStringView path = u"/org/freedesktop/Notifications";
    static constexpr QStringView appName = u"Tarnwick";
    static constexpr QStringView soundName = u"message-new-instant";

    explicit DBusNotifications(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    void authorizationStatus(StatusCallback done) override;
    void requestAuthorization(int options, std::function<void()> done) override;
    void post(const QString &identifier, const QString &title, const QString &body) override;

    // & < > as entities, for a body that the server reads as markup.
    [[nodiscard]] static QString escapeMarkup(const QString &text);

private:
    QDBusConnection m_bus;

    void notify(const QString &title, const QString &body);
};
