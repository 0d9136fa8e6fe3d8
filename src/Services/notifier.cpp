#include "notifier.h"

#include <QUuid>

Notifier::Notifier(Notifications &notifications)
    : m_notifications(notifications)
{
}

void Notifier::authorizationStatus(StatusCallback done)
{
    m_notifications.authorizationStatus(std::move(done));
}

void Notifier::ensureAuthorization(StatusCallback done)
{
    // The answer may come after this object is gone; the seam outlives every service.
    Notifications *notifications = &m_notifications;
    m_notifications.requestAuthorization(Notifications::alert | Notifications::sound,
                                         [notifications, done = std::move(done)] {
                                             notifications->authorizationStatus(done);
                                         });
}

void Notifier::notify(const QString &title, const QString &body)
{
    m_notifications.post(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(), title, body);
}

QString Notifier::warningTitle(int seconds)
{
    return u"还有 "_qs + QString::number(seconds) + u" 秒"_qs;
}
