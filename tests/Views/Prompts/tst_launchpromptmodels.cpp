#include "../Services/scheduletesting.h"
#include "blockedpromptmodel.h"
#include "blockevaluation.h"
#include "focussetupmodel.h"
#include "launchpromptfixture.h"
#include "notificationguidemodel.h"

#include <QSignalSpy>
#include <QTest>

using namespace ScheduleTesting;
using AppLists::app;
using namespace LaunchPromptApps;

// The rules of the launch prompts over the state object on the fakes: the blocked-launch prompt, the focus set-up
// sheet and the notification guide banner. Shanghai (TZ is set for this test), Monday 2 March 2026, 21:30; the game
// is blocked every day from 21:00 to 23:00 when a test asks for the rule.
namespace {

const QString editor = u"com.example.editor"_qs;
const AppInfo editorApp = app(editor, u"Editor"_qs);

// The virtual clock as a real one reads: a little later at every reading.
struct CreepingClock : Clock
{
    explicit CreepingClock(const VirtualClock &base) : base(base) {}
    [[nodiscard]] Instant now() const override
    {
        crept += std::chrono::microseconds{3};
        return base.now() + crept;
    }
    [[nodiscard]] MonotonicInstant monotonicNow() const override { return base.monotonicNow() + crept; }

    const VirtualClock &base;
    mutable Duration crept{};
};

struct Prompts : LaunchPromptFixture
{
    CreepingClock creeping{f.clock};

    explicit Prompts(const QString &now = u"2026-03-02T21:30:00+08:00"_qs, bool creepingClock = false)
    {
        if (creepingClock)
            f.readings = &creeping;
        start(instant(now), {gameApp, editorApp});
    }
    Instant now() const { return f.clock.now(); }
    void blockGameTonight() { blockEveryDay(game, hm(21, 0), hm(23, 0)); }
    void adHoc(const QString &id, const QString &until) { adHocUntil(id, instant(until)); }
    void prompt(const AppInfo &a, std::optional<Instant> until = std::nullopt)
    {
        state->setBlockedPrompt(AppState::BlockedPromptInfo{a, until});
    }
    void askForDuration(const QString &id) { state->setFocusControlled({id}); }
    [[nodiscard]] std::optional<Instant> overrideEnd(const QString &id) const
    {
        for (const AppState::GraceOverride &g : state->graceOverrides()) {
            if (g.bundleID == id)
                return g.until;
        }
        return std::nullopt;
    }
    [[nodiscard]] QStringList opened() const { return f.opener.requests(); }
    [[nodiscard]] QString toastText() { return state->toast().message(); }
};

AppState::BlockSourceSummary summary(const QString &text, bool viewable = true)
{
    return AppState::BlockSourceSummary{text, Instant{}, viewable};
}

QString openOf(const AppInfo &a)
{
    return u"open "_qs + a.path();
}

} // namespace

class TestLaunchPromptModels : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // --- The blocked-launch prompt.

    void remainingText_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("30 s") << qint64(30) << u"1 分钟"_qs;
        QTest::newRow("1 s") << qint64(1) << u"1 分钟"_qs;
        QTest::newRow("59 min") << qint64(59 * 60) << u"59 分钟"_qs;
        QTest::newRow("59 min 1 s") << qint64(59 * 60 + 1) << u"1 小时"_qs;
        QTest::newRow("61 min") << qint64(61 * 60) << u"1 小时 1 分"_qs;
        QTest::newRow("120 min") << qint64(120 * 60) << u"2 小时"_qs;
        QTest::newRow("150 min") << qint64(150 * 60) << u"2 小时 30 分"_qs;
        QTest::newRow("at the end") << qint64(0) << u"1 分钟"_qs;
        QTest::newRow("after the end") << qint64(-600) << u"1 分钟"_qs;
        QTest::newRow("a thousand years") << qint64(1000) * 366 * 86400 << u"8784000 小时"_qs;
    }
    void remainingText()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, expected);
        const Instant from = instant(u"2026-03-02T21:30:00+08:00"_qs);
        QCOMPARE(BlockedPromptModel::remainingText(from, from + std::chrono::seconds{seconds}), expected);
    }

    void reasons_data()
    {
        using L = QList<AppState::BlockSourceSummary>;
        QTest::addColumn<L>("summaries");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("viewable");
        const auto a = summary(u"21:00–23:00 · 每天"_qs);
        const auto b = summary(u"08:00–09:00 · 周一～周五"_qs);
        const auto adHoc = summary(u"临时禁启 · 至 22:10"_qs, false);
        QTest::newRow("none") << L{} << QString() << false;
        QTest::newRow("one") << L{a} << u"21:00–23:00 · 每天"_qs << true;
        QTest::newRow("two") << L{a, b} << u"21:00–23:00 · 每天、08:00–09:00 · 周一～周五"_qs << true;
        QTest::newRow("five") << L{a, b, a, b, adHoc} << u"21:00–23:00 · 每天、08:00–09:00 · 周一～周五 等 5 条"_qs << true;
        QTest::newRow("only ad-hoc") << L{adHoc} << u"临时禁启 · 至 22:10"_qs << false;
        QTest::newRow("ad-hoc first, then a rule") << L{adHoc, a} << u"临时禁启 · 至 22:10、21:00–23:00 · 每天"_qs << true;
    }
    void reasons()
    {
        QFETCH(QList<AppState::BlockSourceSummary>, summaries);
        QFETCH(QString, text);
        QFETCH(bool, viewable);
        QCOMPARE(BlockedRulesRow::text(summaries), text);
        QCOMPARE(BlockedRulesRow::viewable(summaries), viewable);
    }

    void nameAndSlogan_data()
    {
        QTest::addColumn<QString>("stored"); // "<absent>", "<number>" or the text
        QTest::addColumn<QString>("alias");
        QTest::addColumn<bool>("scanned");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("slogan");
        QTest::newRow("absent") << u"<absent>"_qs << QString() << true << u"Game"_qs
                                << u"现在不是打开「Game」的时间，先专注手头的事吧"_qs;
        QTest::newRow("empty") << QString() << QString() << true << u"Game"_qs
                               << u"现在不是打开「Game」的时间，先专注手头的事吧"_qs;
        QTest::newRow("not a string") << u"<number>"_qs << QString() << true << u"Game"_qs
                                      << u"现在不是打开「Game」的时间，先专注手头的事吧"_qs;
        QTest::newRow("blanks are a message") << u"   "_qs << QString() << true << u"Game"_qs << u"   "_qs;
        QTest::newRow("set, verbatim") << u" 去跑步吧！ "_qs << QString() << true << u"Game"_qs << u" 去跑步吧！ "_qs;
        QTest::newRow("alias") << u"<absent>"_qs << u"小游戏"_qs << true << u"小游戏"_qs
                               << u"现在不是打开「小游戏」的时间，先专注手头的事吧"_qs;
        QTest::newRow("unlisted app") << u"<absent>"_qs << QString() << false << u"Stray"_qs
                                      << u"现在不是打开「Stray」的时间，先专注手头的事吧"_qs;
    }
    void nameAndSlogan()
    {
        QFETCH(QString, stored);
        QFETCH(QString, alias);
        QFETCH(bool, scanned);
        QFETCH(QString, name);
        QFETCH(QString, slogan);
        Prompts p;
        if (stored == u"<number>")
            p.f.preferences.setInteger(u"blockedSlogan"_qs, 7);
        else if (stored != u"<absent>")
            p.f.preferences.setString(u"blockedSlogan"_qs, stored);
        if (!alias.isEmpty())
            p.state->setAlias(alias, gameApp);
        p.prompt(scanned ? gameApp : app(u"org.example.stray"_qs, u"Stray"_qs));
        BlockedPromptModel model(*p.state);
        QCOMPARE(model.appName(), name);
        QCOMPARE(model.titleText(), name + u" · 禁启时段"_qs);
        QCOMPARE(model.slogan(), slogan);
    }

    void infoPanel_data()
    {
        QTest::addColumn<int>("untilMinutes"); // from now; 0 for none
        QTest::addColumn<QString>("reason");   // "rule", "adhoc" or ""
        QTest::addColumn<bool>("panel");
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<bool>("divider");
        QTest::addColumn<bool>("reasons");
        QTest::addColumn<bool>("viewable");
        QTest::newRow("no end, no reason") << 0 << QString() << false << false << false << false << false;
        QTest::newRow("end passed, no reason") << -5 << QString() << false << false << false << false << false;
        QTest::newRow("end ahead, no reason") << 90 << QString() << true << true << false << false << false;
        QTest::newRow("no end, a rule") << 0 << u"rule"_qs << true << false << false << true << true;
        QTest::newRow("end ahead, a rule") << 90 << u"rule"_qs << true << true << true << true << true;
        QTest::newRow("end ahead, ad-hoc only") << 40 << u"adhoc"_qs << true << true << true << true << false;
    }
    void infoPanel()
    {
        QFETCH(int, untilMinutes);
        QFETCH(QString, reason);
        QFETCH(bool, panel);
        QFETCH(bool, countdown);
        QFETCH(bool, divider);
        QFETCH(bool, reasons);
        QFETCH(bool, viewable);
        Prompts p;
        if (reason == u"rule")
            p.blockGameTonight();
        else if (reason == u"adhoc")
            p.adHoc(game, u"2026-03-02T22:10:00+08:00"_qs);
        p.prompt(gameApp, untilMinutes == 0 ? std::nullopt
                                            : std::optional(p.now() + std::chrono::minutes{untilMinutes}));
        BlockedPromptModel model(*p.state);
        QCOMPARE(model.showInfoPanel(), panel);
        QCOMPARE(model.showCountdown(), countdown);
        QCOMPARE(model.showDivider(), divider);
        QCOMPARE(model.showReasons(), reasons);
        QCOMPARE(model.reasonsViewable(), viewable);
        QCOMPARE(model.untilText().isEmpty(), !countdown);
        if (reason == u"rule")
            QCOMPARE(model.reasonsText(), u"21:00–23:00 · 每天"_qs);
        if (reason == u"adhoc")
            QCOMPARE(model.reasonsText(), u"临时禁启 · 至 22:10"_qs);
    }

    void countdownRedrawsEveryMinuteAndOnChanges()
    {
        Prompts p;
        p.blockGameTonight();
        p.state->requestLaunch(gameApp);
        QVERIFY(p.state->blockedPrompt());
        BlockedPromptModel model(*p.state);
        QCOMPARE(model.untilText(), u"23:00 解除"_qs);
        QCOMPARE(model.remainingText(), u"剩余 1 小时 30 分"_qs);
        QSignalSpy redraws(&model, &BlockedPromptModel::contentChanged);

        p.f.clock.advanceBy(std::chrono::seconds{59});
        QCOMPARE(redraws.size(), 0);
        p.f.clock.advanceBy(std::chrono::seconds{1});
        QCOMPARE(redraws.size(), 1);
        QCOMPARE(model.remainingText(), u"剩余 1 小时 29 分"_qs);
        p.f.clock.advanceBy(std::chrono::minutes{29});
        QCOMPARE(redraws.size(), 30);
        QCOMPARE(model.remainingText(), u"剩余 1 小时"_qs);

        p.state->announceChange();
        QCOMPARE(redraws.size(), 31);
        // The message follows the preference at the next redraw.
        p.f.preferences.setString(u"blockedSlogan"_qs, u"专注"_qs);
        p.state->announceChange();
        QCOMPARE(model.slogan(), u"专注"_qs);
    }

    void ignore_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("typed");
        QTest::addColumn<QString>("end"); // "" for no override
        QTest::newRow("one minute") << u"one"_qs << 0 << u"2026-03-02T21:31:00+08:00"_qs;
        QTest::newRow("typed 20") << u"typed"_qs << 20 << u"2026-03-02T21:50:00+08:00"_qs;
        QTest::newRow("typed 0") << u"typed"_qs << 0 << u"2026-03-02T21:31:00+08:00"_qs;
        QTest::newRow("typed -3") << u"typed"_qs << -3 << u"2026-03-02T21:31:00+08:00"_qs;
        QTest::newRow("typed 1500, past the arrows") << u"typed"_qs << 1500 << u"2026-03-03T22:30:00+08:00"_qs;
        QTest::newRow("the session end") << u"session"_qs << 0 << u"2026-03-02T23:00:00+08:00"_qs;
    }
    void ignore()
    {
        QFETCH(QString, choice);
        QFETCH(int, typed);
        QFETCH(QString, end);
        Prompts p;
        p.blockGameTonight();
        p.state->requestLaunch(gameApp);
        QVERIFY(p.state->blockedPrompt());
        QVERIFY(p.opened().isEmpty());
        BlockedPromptModel model(*p.state);
        if (choice == u"one")
            model.ignoreOneMinute();
        else if (choice == u"typed") {
            model.setIgnoreMinutes(typed);
            model.ignoreTyped();
        } else
            model.ignoreSession();
        QCOMPARE(show(p.overrideEnd(game)), show(instant(end)));
        QVERIFY(!p.state->blockedPrompt());
        QCOMPARE(p.opened(), QStringList{openOf(gameApp)});
        QVERIFY(!p.state->blockedBundleIDs(p.now()).contains(game));
    }

    // The override's end and the loan it leaves come from the one reading of the clock the choice was made with, so
    // the prompt after the override names the minute the block really ends, on a clock that moves between readings.
    void liftTimeIsTheMinuteTheBlockEnds_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one minute") << u"one"_qs << 0 << u"23:01 解除"_qs;
        QTest::newRow("typed 20") << u"typed"_qs << 20 << u"23:20 解除"_qs;
    }
    void liftTimeIsTheMinuteTheBlockEnds()
    {
        QFETCH(QString, choice);
        QFETCH(int, typed);
        QFETCH(QString, shown);
        Prompts p(u"2026-03-02T21:30:00+08:00"_qs, true);
        p.blockGameTonight();
        p.state->requestLaunch(gameApp);
        QVERIFY(p.state->blockedPrompt());
        BlockedPromptModel model(*p.state);
        if (choice == u"one") {
            model.ignoreOneMinute();
        } else {
            model.setIgnoreMinutes(typed);
            model.ignoreTyped();
        }
        const auto loan = p.f.preferences.numberMap(u"pausedLoanUntilMap"_qs).value_or(QHash<QString, double>{});
        QCOMPARE(show(BlockEvaluation::untilMapFromSeconds(loan).value(game)),
                 show(instant(u"2026-03-02T23:00:00+08:00"_qs) + std::chrono::minutes{choice == u"one" ? 1 : typed}));

        p.f.clock.advanceTo(instant(u"2026-03-02T21:55:00+08:00"_qs));
        p.state->requestLaunch(gameApp);
        QVERIFY(p.state->blockedPrompt());
        QCOMPARE(model.untilText(), shown);
    }

    // A prompt left open past the end of its block records no override (the fallback would be a day long) and still
    // opens the app; a block that still stands gets the override.
    void staleSessionPause()
    {
        Prompts p;
        p.blockGameTonight();
        p.state->requestLaunch(gameApp);
        BlockedPromptModel model(*p.state);
        p.f.clock.advanceTo(instant(u"2026-03-02T23:05:00+08:00"_qs));
        QVERIFY(!model.showInfoPanel());
        model.ignoreSession();
        QVERIFY(p.state->graceOverrides().isEmpty());
        QVERIFY(!p.f.preferences.contains(u"blockOverrideUntilMap"_qs)
                || p.f.preferences.numberMap(u"blockOverrideUntilMap"_qs)->isEmpty());
        QVERIFY(!p.state->blockedPrompt());
        QCOMPARE(p.opened(), QStringList{openOf(gameApp)});
        // Tomorrow's window still blocks.
        QVERIFY(p.state->blockedBundleIDs(instant(u"2026-03-03T21:30:00+08:00"_qs)).contains(game));
    }

    void proceed_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<bool>("opened");
        QTest::newRow("ordinary") << u"ordinary"_qs << true;
        QTest::newRow("asks for a duration: opened directly") << u"duration"_qs << true;
        QTest::newRow("embedded: only allowed to run") << u"embedded"_qs << false;
    }
    void proceed()
    {
        QFETCH(QString, which);
        QFETCH(bool, opened);
        Prompts p;
        const AppInfo a = which == u"embedded" ? wechatApp() : gameApp;
        if (which == u"duration")
            p.askForDuration(game);
        p.adHoc(a.bundleID, u"2026-03-02T22:00:00+08:00"_qs);
        p.state->requestLaunch(a);
        QVERIFY(p.state->blockedPrompt());
        BlockedPromptModel model(*p.state);
        QCOMPARE(model.isEmbedded(), which == u"embedded");
        model.ignoreOneMinute();
        QVERIFY(p.overrideEnd(a.bundleID));
        QVERIFY(!p.state->blockedPrompt());
        QVERIFY(!p.state->pendingFocusApp());
        QCOMPARE(p.opened(), opened ? QStringList{openOf(a)} : QStringList());
    }

    void openRulesAndDismiss()
    {
        Prompts p;
        p.blockGameTonight();
        p.state->requestLaunch(gameApp);
        {
            BlockedPromptModel model(*p.state);
            model.openRules();
            QVERIFY(!p.state->blockedPrompt());
            QVERIFY(p.state->showSupervision());
            QCOMPARE(p.state->supervisionInitialTab, SupervisionTab::restrict);
        }
        p.state->setShowSupervision(false);
        p.state->supervisionInitialTab = SupervisionTab::launch;

        // Only an ad-hoc block: the row leads nowhere.
        p.adHoc(editor, u"2026-03-02T22:00:00+08:00"_qs);
        p.state->requestLaunch(editorApp);
        BlockedPromptModel model(*p.state);
        model.openRules();
        QVERIFY(p.state->blockedPrompt());
        QVERIFY(!p.state->showSupervision());

        model.dismiss();
        QVERIFY(!p.state->blockedPrompt());
        QVERIFY(p.state->graceOverrides().isEmpty());
        QVERIFY(p.opened().isEmpty());
        // Answers after the prompt has gone (a second click while the card fades) do nothing.
        model.ignoreOneMinute();
        model.ignoreSession();
        QVERIFY(p.state->graceOverrides().isEmpty());
        QVERIFY(p.opened().isEmpty());
    }

    void replacedPromptKeepsViewState()
    {
        Prompts p;
        p.adHoc(game, u"2026-03-02T22:00:00+08:00"_qs);
        p.adHoc(editor, u"2026-03-02T22:00:00+08:00"_qs);
        p.state->requestLaunch(gameApp);
        BlockedPromptModel model(*p.state);
        QCOMPARE(model.ignoreMinutes(), 15);
        QVERIFY(!model.showIgnoreOptions());
        model.toggleIgnoreOptions();
        model.setIgnoreMinutes(42);
        model.toggleIgnoreOptions(); // closed: the minutes stay
        model.toggleIgnoreOptions();
        p.state->requestLaunch(editorApp);
        QCOMPARE(model.appName(), u"Editor"_qs);
        QVERIFY(model.showIgnoreOptions());
        QCOMPARE(model.ignoreMinutes(), 42);
        // Cleared: the card keeps showing its last prompt while it fades.
        model.dismiss();
        QCOMPARE(model.appName(), u"Editor"_qs);
    }

    // --- The focus set-up sheet.

    void startSession_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<bool>("copy");
        QTest::addColumn<QStringList>("clipboard");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<QString>("taskNote"); // "<none>" for no note
        const QString copied = u"已复制到剪切板中"_qs;
        QTest::newRow("empty, copy on") << QString() << true << QStringList() << QString() << u"<none>"_qs;
        QTest::newRow("blanks, copy on") << u"   "_qs << true << QStringList() << QString() << u"   "_qs;
        QTest::newRow("words, copy on") << u" 读书 "_qs << true << QStringList{u"clear"_qs, u"set  读书 "_qs} << copied
                                        << u" 读书 "_qs;
        QTest::newRow("line breaks only, copy on") << u"\n\t\n"_qs << true << QStringList() << QString() << u"\n\t\n"_qs;
        QTest::newRow("empty, copy off") << QString() << false << QStringList() << QString() << u"<none>"_qs;
        QTest::newRow("blanks, copy off") << u"   "_qs << false << QStringList() << QString() << u"   "_qs;
        QTest::newRow("words, copy off") << u" 读书 "_qs << false << QStringList() << QString() << u" 读书 "_qs;
    }
    void startSession()
    {
        QFETCH(QString, note);
        QFETCH(bool, copy);
        QFETCH(QStringList, clipboard);
        QFETCH(QString, toast);
        QFETCH(QString, taskNote);
        Prompts p;
        if (!copy)
            p.f.preferences.setBool(u"noteAutoCopyToClipboard"_qs, false);
        p.askForDuration(game);
        p.state->requestLaunch(gameApp);
        QVERIFY(p.state->pendingFocusApp());
        FocusSetupModel model(*p.state, p.clipboard);
        model.setNote(note);
        model.startSession();
        QCOMPARE(p.clipboard.calls(), clipboard);
        QCOMPARE(p.toastText(), toast);
        const QList<FocusSession> &sessions = p.state->sessionManager().sessions();
        QCOMPARE(sessions.size(), 1);
        QCOMPARE(sessions.first().taskNote.value_or(u"<none>"_qs), taskNote);
        QVERIFY(!p.state->pendingFocusApp());
        QCOMPARE(p.opened(), QStringList{openOf(gameApp)});
    }

    void sessionNumbers_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("blockAfter");
        QTest::addColumn<int>("blockMinutes");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("sessionMinutes");
        QTest::addColumn<int>("sessionBlock"); // -1 for none
        QTest::newRow("as opened") << 5 << true << 10 << u"开始（5 分钟后退出）"_qs << 5 << 10;
        QTest::newRow("minutes 0") << 0 << true << 10 << u"开始（1 分钟后退出）"_qs << 1 << 10;
        QTest::newRow("minutes -4") << -4 << true << 10 << u"开始（1 分钟后退出）"_qs << 1 << 10;
        QTest::newRow("minutes past the arrows") << 900 << true << 2000 << u"开始（900 分钟后退出）"_qs << 900 << 2000;
        QTest::newRow("block off") << 15 << false << 10 << u"开始（15 分钟后退出）"_qs << 15 << -1;
        QTest::newRow("block 0") << 15 << true << 0 << u"开始（15 分钟后退出）"_qs << 15 << 1;
    }
    void sessionNumbers()
    {
        QFETCH(int, minutes);
        QFETCH(bool, blockAfter);
        QFETCH(int, blockMinutes);
        QFETCH(QString, label);
        QFETCH(int, sessionMinutes);
        QFETCH(int, sessionBlock);
        Prompts p;
        p.state->setPendingFocusApp(gameApp);
        FocusSetupModel model(*p.state, p.clipboard);
        model.setMinutes(minutes);
        model.setBlockAfter(blockAfter);
        model.setBlockMinutes(blockMinutes);
        QCOMPARE(model.startLabel(), label);
        model.startSession();
        const QList<FocusSession> &sessions = p.state->sessionManager().sessions();
        QCOMPARE(sessions.size(), 1);
        QCOMPARE(show(sessions.first().deadline), show(p.now() + std::chrono::minutes{sessionMinutes}));
        QCOMPARE(sessions.first().blockMinutes.value_or(-1), sessionBlock);
    }

    void highlightAndChips()
    {
        Prompts p;
        p.state->setPendingFocusApp(gameApp);
        FocusSetupModel model(*p.state, p.clipboard);
        QCOMPARE(model.minutes(), 5);
        QVERIFY(model.minutesHighlighted());
        QCOMPARE(model.presets(), (QList<int>{10, 15, 30}));
        QVERIFY(model.blockAfter());
        QCOMPARE(model.blockMinutes(), 10);
        model.selectPreset(15);
        QCOMPARE(model.minutes(), 15);
        QVERIFY(!model.minutesHighlighted());
        model.setMinutes(20);
        QVERIFY(model.minutesHighlighted());
        model.setMinutes(30);
        QVERIFY(!model.minutesHighlighted());
        QCOMPARE(model.title(), u"定时退出「Game」"_qs);
        QCOMPARE(model.subtitle(), u"到点后自动退出应用，并发送提醒"_qs);
        QCOMPARE(model.directOpenTooltip(), u"跳过本次设置直接打开（Ctrl+Shift+Return）"_qs);
    }

    void copyCheckboxIsStoredAndShared()
    {
        Prompts p;
        p.state->setPendingFocusApp(gameApp);
        FocusSetupModel first(*p.state, p.clipboard);
        FocusSetupModel other(*p.state, p.clipboard);
        QVERIFY(first.noteAutoCopy());
        QSignalSpy otherChanged(&other, &FocusSetupModel::noteAutoCopyChanged);
        first.setNoteAutoCopy(false);
        QCOMPARE(p.f.preferences.boolValue(u"noteAutoCopyToClipboard"_qs), std::optional(false));
        QCOMPARE(otherChanged.size(), 1);
        QVERIFY(!other.noteAutoCopy());
        FocusSetupModel next(*p.state, p.clipboard);
        QVERIFY(!next.noteAutoCopy());
        next.setNoteAutoCopy(true);
        QCOMPARE(p.f.preferences.boolValue(u"noteAutoCopyToClipboard"_qs), std::optional(true));
    }

    void waysOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("embedded");
        QTest::addColumn<int>("sessions");
        QTest::addColumn<bool>("opened");
        QTest::newRow("cancel") << u"cancel"_qs << false << 0 << false;
        QTest::newRow("open directly") << u"direct"_qs << false << 0 << true;
        QTest::newRow("start") << u"start"_qs << false << 1 << true;
        QTest::newRow("embedded: cancel") << u"cancel"_qs << true << 0 << false;
        QTest::newRow("embedded: no direct open") << u"direct"_qs << true << 0 << false;
        QTest::newRow("embedded: start opens nothing") << u"start"_qs << true << 1 << false;
    }
    void waysOut()
    {
        QFETCH(QString, way);
        QFETCH(bool, embedded);
        QFETCH(int, sessions);
        QFETCH(bool, opened);
        Prompts p;
        const AppInfo a = embedded ? wechatApp() : gameApp;
        p.state->requestLaunch(a);
        if (!embedded) {
            QVERIFY(!p.state->pendingFocusApp()); // opened at once: it does not ask for a duration
            p.f.opener = {};
            p.askForDuration(game);
            p.state->requestLaunch(a);
        }
        QVERIFY(p.state->pendingFocusApp());
        FocusSetupModel model(*p.state, p.clipboard);
        QCOMPARE(model.isEmbedded(), embedded);
        QCOMPARE(model.subtitle(), embedded ? u"它已由微信打开，到点后自动关闭，并发送提醒"_qs
                                            : u"到点后自动退出应用，并发送提醒"_qs);
        if (way == u"cancel")
            model.cancel();
        else if (way == u"direct")
            model.openDirectly();
        else
            model.startSession();
        QCOMPARE(p.state->sessionManager().sessions().size(), sessions);
        QCOMPARE(p.opened(), opened ? QStringList{openOf(a)} : QStringList());
        // The embedded app's direct open is not offered: the sheet stays.
        QCOMPARE(p.state->pendingFocusApp().has_value(), embedded && way == u"direct");
    }

    // --- The notification guide banner.

    void openSettings_data()
    {
        QTest::addColumn<bool>("refuseFirst");
        QTest::addColumn<bool>("refuseSecond");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("toast");
        QTest::newRow("notification page opens") << false << false << QStringList{u"notifications"_qs} << QString();
        QTest::newRow("settings open instead") << true << false
                                               << QStringList{u"notifications"_qs, u"settings"_qs} << QString();
        QTest::newRow("both refused") << true << true << QStringList{u"notifications"_qs, u"settings"_qs}
                                      << u"未能打开通知设置，请在桌面设置中开启"_qs;
    }
    void openSettings()
    {
        QFETCH(bool, refuseFirst);
        QFETCH(bool, refuseSecond);
        QFETCH(QStringList, calls);
        QFETCH(QString, toast);
        Prompts p;
        p.settings.refuseNotificationSettings(refuseFirst);
        p.settings.refuseSettings(refuseSecond);
        NotificationGuideModel model(*p.state, p.settings);
        QStringList callsAtDismiss{u"<not dismissed>"_qs};
        connect(&model, &NotificationGuideModel::dismissRequested, this,
                [&] { callsAtDismiss = p.settings.calls(); });
        model.openSettings();
        QCOMPARE(callsAtDismiss, QStringList()); // dismissed before anything opens
        QCOMPARE(p.settings.calls(), calls);
        QCOMPARE(p.toastText(), toast);
    }

    void closeOpensNothing()
    {
        Prompts p;
        NotificationGuideModel model(*p.state, p.settings);
        QSignalSpy dismissed(&model, &NotificationGuideModel::dismissRequested);
        model.close();
        QCOMPARE(dismissed.size(), 1);
        QVERIFY(p.settings.calls().isEmpty());
    }
};

QTEST_MAIN(TestLaunchPromptModels)
#include "tst_launchpromptmodels.moc"
