#include "../Services/scheduletesting.h"

#include "embeddedapp.h"
#include "embeddedprocessfamily.h"
#include "fake/fakeprocesstable.h"
#include "fake/fakerunningapps.h"
#include "supervisiontiming.h"

#include <QTest>

using ScheduleTesting::instant;
using ScheduleTesting::maybeInstant;
using ScheduleTesting::show;
using SupervisionTiming::OverrideEnd;

// The timing rules of the state object's supervision timers, as tables.
class TestSupervisionTiming : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isStale_data();
    void isStale();
    void blockWarningTime_data();
    void blockWarningTime();
    void nextBoundary_data();
    void nextBoundary();
    void loanEnd_data();
    void loanEnd();
    void nextGraceWarningEnd_data();
    void nextGraceWarningEnd();
    void batchAround_data();
    void batchAround();
    void everyOverrideGetsItsWarning();
    void warningBodies();
    void runningBlockedNames();
};

namespace {

// "id@2026-03-02T20:00:00.2Z id@..." → overrides in that order.
QList<OverrideEnd> overrides(const QString &text)
{
    QList<OverrideEnd> list;
    for (const QString &item : text.split(u' ', Qt::SkipEmptyParts)) {
        const auto parts = item.split(u'@');
        list.append({parts[0], instant(parts[1])});
    }
    return list;
}

QList<Instant> instants(const QString &text)
{
    QList<Instant> list;
    for (const QString &item : text.split(u' ', Qt::SkipEmptyParts))
        list.append(instant(item));
    return list;
}

SupervisionTiming::NamedEnds named(const QString &text)
{
    SupervisionTiming::NamedEnds set;
    for (const OverrideEnd &entry : overrides(text))
        set.insert({entry.bundleID, entry.until});
    return set;
}

} // namespace

void TestSupervisionTiming::isStale_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QString>("now");
    QTest::addColumn<bool>("stale");
    QTest::newRow("on time") << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T22:00:00Z"_qs << false;
    QTest::newRow("before the moment") << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T21:59:45Z"_qs << false;
    QTest::newRow("just under two minutes late")
        << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T22:01:59.999Z"_qs << false;
    QTest::newRow("two minutes late") << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T22:02:00Z"_qs << true;
    QTest::newRow("woken long after") << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T22:03:00Z"_qs << true;
}

void TestSupervisionTiming::isStale()
{
    QFETCH(QString, moment);
    QFETCH(QString, now);
    QFETCH(bool, stale);
    QCOMPARE(SupervisionTiming::isStale(instant(moment), instant(now)), stale);
}

void TestSupervisionTiming::blockWarningTime_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("warnAt");
    QTest::newRow("a start ahead") << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T21:00:00Z"_qs
                                   << u"2026-03-02T21:59:45Z"_qs;
    QTest::newRow("no start") << QString() << u"2026-03-02T21:00:00Z"_qs << QString();
    QTest::newRow("16 s ahead") << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T21:59:44Z"_qs
                                << u"2026-03-02T21:59:45Z"_qs;
    QTest::newRow("exactly 15 s ahead") << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T21:59:45Z"_qs << QString();
    QTest::newRow("10 s ahead") << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T21:59:50Z"_qs << QString();
}

void TestSupervisionTiming::blockWarningTime()
{
    QFETCH(QString, start);
    QFETCH(QString, now);
    QFETCH(QString, warnAt);
    QCOMPARE(show(SupervisionTiming::blockWarningTime(maybeInstant(start), instant(now))),
             show(maybeInstant(warnAt)));
}

void TestSupervisionTiming::nextBoundary_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("adHoc");
    QTest::addColumn<QString>("loans");
    QTest::addColumn<QString>("next");
    // Now is 20:00.
    QTest::newRow("a rule boundary alone") << u"2026-03-02T21:00:00Z"_qs << QString() << QString()
                                           << u"2026-03-02T21:00:00Z"_qs;
    QTest::newRow("an ad-hoc end before it")
        << u"2026-03-02T21:00:00Z"_qs << u"2026-03-02T20:30:00Z 2026-03-02T20:10:00Z"_qs << QString()
        << u"2026-03-02T20:10:00Z"_qs;
    QTest::newRow("a loan end before both")
        << u"2026-03-02T21:00:00Z"_qs << u"2026-03-02T20:30:00Z"_qs << u"2026-03-02T20:05:00Z"_qs
        << u"2026-03-02T20:05:00Z"_qs;
    QTest::newRow("no rule boundary, a loan") << QString() << QString() << u"2026-03-02T21:01:00Z"_qs
                                              << u"2026-03-02T21:01:00Z"_qs;
    QTest::newRow("ended loans are no boundary")
        << u"2026-03-02T21:00:00Z"_qs << QString() << u"2026-03-02T20:00:00Z 2026-03-02T19:00:00Z"_qs
        << u"2026-03-02T21:00:00Z"_qs;
    QTest::newRow("later ends change nothing")
        << u"2026-03-02T21:00:00Z"_qs << u"2026-03-02T22:00:00Z"_qs << u"2026-03-02T21:00:00.5Z"_qs
        << u"2026-03-02T21:00:00Z"_qs;
    QTest::newRow("nothing at all") << QString() << QString() << QString() << QString();
}

void TestSupervisionTiming::nextBoundary()
{
    QFETCH(QString, rule);
    QFETCH(QString, adHoc);
    QFETCH(QString, loans);
    QFETCH(QString, next);
    QCOMPARE(show(SupervisionTiming::nextBoundary(maybeInstant(rule), instants(adHoc), instants(loans),
                                                  instant(u"2026-03-02T20:00:00Z"_qs))),
             show(maybeInstant(next)));
}

void TestSupervisionTiming::loanEnd_data()
{
    QTest::addColumn<QString>("blockEnd");
    QTest::addColumn<QString>("until");
    QTest::addColumn<QString>("loan");
    // Granted at 20:00.
    QTest::newRow("block to 21:00, one minute off") << u"2026-03-02T21:00:00Z"_qs << u"2026-03-02T20:01:00Z"_qs
                                                    << u"2026-03-02T21:01:00Z"_qs;
    QTest::newRow("the whole block paused") << u"2026-03-02T21:00:00Z"_qs << u"2026-03-02T21:00:00Z"_qs
                                            << u"2026-03-02T22:00:00Z"_qs;
    QTest::newRow("no known end") << QString() << u"2026-03-02T20:01:00Z"_qs << QString();
    QTest::newRow("an end that is not ahead") << u"2026-03-02T20:00:00Z"_qs << u"2026-03-02T20:01:00Z"_qs
                                              << QString();
}

void TestSupervisionTiming::loanEnd()
{
    QFETCH(QString, blockEnd);
    QFETCH(QString, until);
    QFETCH(QString, loan);
    QCOMPARE(show(SupervisionTiming::loanEnd(maybeInstant(blockEnd), instant(u"2026-03-02T20:00:00Z"_qs),
                                             instant(until))),
             show(maybeInstant(loan)));
}

void TestSupervisionTiming::nextGraceWarningEnd_data()
{
    QTest::addColumn<QString>("live");
    QTest::addColumn<QString>("alreadyNamed");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("end");
    const QString ab = u"a@2026-03-02T20:00:00Z b@2026-03-02T20:00:10Z"_qs;
    QTest::newRow("the earliest first") << ab << QString() << u"2026-03-02T19:50:00Z"_qs
                                        << u"2026-03-02T20:00:00Z"_qs;
    QTest::newRow("list order does not matter")
        << u"b@2026-03-02T20:00:10Z a@2026-03-02T20:00:00Z"_qs << QString() << u"2026-03-02T19:50:00Z"_qs
        << u"2026-03-02T20:00:00Z"_qs;
    QTest::newRow("the next after a named one")
        << ab << u"a@2026-03-02T20:00:00Z"_qs << u"2026-03-02T19:59:45Z"_qs << u"2026-03-02T20:00:10Z"_qs;
    QTest::newRow("ten seconds after another, at its expiry")
        << u"b@2026-03-02T20:00:10Z"_qs << u"a@2026-03-02T20:00:00Z"_qs << u"2026-03-02T20:00:00Z"_qs
        << QString();
    QTest::newRow("a re-granted override counts anew")
        << u"a@2026-03-02T20:05:00Z"_qs << u"a@2026-03-02T20:00:00Z"_qs << u"2026-03-02T19:59:50Z"_qs
        << u"2026-03-02T20:05:00Z"_qs;
    QTest::newRow("granted with ten seconds left")
        << u"a@2026-03-02T20:00:00Z"_qs << QString() << u"2026-03-02T19:59:50Z"_qs << QString();
    QTest::newRow("warning time exactly now")
        << u"a@2026-03-02T20:00:00Z"_qs << QString() << u"2026-03-02T19:59:45Z"_qs << QString();
    QTest::newRow("a late one skipped, a later one armed")
        << ab << QString() << u"2026-03-02T19:59:50Z"_qs << u"2026-03-02T20:00:10Z"_qs;
    QTest::newRow("all named") << ab << ab << u"2026-03-02T19:00:00Z"_qs << QString();
    QTest::newRow("none") << QString() << QString() << u"2026-03-02T19:00:00Z"_qs << QString();
}

void TestSupervisionTiming::nextGraceWarningEnd()
{
    QFETCH(QString, live);
    QFETCH(QString, alreadyNamed);
    QFETCH(QString, now);
    QFETCH(QString, end);
    QCOMPARE(show(SupervisionTiming::nextGraceWarningEnd(overrides(live), named(alreadyNamed), instant(now))),
             show(maybeInstant(end)));
}

void TestSupervisionTiming::batchAround_data()
{
    QTest::addColumn<QString>("live");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QList<qsizetype>>("positions");
    const QString three = u"a@2026-03-02T20:00:00.2Z b@2026-03-02T20:00:00.9Z c@2026-03-02T20:00:02Z"_qs;
    QTest::newRow("two within a second") << three << u"2026-03-02T20:00:00.2Z"_qs << QList<qsizetype>{0, 1};
    QTest::newRow("the later one alone") << three << u"2026-03-02T20:00:02Z"_qs << QList<qsizetype>{2};
    QTest::newRow("either side") << u"a@2026-03-02T19:59:59.5Z b@2026-03-02T20:00:00.5Z"_qs
                                 << u"2026-03-02T20:00:00Z"_qs << QList<qsizetype>{0, 1};
    QTest::newRow("exactly a second apart is another batch")
        << u"a@2026-03-02T20:00:00Z b@2026-03-02T20:00:01Z"_qs << u"2026-03-02T20:00:00Z"_qs
        << QList<qsizetype>{0};
    QTest::newRow("nothing near") << three << u"2026-03-02T20:05:00Z"_qs << QList<qsizetype>{};
}

void TestSupervisionTiming::batchAround()
{
    QFETCH(QString, live);
    QFETCH(QString, end);
    QFETCH(QList<qsizetype>, positions);
    QCOMPARE(SupervisionTiming::batchAround(overrides(live), instant(end)), positions);
}

// Walks the warnings as the state object arms them: arm, fire at end − 15 s, mark the batch named, arm again.
void TestSupervisionTiming::everyOverrideGetsItsWarning()
{
    const QList<OverrideEnd> live =
        overrides(u"a@2026-03-02T20:00:00.2Z b@2026-03-02T20:00:00.9Z c@2026-03-02T20:00:10Z d@2026-03-02T20:00:02Z"_qs);
    SupervisionTiming::NamedEnds done;
    Instant now = instant(u"2026-03-02T19:00:00Z"_qs);
    QStringList fired;
    while (const auto end = SupervisionTiming::nextGraceWarningEnd(live, done, now)) {
        now = *end - SupervisionTiming::warningLead;
        QStringList names;
        for (const qsizetype i : SupervisionTiming::batchAround(live, *end)) {
            names.append(live[i].bundleID);
            done.insert({live[i].bundleID, live[i].until});
        }
        fired.append(show(now) + u' ' + names.join(u','));
    }
    QCOMPARE(fired, (QStringList{u"2026-03-02T19:59:45.200Z a,b"_qs, u"2026-03-02T19:59:47.000Z d"_qs,
                                 u"2026-03-02T19:59:55.000Z c"_qs}));
}

void TestSupervisionTiming::warningBodies()
{
    QCOMPARE(SupervisionTiming::blockWarningBody({u"X"_qs}), u"X即将进入禁启时段，请保存正在编辑的内容"_qs);
    QCOMPARE(SupervisionTiming::blockWarningBody({u"X"_qs, u"微信"_qs}),
             u"X、微信即将进入禁启时段，请保存正在编辑的内容"_qs);
    QCOMPARE(SupervisionTiming::graceWarningBody({u"X"_qs, u"Y"_qs}),
             u"X、Y的忽略时限即将结束，限制恢复后将被退出，请保存正在编辑的内容"_qs);
}

void TestSupervisionTiming::runningBlockedNames()
{
    const QString miniPath = u"/opt/Host.app/Contents/Mini.app"_qs;
    const EmbeddedAppRegistry registry(
        {{u"com.host.mini"_qs, u"小程序"_qs, miniPath, u"com.host"_qs, {}},
         {u"com.host.idle"_qs, u"空闲"_qs, u"/opt/Host.app/Contents/Idle.app"_qs, u"com.host"_qs, {}}},
        [](const QString &) { return true; });
    FakeProcessTable table;
    table.addProcess(401, miniPath + u"/Contents/MacOS/mini"_qs);
    const EmbeddedProcessFamily family(table);
    FakeRunningApps running;
    running.launch(u"org.zeta"_qs, u"Zeta"_qs);
    running.launch(u"org.alpha"_qs, u"阿尔法"_qs);
    running.launch(u"org.alpha"_qs, u"Second"_qs);
    running.launch(u"org.nameless"_qs, QString());
    // An instance under the idle embedded app's id does not stand for it: only its process family counts.
    running.launch(u"com.host.idle"_qs, u"空闲实例"_qs);

    const QSet<QString> blocked{u"org.zeta"_qs,      u"org.alpha"_qs,     u"org.nameless"_qs,
                                u"com.host.mini"_qs, u"com.host.idle"_qs, u"org.notrunning"_qs};
    QCOMPARE(SupervisionTiming::runningBlockedNames(blocked, registry, family, running),
             (QStringList{u"小程序"_qs, u"阿尔法"_qs, u"Zeta"_qs}));
    QCOMPARE(SupervisionTiming::runningBlockedNames({}, registry, family, running), QStringList());
}

QTEST_GUILESS_MAIN(TestSupervisionTiming)
#include "tst_supervisiontiming.moc"
