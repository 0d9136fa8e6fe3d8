#include "linux/dbusnotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace {

constexpr QStringView busService = u"org.freedesktop.DBus";
constexpr QStringView busPath = u"/org/freedesktop/DBus";

// Runs `then` with the reply once it is in; the watcher deletes itself.
template<typename Reply, typename Then>
void whenAnswered(QDBusPendingCall call, QObject *context, Then then)
{
    auto *watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [watcher, then] {
        watcher->deleteLater();
        then(Reply(*watcher));
    });
}

} // namespace

DBusNotifications::DBusNotifications(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
}

void DBusNotifications::authorizationStatus(StatusCallback done)
{
    if (!m_bus.isConnected()) {
        QTimer::singleShot(0, this, [done] { done(NotificationAuthorization::denied); });
        return;
    }
    auto hasOwner = QDBusMessage::createMethodCall(busService.toString(), busPath.toString(), busService.toString(),
                                                   QStringLiteral("NameHasOwner"));
    hasOwner << service.toString();
    whenAnswered<QDBusPendingReply<bool>>(m_bus.asyncCall(hasOwner), this, [this, done](const auto &owned) {
        if (!owned.isError() && owned.value()) {
            done(NotificationAuthorization::authorized);
            return;
        }
        const auto activatable = QDBusMessage::createMethodCall(busService.toString(), busPath.toString(),
                                                                busService.toString(),
                                                                QStringLiteral("ListActivatableNames"));
        whenAnswered<QDBusPendingReply<QStringList>>(m_bus.asyncCall(activatable), this, [done](const auto &names) {
            const bool can = !names.isError() && names.value().contains(service.toString());
            done(can ? NotificationAuthorization::authorized : NotificationAuthorization::denied);
        });
    });
}

void DBusNotifications::requestAuthorization(int options, std::function<void()> done)
{
    Q_UNUSED(options);
    QTimer::singleShot(0, this, [done] { done(); });
}

void DBusNotifications::post(const QString &identifier, const QString &title, const QString &body)
{
    Q_UNUSED(identifier); // the server numbers its notifications itself; asking to replace none makes each one new
    if (!m_bus.isConnected())
        return;
    const auto capabilities = QDBusMessage::createMethodCall(service.toString(), path.toString(),
                                                             service.toString(), QStringLiteral("GetCapabilities"));
    whenAnswered<QDBusPendingReply<QStringList>>(m_bus.asyncCall(capabilities), this,
                                                 [this, title, body](const auto &reply) {
                                                     const bool markup = !reply.isError()
                                                                         && reply.value().contains(u"body-markup"_qs);
                                                     notify(title, markup ? escapeMarkup(body) : body);
                                                 });
}

void DBusNotifications::notify(const QString &title, const QString &body)
{
    auto call = QDBusMessage::createMethodCall(service.toString(), path.toString(), service.toString(),
                                               QStringLiteral("Notify"));
    const QVariantMap hints{{u"sound-name"_qs, soundName.toString()}};
    call << appName.toString() << uint(0) << QString() << title << body << QStringList() << hints << int(-1);
    m_bus.asyncCall(call);
}

QString DBusNotifications::escapeMarkup(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&')
            out += u"&amp;";
        else if (c == u'<')
            out += u"&lt;";
        else if (c == u'>')
            out += u"&gt;";
        else
            out += c;
    }
    return out;
}
