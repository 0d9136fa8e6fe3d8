#include "linux/dbusnotifications.h"
#include "privatebus.h"

#include <QDBusMetaType>
#include <QTest>

// A notification server of the test's own, on the test's own bus.
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call
    {
        QString appName;
        uint replacesID;
        QString icon, summary, body;
        QStringList actions;
        QVariantMap hints;
        int expire;
    };
    QStringList capabilities{u"body"_qs, u"actions"_qs};
    QList<Call> calls;

public Q_SLOTS:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString &appName, uint replacesID, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expire)
    {
        calls.append({appName, replacesID, icon, summary, body, actions, hints, expire});
        return uint(calls.size());
    }
};

// Notifications over the test's own dbus-daemon: what is posted, when markup is escaped, and how the permission
// follows the service's presence.
class TestDBusNotifications : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void postsEveryCallAsANewNotification();
    void bodyEscapedOnlyForMarkupServers_data();
    void bodyEscapedOnlyForMarkupServers();
    void authorization_data();
    void authorization();
    void withoutABusNothingIsAuthorized();

private:
    static NotificationAuthorization statusOf(DBusNotifications &notifications, int *requestAnswers = nullptr);
};

NotificationAuthorization TestDBusNotifications::statusOf(DBusNotifications &notifications, int *requestAnswers)
{
    std::optional<NotificationAuthorization> status;
    bool requested = false;
    notifications.requestAuthorization(Notifications::alert | Notifications::sound, [&] { requested = true; });
    if (!QTest::qWaitFor([&] { return requested; }, 5000))
        return NotificationAuthorization::notDetermined;
    if (requestAnswers)
        ++*requestAnswers;
    notifications.authorizationStatus([&](NotificationAuthorization s) { status = s; });
    (void)QTest::qWaitFor([&] { return status.has_value(); }, 5000);
    return status.value_or(NotificationAuthorization::notDetermined);
}

void TestDBusNotifications::postsEveryCallAsANewNotification()
{
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    auto server = bus.connect(u"server"_qs);
    FakeNotificationServer fake;
    QVERIFY(server.registerObject(u"/org/freedesktop/Notifications"_qs, &fake, QDBusConnection::ExportAllSlots));
    QVERIFY(server.registerService(u"org.freedesktop.Notifications"_qs));

    DBusNotifications notifications(bus.connect(u"client"_qs));
    notifications.post(u"A"_qs, u"还有 15 秒"_qs, u"计算器即将按时退出，请保存正在编辑的内容"_qs);
    notifications.post(u"B"_qs, u"还有 15 秒"_qs, u"计算器即将按时退出，请保存正在编辑的内容"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(fake.calls.size(), 2, 5000);
    for (const auto &call : std::as_const(fake.calls)) {
        QCOMPARE(call.appName, u"Tarnwick"_qs);
        QCOMPARE(call.replacesID, 0u);
        QCOMPARE(call.summary, u"还有 15 秒"_qs);
        QCOMPARE(call.body, u"计算器即将按时退出，请保存正在编辑的内容"_qs);
        QVERIFY(call.actions.isEmpty());
        QCOMPARE(call.hints.value(u"sound-name"_qs).toString(), u"message-new-instant"_qs);
        QCOMPARE(call.expire, -1);
    }
}

void TestDBusNotifications::bodyEscapedOnlyForMarkupServers_data()
{
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("delivered");
    const QString body = u"「R&D <beta>」即将退出，正在编辑的内容请及时保存"_qs;
    QTest::newRow("plain server") << QStringList{u"body"_qs} << body << body;
    QTest::newRow("markup server")
        << QStringList{u"body"_qs, u"body-markup"_qs} << body
        << u"「R&amp;D &lt;beta&gt;」即将退出，正在编辑的内容请及时保存"_qs;
    QTest::newRow("quotes stay as they are") << QStringList{u"body-markup"_qs} << u"\"a\" 'b'"_qs << u"\"a\" 'b'"_qs;
}

void TestDBusNotifications::bodyEscapedOnlyForMarkupServers()
{
    QFETCH(QStringList, capabilities);
    QFETCH(QString, body);
    QFETCH(QString, delivered);
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    auto server = bus.connect(u"server"_qs);
    FakeNotificationServer fake;
    fake.capabilities = capabilities;
    QVERIFY(server.registerObject(u"/org/freedesktop/Notifications"_qs, &fake, QDBusConnection::ExportAllSlots));
    QVERIFY(server.registerService(u"org.freedesktop.Notifications"_qs));
    DBusNotifications notifications(bus.connect(u"client"_qs));
    notifications.post(u"x"_qs, u"<b>title</b>"_qs, body);
    QTRY_COMPARE_WITH_TIMEOUT(fake.calls.size(), 1, 5000);
    QCOMPARE(fake.calls.first().body, delivered);
    QCOMPARE(fake.calls.first().summary, u"<b>title</b>"_qs); // a summary is never markup
}

void TestDBusNotifications::authorization_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("activatable");
    QTest::addColumn<int>("status");
    QTest::newRow("a server owns the name") << true << false << int(NotificationAuthorization::authorized);
    QTest::newRow("the service can be activated") << false << true << int(NotificationAuthorization::authorized);
    QTest::newRow("no server at all") << false << false << int(NotificationAuthorization::denied);
}

void TestDBusNotifications::authorization()
{
    QFETCH(bool, running);
    QFETCH(bool, activatable);
    QFETCH(int, status);
    PrivateBus bus(activatable ? QStringList{u"org.freedesktop.Notifications"_qs} : QStringList{});
    QVERIFY(bus.isRunning());
    FakeNotificationServer fake;
    if (running) {
        auto server = bus.connect(u"server"_qs);
        QVERIFY(server.registerObject(u"/org/freedesktop/Notifications"_qs, &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(server.registerService(u"org.freedesktop.Notifications"_qs));
    }
    DBusNotifications notifications(bus.connect(u"client"_qs));
    int answers = 0;
    QCOMPARE(int(statusOf(notifications, &answers)), status);
    QCOMPARE(answers, 1);
    QVERIFY(fake.calls.isEmpty());
}

void TestDBusNotifications::withoutABusNothingIsAuthorized()
{
    // The tests' session bus address leads nowhere.
    DBusNotifications notifications;
    QCOMPARE(statusOf(notifications), NotificationAuthorization::denied);
    notifications.post(u"x"_qs, u"t"_qs, u"b"_qs); // goes nowhere, quietly
}

QTEST_GUILESS_MAIN(TestDBusNotifications)
#include "tst_dbusnotifications.moc"
