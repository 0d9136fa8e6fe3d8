#include "appstatefixture.h"
#include "../support/applists.h"
#include "focussessionstore.h"
#include "restrictionrule.h"

#include <QSignalSpy>
#include <QTest>

using namespace AppLists;

// The start-up as a whole, over recording fakes: the order of its steps as the seams see them, what it does with
// overrides and sessions left by an earlier run, and the notification permission that it asks after returning.
class TestAppStateStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stepsInOrder();
    void emptyStartAnnouncesOnlyStatusAndOverrides();
    void liveOverridesAtStart();
    void overridesAreNamedOnceTheAppsArrive();
    void theGuardQuitsRunningBlockedAppsOnceTheyAreKnown();
    void permission_data();
    void permission();
};

namespace {

// One log for every recording fake of a test.
struct Log
{
    QStringList entries;
    void add(const QString &entry)
    {
        if (!entries.contains(entry))
            entries.append(entry);
    }
};

class RecordingSearch : public FakeAppDirectorySearch
{
public:
    explicit RecordingSearch(Log &log) : m_log(log) {}
    void start(const QStringList &scopes) override
    {
        m_log.add(u"scanner started"_qs);
        FakeAppDirectorySearch::start(scopes);
    }

private:
    Log &m_log;
};

class RecordingNotifications : public FakeNotifications
{
public:
    explicit RecordingNotifications(Log &log) : m_log(log) {}
    void authorizationStatus(StatusCallback done) override
    {
        m_log.add(u"permission asked"_qs);
        FakeNotifications::authorizationStatus(std::move(done));
    }

private:
    Log &m_log;
};

// A rule that blocks the app all day, every day.
std::unique_ptr<RestrictionRule> allDay(const QString &bundleID)
{
    return std::make_unique<RestrictionRule>(RestrictionTarget::app, bundleID, 0, 1439,
                                             QList<int>{1, 2, 3, 4, 5, 6, 7}, true, std::nullopt);
}

FocusSession session(const QString &bundleID, Instant deadline)
{
    FocusSession s;
    s.bundleID = bundleID;
    s.appName = bundleID;
    s.deadline = deadline;
    return s;
}

} // namespace

void TestAppStateStartup::stepsInOrder()
{
    Log log;
    AppStateFixture f;
    RecordingSearch search(log);
    RecordingNotifications notifications(log);
    Notifier notifier(notifications);
    notifications.setStatus(NotificationAuthorization::notDetermined);
    const QString video = u"org.example.video"_qs;
    const QString chat = u"org.example.chat"_qs;
    f.seedStore([&](StoreContext &context) { context.insert(allDay(video)); });
    const Instant now = f.clock.now();
    // An override that ran out while the program was not running, and a live one.
    f.preferences.setNumberMap(u"blockOverrideUntilMap"_qs,
                               {{u"org.example.old"_qs, Instants::secondsSince1970(now - 1min)},
                                {chat, Instants::secondsSince1970(now + 10min)}});
    connect(&f.preferences, &Preferences::valueChanged, this, [&](const QString &key) {
        if (key == u"blockOverrideUntilMap"_qs)
            log.add(u"expired override dropped"_qs);
    });
    f.runningApps.launch(video, u"Video"_qs);
    AppState::Seams recorded{f.clock,
                             f.clock,
                             f.preferences,
                             notifier,
                             f.sleepWake,
                             f.runningApps,
                             f.runningApps,
                             f.windows,
                             f.processFamily,
                             f.processControl,
                             f.terminator,
                             f.embeddedApps,
                             f.opener,
                             f.dock,
                             f.dockExecutor,
                             search,
                             f.bundles,
                             f.folderWatcher,
                             f.scanExecutor,
                             {},
                             f.activation,
                             f.iconCache,
                             [] { return u"stamp"_qs; },
                             [&](FocusSessionManager &, AppState &state) {
                                 log.add(u"timer panel made"_qs);
                                 // Everything before the panel is done by now.
                                 if (state.supervisionStatus().activeCount == 1 && !state.graceOverrides().isEmpty())
                                     log.add(u"status and overrides ready"_qs);
                                 if (f.runningApps.requests().contains(u"terminate %1 %2"_qs.arg(video).arg(
                                         f.runningApps.runningApps(video).first().pid)))
                                     log.add(u"guard quit the blocked app"_qs);
                                 return std::make_unique<QObject>();
                             },
                             {},
                             f.dataDir.path(),
                             false};

    AppState::CreateResult result = AppState::create(recorded);
    QVERIFY(result.state);
    log.add(u"create returned"_qs);
    QCoreApplication::processEvents();

    const QStringList expected{
        u"scanner started"_qs,          u"expired override dropped"_qs, u"timer panel made"_qs,
        u"status and overrides ready"_qs, u"guard quit the blocked app"_qs, u"create returned"_qs,
        u"permission asked"_qs,
    };
    QCOMPARE(log.entries, expected);
    QVERIFY(notifications.requestedOptions().size() == 1);
}

void TestAppStateStartup::emptyStartAnnouncesOnlyStatusAndOverrides()
{
    // The snapshot step sends no notice; the status and the overrides are assigned, so each sends one.
    AppStateFixture f;
    AppState &state = f.start();
    QCOMPARE(state.revision(), 2);
    QCOMPARE(f.timerPanelsMade, 0);
}

void TestAppStateStartup::liveOverridesAtStart()
{
    AppStateFixture f;
    const Instant now = f.clock.now();
    const QString chat = u"org.example.chat"_qs;
    const QString notes = u"org.example.notes"_qs;
    f.preferences.setNumberMap(u"blockOverrideUntilMap"_qs, {{chat, Instants::secondsSince1970(now + 10min)}});
    const FocusSession chatSession = session(chat, now + 2min);
    const FocusSession notesSession = session(notes, now + 2min);
    QCOMPARE(FocusSessionStore(f.dataFolder()).saveAll({chatSession, notesSession}),
             FocusSessionStore::WriteResult::written);

    AppState &state = f.start();

    QCOMPARE(f.timerPanelsMade, 1);
    QCOMPARE(state.graceOverrides().size(), 1);
    QCOMPARE(state.graceOverrides().first().bundleID, chat);
    // Pauses live only in memory: the start pauses the sessions of apps with a live override again.
    QVERIFY(state.sessionManager().isPaused(chatSession.id));
    QVERIFY(!state.sessionManager().isPaused(notesSession.id));

    f.clock.advanceBy(3min);
    QCOMPARE(f.terminator.terminated, QStringList{notes});
}

void TestAppStateStartup::overridesAreNamedOnceTheAppsArrive()
{
    AppStateFixture f;
    const Instant now = f.clock.now();
    const QString chat = u"org.example.chat"_qs;
    f.preferences.setNumberMap(u"blockOverrideUntilMap"_qs, {{chat, Instants::secondsSince1970(now + 10min)}});
    AppState &state = f.start();
    QSignalSpy renamed(&state, &AppState::graceOverridesChanged);
    const auto names = [&] {
        QStringList out;
        for (const AppState::GraceOverride &grace : state.graceOverrides())
            out.append(grace.appName);
        return out;
    };
    // Before the first scan has published, the identifier is all there is.
    QCOMPARE(names(), QStringList{chat});

    const AppInfo chatApp = app(chat, u"聊天"_qs);
    f.finishScan({chatApp, app(u"org.example.notes"_qs, u"笔记"_qs)});
    QCOMPARE(names(), QStringList{u"聊天"_qs});
    QCOMPARE(renamed.size(), 1);
    QCOMPARE(state.graceOverrides().first().until, now + 10min);

    state.setAlias(u"微聊"_qs, chatApp);
    QCOMPARE(names(), QStringList{u"微聊"_qs});
    QCOMPARE(renamed.size(), 2);

    f.clock.advanceBy(10min - 15s);
    QCOMPARE(f.notifications.posts().size(), 1);
    QCOMPARE(f.notifications.posts().first().body,
             u"微聊的忽略时限即将结束，限制恢复后将被退出，请保存正在编辑的内容"_qs);
}

void TestAppStateStartup::theGuardQuitsRunningBlockedAppsOnceTheyAreKnown()
{
    AppStateFixture f;
    const QString video = u"org.example.video"_qs;
    f.seedStore([&](StoreContext &context) { context.insert(allDay(video)); });
    const RunningApp app = f.runningApps.launch(video, u"Video"_qs);
    const QString quit = u"terminate %1 %2"_qs.arg(video).arg(app.pid);
    std::function<void()> known;
    AppState::Seams seams = f.seams();
    seams.whenRunningAppsKnown = [&known](std::function<void()> then) { known = std::move(then); };
    AppState::CreateResult result = AppState::create(seams);
    QVERIFY(result.state);
    QVERIFY(known);
    // The sweep waits for the platform to say what runs (here the fake knows at once; the real one maps the
    // processes once the installed entries are read).
    QVERIFY(!f.runningApps.requests().contains(quit));
    known();
    QVERIFY(f.runningApps.requests().contains(quit));
}

void TestAppStateStartup::permission_data()
{
    QTest::addColumn<int>("first");        // the status at the first question
    QTest::addColumn<int>("afterRequest"); // what asking turns it into
    QTest::addColumn<int>("later");        // the status 1.5 s later
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("guide");
    const int undecided = int(NotificationAuthorization::notDetermined);
    const int denied = int(NotificationAuthorization::denied);
    const int allowed = int(NotificationAuthorization::authorized);
    QTest::newRow("undecided, then denied") << undecided << denied << denied << true << true;
    QTest::newRow("undecided, then allowed") << undecided << allowed << allowed << true << false;
    QTest::newRow("denied and still denied") << denied << denied << denied << false << true;
    QTest::newRow("denied, allowed within the wait") << denied << denied << allowed << false << false;
    QTest::newRow("allowed") << allowed << allowed << allowed << false << false;
}

void TestAppStateStartup::permission()
{
    QFETCH(int, first);
    QFETCH(int, afterRequest);
    QFETCH(int, later);
    QFETCH(bool, asked);
    QFETCH(bool, guide);
    AppStateFixture f;
    f.notifications.setStatus(NotificationAuthorization(first));
    f.notifications.setStatusAfterRequest(NotificationAuthorization(afterRequest));
    AppState &state = f.start();
    QCoreApplication::processEvents();
    QCOMPARE(!f.notifications.requestedOptions().isEmpty(), asked);

    f.notifications.setStatus(NotificationAuthorization(later));
    f.clock.advanceBy(1499ms);
    QVERIFY(!state.showNotificationGuide());
    f.clock.advanceBy(1ms);
    QCOMPARE(state.showNotificationGuide(), guide);

    // Once per installation: after a guide, the next start of the same copy shows none.
    if (!guide)
        return;
    f.state.reset();
    f.notifications.setStatus(NotificationAuthorization::denied);
    AppState &again = f.start();
    QCoreApplication::processEvents();
    f.clock.advanceBy(2s);
    QVERIFY(!again.showNotificationGuide());
}

QTEST_MAIN(TestAppStateStartup)
#include "tst_appstate_startup.moc"
