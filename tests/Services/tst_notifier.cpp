#include "notifier.h"

#include "fake/fakenotifications.h"

#include <QRegularExpression>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(NotificationAuthorization)

class TestNotifier : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyPostIsNewWithAnUpperCaseIdentifier();
    void warningTitle();
    void ensureAuthorizationReadsTheStatusAfterTheAnswer_data();
    void ensureAuthorizationReadsTheStatusAfterTheAnswer();
};

void TestNotifier::everyPostIsNewWithAnUpperCaseIdentifier()
{
    FakeNotifications center;
    Notifier notifier(center);
    notifier.notify(u"还有 15 秒"_qs, u"「编辑器」即将退出"_qs);
    notifier.notify(u"还有 15 秒"_qs, u"「编辑器」即将退出"_qs);

    QCOMPARE(center.posts().size(), 2);
    const QRegularExpression canonical(u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_qs);
    for (const auto &post : center.posts()) {
        QVERIFY2(canonical.match(post.identifier).hasMatch(), qPrintable(post.identifier));
        QCOMPARE(post.title, u"还有 15 秒"_qs);
        QCOMPARE(post.body, u"「编辑器」即将退出"_qs);
    }
    QVERIFY(center.posts().at(0).identifier != center.posts().at(1).identifier);
}

void TestNotifier::warningTitle()
{
    QCOMPARE(Notifier::warningTitle(), u"还有 15 秒"_qs);
}

void TestNotifier::ensureAuthorizationReadsTheStatusAfterTheAnswer_data()
{
    QTest::addColumn<NotificationAuthorization>("before");
    QTest::addColumn<NotificationAuthorization>("afterAnswer");
    QTest::newRow("granted") << NotificationAuthorization::notDetermined << NotificationAuthorization::authorized;
    QTest::newRow("refused") << NotificationAuthorization::notDetermined << NotificationAuthorization::denied;
    QTest::newRow("already denied stays denied") << NotificationAuthorization::denied
                                                 << NotificationAuthorization::denied;
}

void TestNotifier::ensureAuthorizationReadsTheStatusAfterTheAnswer()
{
    QFETCH(NotificationAuthorization, before);
    QFETCH(NotificationAuthorization, afterAnswer);
    FakeNotifications center;
    center.setStatus(before);
    center.setStatusAfterRequest(afterAnswer);
    center.setDeferAnswers(true);
    std::optional<NotificationAuthorization> result;
    {
        Notifier notifier(center);
        notifier.ensureAuthorization([&](NotificationAuthorization s) { result = s; });
    } // the answer may arrive after the notifier is gone
    QCOMPARE(center.requestedOptions(), QList<int>{6}); // alert and sound
    QVERIFY(!result);
    center.answerAll(); // the permission answer; the status is read only now
    QVERIFY(!result);
    center.answerAll();
    QVERIFY(result);
    QCOMPARE(*result, afterAnswer);
}

QTEST_GUILESS_MAIN(TestNotifier)
#include "tst_notifier.moc"
