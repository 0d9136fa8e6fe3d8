#include "focussessionmanager.h"

#include "appidentity.h"
#include "appprocesscontrol.h"
#include "embeddedprocessfamily.h"
#include "fake/fakenotifications.h"
#include "fake/fakeprocesstable.h"
#include "fake/fakerunningapps.h"
#include "fake/fakesleepwake.h"
#include "fake/virtualclock.h"
#include "focussessionstore.h"
#include "notifier.h"
#include "workspaceterminator.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString editor = u"org.editor"_qs;
const QString browser = u"com.host.browser"_qs;
const QString browserPath = u"/opt/Host.app/Contents/Browser.app"_qs;
const QString warningBody = u"「编辑器」即将退出，正在编辑的内容请及时保存"_qs;

// The desktop the manager works on, with the production terminator over fake running apps and processes; the
// block hook's calls are kept as "<bundleID> <minutes>".
struct Desk
{
    QTemporaryDir dir;
    VirtualClock clock;
    Instant t0 = clock.now();
    FakeNotifications center;
    Notifier notifier{center};
    FakeRunningApps running;
    FakeProcessTable table;
    FakeSleepWake power;
    EmbeddedProcessFamily family{table};
    EmbeddedAppRegistry registry{{{browser, u"浏览器"_qs, browserPath, u"com.host"_qs, {}}},
                                 [](const QString &) { return true; }};
    AppProcessControl control{running, family, registry};
    WorkspaceTerminator terminator{control};
    FocusSessionStore store{dir.path()};
    std::unique_ptr<FocusSessionManager> manager;
    QStringList blocks;

    Desk() { start(); }

    void start()
    {
        manager.reset(); // the old one goes first, as at a restart
        manager = std::make_unique<FocusSessionManager>(store, terminator, clock, clock, notifier, running, running,
                                                       power);
        manager->onExpiryBlock = [this](const QString &bundleID, int minutes) {
            blocks.append(u"%1 %2"_qs.arg(bundleID).arg(minutes));
        };
    }

    FocusSession begin(const QString &bundleID, Duration length, std::optional<int> blockMinutes = std::nullopt,
                       const QString &appName = u"编辑器"_qs)
    {
        FocusSession s;
        s.bundleID = bundleID;
        s.appName = appName;
        s.deadline = clock.now() + length;
        s.blockMinutes = blockMinutes;
        manager->begin(s);
        return s;
    }

    // The posted warnings as "warn <body>"; every one must carry the warning title.
    QStringList notices() const
    {
        QStringList out;
        for (const auto &p : center.posts()) {
            QTEST_ASSERT(p.title == u"还有 15 秒"_qs);
            out.append(u"warn "_qs + p.body);
        }
        return out;
    }

    QList<FocusSession> onDisk() { return store.load(); }
};

} // namespace

class TestFocusSessionManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void warningThenQuitThenBlock_data();
    void warningThenQuitThenBlock();
    void warningOnlyWhenMoreThan15SecondsRemain_data();
    void warningOnlyWhenMoreThan15SecondsRemain();
    void appQuitByHandEndsItsSessionsWithoutQuitOrBlock();
    void sessionEndsOnlyWithTheAppsLastInstance_data();
    void sessionEndsOnlyWithTheAppsLastInstance();
    void endNeverQuitsTheApp();
    void appThatQuitsAtOnceStillGetsItsBlock();
    void pauseAndResume();
    void twoSessionsOfOneAppPauseResumeAndEndTogether();
    void deadlineAsleep_data();
    void deadlineAsleep();
    void lateWarningBeforeTheDeadlineStillWarns();
    void wakeLeavesPausedSessionsToTheirResume();
    void restartRestoresRunningSessions();
    void startUpWithDamagedFile();
    void embeddedAppIsKilledAndTheProgramNeverQuitsItself();
    void observersSeeTheWholeChange_data();
    void observersSeeTheWholeChange();
    void droppedWhileItActs_data();
    void droppedWhileItActs();
};

void TestFocusSessionManager::warningThenQuitThenBlock_data()
{
    QTest::addColumn<std::optional<int>>("blockMinutes");
    QTest::addColumn<QStringList>("blocks");
    QTest::newRow("block of 30 minutes after") << std::optional<int>(30) << QStringList{u"org.editor 30"_qs};
    QTest::newRow("no block after") << std::optional<int>() << QStringList{};
    QTest::newRow("a block of 0 minutes still calls the hook") << std::optional<int>(0)
                                                               << QStringList{u"org.editor 0"_qs};
}

void TestFocusSessionManager::warningThenQuitThenBlock()
{
    QFETCH(std::optional<int>, blockMinutes);
    QFETCH(QStringList, blocks);
    Desk d;
    d.running.launch(editor, u"编辑器"_qs, 401);
    d.begin(editor, 10min, blockMinutes);
    QCOMPARE(d.onDisk().size(), 1);

    d.clock.advanceTo(d.t0 + 9min + 45s - 1ms);
    QVERIFY(d.center.posts().isEmpty());
    d.clock.advanceBy(1ms);
    QCOMPARE(d.notices(), QStringList{u"warn "_qs + warningBody});
    QVERIFY(d.running.requests().isEmpty());

    d.clock.advanceTo(d.t0 + 10min - 1ms);
    QVERIFY(d.running.requests().isEmpty());
    d.clock.advanceBy(1ms);
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.editor 401"_qs});
    QCOMPARE(d.blocks, blocks);
    QVERIFY(d.manager->sessions().isEmpty());
    QVERIFY(d.onDisk().isEmpty());
    QCOMPARE(d.clock.pendingTimerCount(), 0);

    d.clock.advanceBy(1h);
    QCOMPARE(d.running.requests().size(), 1);
    QCOMPARE(d.center.posts().size(), 1);
}

void TestFocusSessionManager::warningOnlyWhenMoreThan15SecondsRemain_data()
{
    QTest::addColumn<Duration>("length");
    QTest::addColumn<int>("warnings");
    QTest::newRow("10 seconds left") << Duration(10s) << 0;
    QTest::newRow("exactly 15 seconds left") << Duration(15s) << 0;
    QTest::newRow("16 seconds left") << Duration(16s) << 1;
    QTest::newRow("deadline already passed") << Duration(-5s) << 0;
}

void TestFocusSessionManager::warningOnlyWhenMoreThan15SecondsRemain()
{
    QFETCH(Duration, length);
    QFETCH(int, warnings);
    Desk d;
    d.running.launch(editor, u"编辑器"_qs, 401);
    d.begin(editor, length, 5);
    d.clock.advanceBy(1min);
    QCOMPARE(d.center.posts().size(), warnings);
    // However little time was left, the quit and the block still come, once.
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.editor 401"_qs});
    QCOMPARE(d.blocks, QStringList{u"org.editor 5"_qs});
}

void TestFocusSessionManager::appQuitByHandEndsItsSessionsWithoutQuitOrBlock()
{
    Desk d;
    const auto app = d.running.launch(editor, u"编辑器"_qs, 401);
    d.running.launch(u"org.other"_qs, u"别的"_qs, 402);
    d.begin(editor, 10min, 30);
    const auto other = d.begin(u"org.other"_qs, 10min, std::nullopt, u"别的"_qs);

    d.clock.advanceBy(5min);
    d.running.quit(app);
    QCOMPARE(d.manager->sessions(), QList<FocusSession>{other});
    QCOMPARE(d.onDisk(), QList<FocusSession>{other});

    // An app that maps to no identifier ends nothing.
    d.running.quit(d.running.launch(QString(), u"无名"_qs, 403));
    QCOMPARE(d.manager->sessions().size(), 1);

    d.clock.advanceBy(1h);
    QCOMPARE(d.notices(), QStringList{u"warn 「别的」即将退出，正在编辑的内容请及时保存"_qs});
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.other 402"_qs});
    QVERIFY(d.blocks.isEmpty());
}

void TestFocusSessionManager::sessionEndsOnlyWithTheAppsLastInstance_data()
{
    QTest::addColumn<bool>("firstEndsFirst");
    // Opening a running app may start a second process that hands over to the first and exits at once.
    QTest::newRow("the second, short-lived instance ends first") << false;
    QTest::newRow("the first instance ends first") << true;
}

void TestFocusSessionManager::sessionEndsOnlyWithTheAppsLastInstance()
{
    QFETCH(bool, firstEndsFirst);
    Desk d;
    const auto first = d.running.launch(editor, u"编辑器"_qs, 401);
    const auto s = d.begin(editor, 10min, 30);
    const auto second = d.running.launch(editor, u"编辑器"_qs, 402);

    d.clock.advanceBy(1min);
    d.running.quit(firstEndsFirst ? first : second);
    QCOMPARE(d.manager->sessions(), QList<FocusSession>{s});
    QCOMPARE(d.onDisk(), QList<FocusSession>{s});

    // The session still keeps its promise: the warning, the quit of the instance left, the block.
    d.clock.advanceTo(d.t0 + 10min);
    QCOMPARE(d.notices(), QStringList{u"warn "_qs + warningBody});
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.editor %1"_qs.arg(firstEndsFirst ? 402 : 401)});
    QCOMPARE(d.blocks, QStringList{u"org.editor 30"_qs});
    QVERIFY(d.manager->sessions().isEmpty());

    // Once the last instance ends, a session of the app ends with it.
    d.begin(editor, 10min);
    d.running.quit(firstEndsFirst ? second : first);
    QVERIFY(d.manager->sessions().isEmpty());
    QVERIFY(d.onDisk().isEmpty());
}

void TestFocusSessionManager::endNeverQuitsTheApp()
{
    Desk d;
    d.running.launch(editor, u"编辑器"_qs, 401);
    const auto s = d.begin(editor, 10min, 30);
    d.manager->pauseSessions(editor);
    d.manager->end(s.id);
    QVERIFY(d.manager->sessions().isEmpty());
    QVERIFY(d.manager->pausedRemaining().isEmpty());
    QVERIFY(d.onDisk().isEmpty());
    d.manager->reconcileExpired();
    d.clock.advanceBy(1h);
    QVERIFY(d.running.requests().isEmpty());
    QVERIFY(d.center.posts().isEmpty());
    QVERIFY(d.blocks.isEmpty());
}

void TestFocusSessionManager::appThatQuitsAtOnceStillGetsItsBlock()
{
    Desk d;
    d.running.setTerminateEndsApp(true); // the quit request ends the app before the expiry is done
    d.running.launch(editor, u"编辑器"_qs, 401);
    d.begin(editor, 10min, 30);
    d.begin(editor, 20min, 15);

    d.clock.advanceTo(d.t0 + 10min);
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.editor 401"_qs});
    // The expiring session keeps its block; the app's other session ended with the app, without one.
    QCOMPARE(d.blocks, QStringList{u"org.editor 30"_qs});
    QVERIFY(d.manager->sessions().isEmpty());
    QVERIFY(d.onDisk().isEmpty());
    d.clock.advanceBy(1h);
    QCOMPARE(d.running.requests().size(), 1);
}

void TestFocusSessionManager::pauseAndResume()
{
    Desk d;
    d.running.launch(editor, u"编辑器"_qs, 401);
    const auto s = d.begin(editor, 10min, 30);
    QSignalSpy pausedChanged(d.manager.get(), &FocusSessionManager::pausedRemainingChanged);
    QSignalSpy sessionsChanged(d.manager.get(), &FocusSessionManager::sessionsChanged);

    d.clock.advanceBy(6min);
    d.manager->pauseSessions(editor);
    QCOMPARE(d.manager->pausedRemaining().value(s.id), 240.0);
    QCOMPARE(pausedChanged.count(), 1);
    QCOMPARE(d.manager->sessions().first().deadline, s.deadline); // unchanged while paused
    QCOMPARE(d.onDisk().first().deadline, s.deadline);

    d.clock.advanceBy(2min);
    d.manager->pauseSessions(editor); // again: the first remaining time stays
    QCOMPARE(d.manager->pausedRemaining().value(s.id), 240.0);
    QCOMPARE(pausedChanged.count(), 1);

    d.clock.advanceBy(8min); // past the old deadline, and nothing happened: an override is live
    QVERIFY(d.center.posts().isEmpty());
    QVERIFY(d.running.requests().isEmpty());

    const Instant resumedAt = d.clock.now();
    d.manager->resumeSessions(editor);
    QVERIFY(d.manager->pausedRemaining().isEmpty());
    QCOMPARE(d.manager->sessions().first().deadline, resumedAt + 4min);
    QCOMPARE(d.onDisk().first().deadline, resumedAt + 4min);
    QCOMPARE(pausedChanged.count(), 2);
    QCOMPARE(sessionsChanged.count(), 1);
    d.manager->resumeSessions(editor); // nothing paused: no change
    QCOMPARE(sessionsChanged.count(), 1);

    d.clock.advanceTo(resumedAt + 4min - 15s);
    QCOMPARE(d.notices(), QStringList{u"warn "_qs + warningBody});
    d.clock.advanceTo(resumedAt + 4min);
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.editor 401"_qs});
    QCOMPARE(d.blocks, QStringList{u"org.editor 30"_qs});

    // A session whose deadline has passed is not paused.
    Desk late;
    late.begin(editor, 1min);
    late.clock.sleepUntil(late.t0 + 2min); // not yet fired
    late.manager->pauseSessions(editor);
    QVERIFY(late.manager->pausedRemaining().isEmpty());
}

void TestFocusSessionManager::twoSessionsOfOneAppPauseResumeAndEndTogether()
{
    Desk d;
    const auto app = d.running.launch(editor, u"编辑器"_qs, 401);
    const auto a = d.begin(editor, 10min);
    const auto b = d.begin(editor, 20min, 15);
    const auto other = d.begin(u"org.other"_qs, 30min);

    d.clock.advanceBy(1min);
    d.manager->pauseSessions(editor);
    QCOMPARE(d.manager->pausedRemaining().size(), 2);
    QCOMPARE(d.manager->pausedRemaining().value(a.id), 540.0);
    QCOMPARE(d.manager->pausedRemaining().value(b.id), 1140.0);

    d.clock.advanceBy(1min);
    d.manager->resumeSessions(editor);
    QVERIFY(d.manager->pausedRemaining().isEmpty());
    QCOMPARE(d.manager->sessions().at(0).deadline, d.clock.now() + 9min);
    QCOMPARE(d.manager->sessions().at(1).deadline, d.clock.now() + 19min);
    QCOMPARE(d.manager->sessions().at(2), other); // start order is kept

    d.running.quit(app);
    QCOMPARE(d.manager->sessions(), QList<FocusSession>{other});
    d.clock.advanceBy(25min);
    QVERIFY(d.running.requests().isEmpty());
    QVERIFY(d.blocks.isEmpty());
}

void TestFocusSessionManager::deadlineAsleep_data()
{
    QTest::addColumn<bool>("wakeBeforeTimer");
    QTest::addColumn<int>("warnings");
    QTest::newRow("the wake comes before the late timers") << true << 0;
    // The quit acts however late it comes; a warning that comes at or after the deadline says nothing.
    QTest::newRow("the late timers come before the wake") << false << 0;
}

void TestFocusSessionManager::deadlineAsleep()
{
    QFETCH(bool, wakeBeforeTimer);
    QFETCH(int, warnings);
    Desk d;
    d.running.launch(editor, u"编辑器"_qs, 401);
    d.begin(editor, 10min, 30);
    d.clock.advanceBy(5min);
    d.power.sendWillSleep(d.clock.now());
    d.clock.sleepUntil(d.t0 + 1h);
    if (wakeBeforeTimer) {
        d.power.sendDidWake(d.clock.now());
        d.clock.fireDue();
    } else {
        d.clock.fireDue();
        d.power.sendDidWake(d.clock.now());
    }
    // Whichever comes first ends the session; the other finds nothing to do.
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.editor 401"_qs});
    QCOMPARE(d.blocks, QStringList{u"org.editor 30"_qs});
    QVERIFY(d.manager->sessions().isEmpty());
    QVERIFY(d.onDisk().isEmpty());
    QCOMPARE(d.clock.pendingTimerCount(), 0);
    QCOMPARE(d.center.posts().size(), warnings);
}

void TestFocusSessionManager::lateWarningBeforeTheDeadlineStillWarns()
{
    Desk d;
    d.running.launch(editor, u"编辑器"_qs, 401);
    d.begin(editor, 10min);
    d.clock.advanceBy(5min);
    d.power.sendWillSleep(d.clock.now());
    d.clock.sleepUntil(d.t0 + 10min - 5s); // woken 5 s before the deadline: the warning is late but still true
    d.clock.fireDue();
    d.power.sendDidWake(d.clock.now());
    QCOMPARE(d.center.posts().size(), 1);
    QVERIFY(d.running.requests().isEmpty());
    d.clock.advanceBy(5s);
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.editor 401"_qs});
}

void TestFocusSessionManager::wakeLeavesPausedSessionsToTheirResume()
{
    Desk d;
    d.running.launch(editor, u"编辑器"_qs, 401);
    const auto paused = d.begin(editor, 10min, 30);
    d.begin(u"org.other"_qs, 10min, 5, u"别的"_qs);
    d.running.launch(u"org.other"_qs, u"别的"_qs, 402);
    d.clock.advanceBy(6min);
    d.manager->pauseSessions(editor);

    d.power.sendWillSleep(d.clock.now());
    d.clock.sleepUntil(d.t0 + 1h);
    d.power.sendDidWake(d.clock.now());
    d.clock.fireDue();

    // The running one expired; the paused one still waits, with its remaining time intact.
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.other 402"_qs});
    QCOMPARE(d.blocks, QStringList{u"org.other 5"_qs});
    QCOMPARE(d.manager->sessions(), QList<FocusSession>{paused});
    QCOMPARE(d.manager->pausedRemaining().value(paused.id), 240.0);

    d.manager->resumeSessions(editor);
    QCOMPARE(d.manager->sessions().first().deadline, d.t0 + 1h + 4min);
    d.clock.advanceBy(4min);
    QCOMPARE(d.running.requests().last(), u"terminate org.editor 401"_qs);
    QCOMPARE(d.blocks.last(), u"org.editor 30"_qs);
}

void TestFocusSessionManager::restartRestoresRunningSessions()
{
    Desk d;
    d.running.launch(editor, u"编辑器"_qs, 401);
    FocusSession noted;
    noted.bundleID = editor;
    noted.appName = u"编辑器"_qs;
    noted.taskNote = u"写完第三章"_qs;
    noted.deadline = d.t0 + 10min;
    noted.blockMinutes = 20;
    d.manager->begin(noted);
    d.begin(u"org.other"_qs, 1min, std::nullopt, u"别的"_qs);
    const auto later = d.begin(u"org.third"_qs, 30min, std::nullopt, u"第三"_qs);

    d.manager.reset(); // the program quits
    d.clock.sleepUntil(d.t0 + 2min); // and starts again after the early deadline passed
    d.start();

    QCOMPARE(d.manager->sessions(), (QList<FocusSession>{noted, later}));
    QCOMPARE(d.onDisk(), (QList<FocusSession>{noted, later}));
    d.clock.fireDue();
    QVERIFY(d.running.requests().isEmpty()); // the one that ran out meanwhile is dropped, not acted on

    d.clock.advanceTo(d.t0 + 10min);
    QCOMPARE(d.notices(), QStringList{u"warn "_qs + warningBody});
    QCOMPARE(d.running.requests(), QStringList{u"terminate org.editor 401"_qs});
    QCOMPARE(d.blocks, QStringList{u"org.editor 20"_qs});
    QCOMPARE(d.manager->sessions(), QList<FocusSession>{later});
}

void TestFocusSessionManager::startUpWithDamagedFile()
{
    Desk d;
    const auto good1 = d.begin(editor, 10min);
    const auto good2 = d.begin(u"org.other"_qs, 20min);
    d.manager.reset();

    QJsonObject broken = good1.toJson();
    broken.insert(u"deadline"_qs, u"soon"_qs);
    broken.insert(u"id"_qs, FocusSession::uuidText(QUuid::createUuid()));
    const QJsonArray withBadEntry{good1.toJson(), broken, good2.toJson()};
    QFile file(d.store.filePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QJsonDocument(withBadEntry).toJson());
    file.close();

    d.start();
    QCOMPARE(d.manager->sessions(), (QList<FocusSession>{good1, good2}));
    QCOMPARE(d.onDisk(), (QList<FocusSession>{good1, good2}));

    d.manager.reset();
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not json at all");
    file.close();
    d.start();
    QVERIFY(d.manager->sessions().isEmpty());
    QFile kept(d.store.filePath() + u".corrupt"_qs);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("not json at all"));
    QFile rewritten(d.store.filePath());
    QVERIFY(rewritten.open(QIODevice::ReadOnly));
    QCOMPARE(rewritten.readAll(), QByteArray("[]"));
}

void TestFocusSessionManager::embeddedAppIsKilledAndTheProgramNeverQuitsItself()
{
    Desk d;
    d.table.addProcess(501, browserPath + u"/Contents/MacOS/browser"_qs);
    d.table.addProcess(AppIdentity::processID(), browserPath + u"/Contents/MacOS/browser"_qs);
    d.running.launch(AppIdentity::bundleID(), u"Tarnwick"_qs, 502);
    d.begin(browser, 1min, 10, u"浏览器"_qs);
    d.begin(AppIdentity::bundleID(), 2min, std::nullopt, u"Tarnwick"_qs);

    d.clock.advanceBy(3min);
    QCOMPARE(d.table.killed(), QList<qint64>{501});
    QVERIFY(d.running.requests().isEmpty());
    QCOMPARE(d.blocks, QStringList{u"com.host.browser 10"_qs});
    QVERIFY(d.manager->sessions().isEmpty()); // the program's own session still ends
}

void TestFocusSessionManager::observersSeeTheWholeChange_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("seen");
    QTest::newRow("begin: listed with its timers armed")
        << u"begin"_qs << QStringList{u"sessions: 1 listed, 0 paused, 2 timers"_qs};
    QTest::newRow("pause") << u"pause"_qs << QStringList{u"paused: 1 listed, 1 paused, 0 timers"_qs};
    QTest::newRow("resume")
        << u"resume"_qs
        << QStringList{u"paused: 1 listed, 0 paused, 2 timers"_qs, u"sessions: 1 listed, 0 paused, 2 timers"_qs};
    // A paused session that ends must not show, even for a moment, as running toward its old deadline.
    QTest::newRow("end of a paused session")
        << u"end"_qs
        << QStringList{u"paused: 0 listed, 0 paused, 0 timers"_qs, u"sessions: 0 listed, 0 paused, 0 timers"_qs};
    QTest::newRow("the app of a paused session quits")
        << u"app quits"_qs
        << QStringList{u"paused: 0 listed, 0 paused, 0 timers"_qs, u"sessions: 0 listed, 0 paused, 0 timers"_qs};
    QTest::newRow("expiry") << u"expire"_qs << QStringList{u"sessions: 0 listed, 0 paused, 0 timers"_qs};
}

void TestFocusSessionManager::observersSeeTheWholeChange()
{
    QFETCH(QString, action);
    QFETCH(QStringList, seen);
    Desk d;
    const auto app = d.running.launch(editor, u"编辑器"_qs, 401);
    FocusSession s;
    if (action != u"begin"_qs) {
        s = d.begin(editor, 10min, 30);
        if (action != u"pause"_qs && action != u"expire"_qs)
            d.manager->pauseSessions(editor);
    }
    QStringList log;
    auto look = [&](const QString &which) {
        log.append(u"%1: %2 listed, %3 paused, %4 timers"_qs.arg(which)
                       .arg(d.manager->sessions().size())
                       .arg(d.manager->pausedRemaining().size())
                       .arg(d.clock.pendingTimerCount()));
    };
    connect(d.manager.get(), &FocusSessionManager::sessionsChanged, this, [&] { look(u"sessions"_qs); });
    connect(d.manager.get(), &FocusSessionManager::pausedRemainingChanged, this, [&] { look(u"paused"_qs); });

    if (action == u"begin"_qs)
        d.begin(editor, 10min, 30);
    else if (action == u"pause"_qs)
        d.manager->pauseSessions(editor);
    else if (action == u"resume"_qs)
        d.manager->resumeSessions(editor);
    else if (action == u"end"_qs)
        d.manager->end(s.id);
    else if (action == u"app quits"_qs)
        d.running.quit(app);
    else
        d.clock.advanceBy(10min);
    QCOMPARE(log, seen);
}

void TestFocusSessionManager::droppedWhileItActs_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("by the block hook at a deadline") << u"hook at deadline"_qs;
    QTest::newRow("by the block hook in the catch-up after a wake") << u"hook on wake"_qs;
    QTest::newRow("by an observer when an app with two sessions quits") << u"observer on quit"_qs;
}

void TestFocusSessionManager::droppedWhileItActs()
{
    QFETCH(QString, when);
    Desk d;
    const auto app = d.running.launch(editor, u"编辑器"_qs, 401);
    d.begin(editor, 10min, 30);
    d.begin(editor, 10min, 20);
    int calls = 0;
    if (when == u"observer on quit"_qs) {
        connect(d.manager.get(), &FocusSessionManager::sessionsChanged, this, [&] {
            ++calls;
            d.manager.reset();
        });
    } else {
        d.manager->onExpiryBlock = [&d, &calls, tag = u"the owner tears down"_qs](const QString &, int) {
            d.manager.reset();
            d.blocks.append(tag); // the hook itself may still use what it holds
            ++calls;
        };
    }

    if (when == u"hook at deadline"_qs) {
        d.clock.advanceBy(10min);
    } else if (when == u"hook on wake"_qs) {
        d.power.sendWillSleep(d.clock.now());
        d.clock.sleepUntil(d.t0 + 1h);
        d.power.sendDidWake(d.clock.now());
    } else {
        d.running.quit(app);
    }
    QCOMPARE(calls, 1);
    QVERIFY(!d.manager);
    QCOMPARE(d.clock.pendingTimerCount(), 0);
    d.clock.advanceBy(1h);
    QCOMPARE(d.running.requests().size(), when == u"observer on quit"_qs ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestFocusSessionManager)
#include "tst_focussessionmanager.moc"
