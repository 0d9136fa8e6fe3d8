#include "appstatefixture.h"
#include "../support/applists.h"
#include "focussessionstore.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

using namespace AppLists;

// The state object's own part: preferences read at the start, the published fields and their observers, the quit
// answers, the permission question and what the start-up makes.
class TestAppState : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startPreferences_data();
    void startPreferences();
    void settersStoreWhatTheyAreGiven();
    void everySetAnnouncesAChange();
    void searchTextObserver_data();
    void searchTextObserver();
    void selectedGroupSetAgainClearsSelection();
    void hiddenAppsObserverClearsSelection();
    void quitConfirmBringsProgramForward();
    void quitAnswers_data();
    void quitAnswers();
    void noteAutoCopy_data();
    void noteAutoCopy();
    void permissionAskedAfterStartReturns_data();
    void permissionAskedAfterStartReturns();
    void timerPanelAtStart_data();
    void timerPanelAtStart();
    void queuedWorkAfterStateIsGone();
    void storeThatCannotOpenIsReported();
    void lazyMembersMadeOnce();
    void scanPublishAnnouncesThenWarmsIcons();
};

void TestAppState::startPreferences_data()
{
    QTest::addColumn<QJsonObject>("stored");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("scale");

    const auto json = [](std::initializer_list<std::pair<const char *, QJsonValue>> pairs) {
        QJsonObject o;
        for (const auto &[k, v] : pairs)
            o.insert(QString::fromLatin1(k), v);
        return o;
    };
    QTest::newRow("nothing stored") << QJsonObject() << u"horizontal"_qs << 7 << 4 << 1.0;
    QTest::newRow("vertical") << json({{"gridLayoutMode", u"vertical"_qs}}) << u"vertical"_qs << 7 << 4 << 1.0;
    QTest::newRow("layout differs in case") << json({{"gridLayoutMode", u"Vertical"_qs}}) << u"horizontal"_qs << 7
                                            << 4 << 1.0;
    QTest::newRow("layout not a text") << json({{"gridLayoutMode", 1}}) << u"horizontal"_qs << 7 << 4 << 1.0;
    QTest::newRow("columns 13") << json({{"gridPreferredColumns", 13}}) << u"horizontal"_qs << 7 << 4 << 1.0;
    QTest::newRow("columns 5 and 12 stay")
        << json({{"gridPreferredColumns", 5}, {"gridPreferredRows", 8}}) << u"horizontal"_qs << 5 << 8 << 1.0;
    QTest::newRow("columns 4") << json({{"gridPreferredColumns", 4}}) << u"horizontal"_qs << 7 << 4 << 1.0;
    QTest::newRow("columns as text") << json({{"gridPreferredColumns", u"9"_qs}}) << u"horizontal"_qs << 7 << 4
                                     << 1.0;
    QTest::newRow("columns with a fraction") << json({{"gridPreferredColumns", 9.5}}) << u"horizontal"_qs << 7 << 4
                                             << 1.0;
    QTest::newRow("rows 9") << json({{"gridPreferredRows", 9}}) << u"horizontal"_qs << 7 << 4 << 1.0;
    QTest::newRow("rows 1") << json({{"gridPreferredRows", 1}}) << u"horizontal"_qs << 7 << 4 << 1.0;
    QTest::newRow("rows 2") << json({{"gridPreferredRows", 2}}) << u"horizontal"_qs << 7 << 2 << 1.0;
    QTest::newRow("scale 1.234 unrounded") << json({{"gridIconScale", 1.234}}) << u"horizontal"_qs << 7 << 4
                                           << 1.234;
    QTest::newRow("scale 1.61") << json({{"gridIconScale", 1.61}}) << u"horizontal"_qs << 7 << 4 << 1.0;
}

void TestAppState::startPreferences()
{
    QFETCH(QJsonObject, stored);
    QFETCH(QString, layout);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(double, scale);

    AppStateFixture f;
    for (auto it = stored.begin(); it != stored.end(); ++it)
        f.preferences.setValue(it.key(), it.value());
    const int writesBefore = f.preferences.writeCount();
    AppState &state = f.start();

    QCOMPARE(state.layoutModeRaw(), layout);
    QCOMPARE(state.gridPreferredColumns(), columns);
    QCOMPARE(state.gridPreferredRows(), rows);
    QCOMPARE(state.gridIconScale(), scale);
    // What was read is left as it was stored, out of range or not.
    QCOMPARE(f.preferences.writeCount(), writesBefore);
    for (auto it = stored.begin(); it != stored.end(); ++it)
        QCOMPARE(f.preferences.value(it.key()), it.value());
}

void TestAppState::settersStoreWhatTheyAreGiven()
{
    AppStateFixture f;
    AppState &state = f.start();

    state.setLayoutMode(GridLayoutMode::Vertical);
    QCOMPARE(f.preferences.stringValue(u"gridLayoutMode"_qs), u"vertical"_qs);
    state.setLayoutModeRaw(u"sideways"_qs);
    QCOMPARE(state.layoutMode(), GridLayoutMode::Horizontal);
    QCOMPARE(f.preferences.stringValue(u"gridLayoutMode"_qs), u"horizontal"_qs);

    // The setters do not hold the values to the ranges that the start applies.
    state.setGridPreferredColumns(13);
    QCOMPARE(state.gridPreferredColumns(), 13);
    QCOMPARE(f.preferences.integerValue(u"gridPreferredColumns"_qs), 13);
    state.setGridPreferredRows(1);
    QCOMPARE(f.preferences.integerValue(u"gridPreferredRows"_qs), 1);
    state.setGridIconScale(1.234);
    QCOMPARE(f.preferences.doubleValue(u"gridIconScale"_qs), 1.234);

    // Setting a value it already has stores it again.
    f.preferences.remove(u"gridPreferredRows"_qs);
    state.setGridPreferredRows(1);
    QCOMPARE(f.preferences.integerValue(u"gridPreferredRows"_qs), 1);
}

void TestAppState::everySetAnnouncesAChange()
{
    AppStateFixture f;
    AppState &state = f.start();
    QSignalSpy changed(&state, &AppState::changed);
    QSignalSpy settings(&state, &AppState::showSettingsChanged);
    QSignalSpy token(&state, &AppState::pagerResetTokenChanged);

    state.setShowSettings(true);
    state.setShowSettings(true);
    QCOMPARE(settings.count(), 1);
    QCOMPARE(changed.count(), 2);

    const int revision = state.revision();
    state.setPagerResetToken(state.pagerResetToken());
    QCOMPARE(token.count(), 0);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(state.revision(), revision + 1);

    state.announceChange();
    QCOMPARE(changed.count(), 4);
}

void TestAppState::searchTextObserver_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("selectionCleared");
    QTest::addColumn<bool>("groupCleared");
    QTest::addColumn<int>("tokenRaise");

    QTest::newRow("first letter") << QString() << u"w"_qs << true << true << 1;
    QTest::newRow("last letter deleted") << u"w"_qs << QString() << true << false << 0;
    QTest::newRow("same text again") << u"we"_qs << u"we"_qs << false << false << 0;
    QTest::newRow("blanks only count as text") << QString() << u"  "_qs << true << true << 1;
}

void TestAppState::searchTextObserver()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, selectionCleared);
    QFETCH(bool, groupCleared);
    QFETCH(int, tokenRaise);

    AppStateFixture f;
    AppState &state = f.start();
    state.setSearchText(before);
    const StoreID group{RecordType::appGroup, 3};
    state.setSelectedGroupID(group);
    state.setShowHiddenApps(true);
    state.setSelectedAppID(u"org.example.a"_qs);
    const int token = state.pagerResetToken();
    QSignalSpy searchChanged(&state, &AppState::searchTextChanged);

    state.setSearchText(after);

    QCOMPARE(searchChanged.count(), before == after ? 0 : 1);
    QCOMPARE(state.selectedAppID().has_value(), !selectionCleared);
    QCOMPARE(state.showHiddenApps(), !selectionCleared);
    QCOMPARE(state.selectedGroupID(), groupCleared ? std::nullopt : std::optional<StoreID>(group));
    QCOMPARE(state.pagerResetToken(), token + tokenRaise);
}

void TestAppState::selectedGroupSetAgainClearsSelection()
{
    AppStateFixture f;
    AppState &state = f.start();
    const StoreID group{RecordType::appGroup, 7};
    state.setSelectedGroupID(group);
    state.setShowHiddenApps(true);
    state.setSelectedAppID(u"org.example.a"_qs);
    QSignalSpy groupChanged(&state, &AppState::selectedGroupIDChanged);

    state.setSelectedGroupID(group);

    QCOMPARE(groupChanged.count(), 0);
    QCOMPARE(state.selectedAppID(), std::nullopt);
    QVERIFY(!state.showHiddenApps());
    QCOMPARE(state.selectedGroupIDText(), group.text());
}

void TestAppState::hiddenAppsObserverClearsSelection()
{
    AppStateFixture f;
    AppState &state = f.start();
    for (bool value : {true, false, false}) {
        state.setSelectedAppID(u"org.example.a"_qs);
        state.setShowHiddenApps(value);
        QCOMPARE(state.selectedAppID(), std::nullopt);
    }
}

void TestAppState::quitConfirmBringsProgramForward()
{
    AppStateFixture f;
    AppState &state = f.start();
    state.setShowQuitConfirm(false);
    QCOMPARE(f.activation.activateCount(), 0);
    state.setShowQuitConfirm(true);
    QCOMPARE(f.activation.activateCount(), 1);
    state.setShowQuitConfirm(true);
    QCOMPARE(f.activation.activateCount(), 2);
}

void TestAppState::quitAnswers_data()
{
    QTest::addColumn<bool>("approve");
    QTest::newRow("quit anyway") << true;
    QTest::newRow("keep supervising") << false;
}

void TestAppState::quitAnswers()
{
    QFETCH(bool, approve);
    AppStateFixture f;
    AppState &state = f.start();
    QList<bool> replies;
    bool cardShownAtReply = true;
    state.replyToTermination = [&](bool yes) {
        replies.append(yes);
        cardShownAtReply = state.showQuitConfirm();
    };
    state.setShowQuitConfirm(true);

    if (approve)
        state.approveQuit();
    else
        state.cancelQuit();

    QCOMPARE(replies, QList<bool>{approve});
    QVERIFY(!cardShownAtReply); // the card goes first
    QVERIFY(!state.showQuitConfirm());
}

void TestAppState::noteAutoCopy_data()
{
    QTest::addColumn<QJsonValue>("stored");
    QTest::addColumn<bool>("expected");
    QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << true;
    QTest::newRow("false") << QJsonValue(false) << false;
    QTest::newRow("true") << QJsonValue(true) << true;
    QTest::newRow("the text false") << QJsonValue(u"false"_qs) << true;
    QTest::newRow("zero") << QJsonValue(0) << true;
}

void TestAppState::noteAutoCopy()
{
    QFETCH(QJsonValue, stored);
    QFETCH(bool, expected);
    AppStateFixture f;
    if (!stored.isUndefined())
        f.preferences.setValue(u"noteAutoCopyToClipboard"_qs, stored);
    QCOMPARE(f.start().isNoteAutoCopyEnabled(), expected);
}

void TestAppState::permissionAskedAfterStartReturns_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("asked");
    QTest::newRow("not determined") << int(NotificationAuthorization::notDetermined) << true;
    QTest::newRow("denied") << int(NotificationAuthorization::denied) << false;
    QTest::newRow("authorized") << int(NotificationAuthorization::authorized) << false;
}

void TestAppState::permissionAskedAfterStartReturns()
{
    QFETCH(int, status);
    QFETCH(bool, asked);
    AppStateFixture f;
    f.notifications.setStatus(NotificationAuthorization(status));
    f.start();
    QVERIFY(f.notifications.requestedOptions().isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(f.notifications.requestedOptions(),
             asked ? QList<int>{Notifications::alert + Notifications::sound} : QList<int>());
}

void TestAppState::timerPanelAtStart_data()
{
    QTest::addColumn<bool>("sessionStored");
    QTest::addColumn<int>("panels");
    QTest::newRow("nothing running") << false << 0;
    QTest::newRow("a focus session restored") << true << 1;
}

void TestAppState::timerPanelAtStart()
{
    QFETCH(bool, sessionStored);
    QFETCH(int, panels);
    AppStateFixture f;
    if (sessionStored) {
        FocusSession session;
        session.bundleID = u"org.example.a"_qs;
        session.appName = u"甲"_qs;
        session.deadline = f.clock.now() + 10min;
        QCOMPARE(FocusSessionStore(f.dataFolder()).saveAll({session}), FocusSessionStore::WriteResult::written);
    }
    AppState &state = f.start();
    QCOMPARE(f.timerPanelsMade, panels);
    QCOMPARE(state.sessionManager().sessions().size(), sessionStored ? 1 : 0);
    QCOMPARE(state.hasTimerPanel(), panels > 0);
}

void TestAppState::queuedWorkAfterStateIsGone()
{
    AppStateFixture f;
    f.notifications.setStatus(NotificationAuthorization::notDetermined);
    f.start();
    f.state.reset();
    QCoreApplication::processEvents();
    f.clock.advanceBy(1h);
    QVERIFY(f.notifications.requestedOptions().isEmpty());
}

void TestAppState::storeThatCannotOpenIsReported()
{
    AppStateFixture f;
    f.storeInMemory = false;
    // A regular file where the data folder belongs.
    QFile blocker(f.dataFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("keep");
    blocker.close();

    AppState::CreateResult result = AppState::create(f.seams());

    QVERIFY(!result.state);
    QCOMPARE(result.error, StoreOpenError::folderUnavailable);
    QCOMPARE(result.storeFilePath, f.dataFolder());
    QVERIFY(QFileInfo(f.dataFolder()).isFile());
    QFile check(f.dataFolder());
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("keep"));
    // Nothing was started: the scanner's search and the permission question stay untouched.
    QCoreApplication::processEvents();
    QVERIFY(f.notifications.requestedOptions().isEmpty());
}

void TestAppState::lazyMembersMadeOnce()
{
    AppStateFixture f;
    AppState &state = f.start();
    QCOMPARE(f.timerPanelsMade, 0);
    QObject *panel = &state.timerPanel();
    QCOMPARE(&state.timerPanel(), panel);
    QCOMPARE(f.timerPanelsMade, 1);
    FloatingToastController *toast = &state.toast();
    QCOMPARE(&state.toast(), toast);
}

void TestAppState::scanPublishAnnouncesThenWarmsIcons()
{
    AppStateFixture f;
    AppState &state = f.start();
    QCoreApplication::processEvents(); // the start-up's own queued work
    QSignalSpy changed(&state, &AppState::changed);
    const QList<AppInfo> apps{app(u"org.example.jia"_qs, u"甲"_qs), app(u"org.example.yi"_qs, u"乙"_qs)};

    f.finishScan(apps);

    QVERIFY(changed.count() >= 1); // at once
    QCOMPARE(f.iconSource.loads().size(), 0); // the warm-up waits a turn
    QCoreApplication::processEvents();
    QCOMPARE(f.iconSource.loads(), QStringList({apps[0].path(), apps[1].path()}));
}

QTEST_MAIN(TestAppState)
#include "tst_appstate.moc"
