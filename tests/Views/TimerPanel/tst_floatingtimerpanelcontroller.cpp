#include "floatingtimerpanelcontroller.h"
#include "focussessionmanager.h"
#include "schedulecalendar.h"
#include "scheduletext.h"
#include "timerpanelgeometry.h"

#include "../App/appstatefixture.h"

#include <QTest>

using namespace std::chrono_literals;

// The timer panel's controller over the real state object and session manager on fakes, with a window that records
// what is done to it: when the panel shows and hides, which lines it lists, which it keeps hidden, its ticker, its
// first place and its refit.
class TestFloatingTimerPanelController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstSessionShowsAndPlaces();
    void hidingTheOnlyLineHidesThePanel();
    void hiddenLinesComeBackOnlyAfterAllEnded();
    void replacedOverrideShowsAgain();
    void madeWhileThingsRunShowsAtOnce();
    void countsDownWhileShown();
    void pausedSessionFreezes();
    void refitFollowsTheContent();
    void frontAtEveryChangeOfTheLists();
    void noScreenNoPlace();
    void realStateMakesItThroughItsFactory();
};

namespace {

// Records what the controller does to its window.
struct RecordingWindow : TimerPanelSurface
{
    QRect m_frame;
    QSize m_content{264, 82};
    bool visible = false;
    int fronts = 0;
    int outs = 0;
    QList<QRect> frames;

    [[nodiscard]] QRect frame() const override { return m_frame; }
    void setFrame(const QRect &frame) override
    {
        m_frame = frame;
        frames.append(frame);
    }
    void orderFront() override
    {
        visible = true;
        ++fronts;
    }
    void orderOut() override
    {
        visible = false;
        ++outs;
    }
    [[nodiscard]] QSize contentSize() const override { return m_content; }

    void layOut(QSize size)
    {
        m_content = size;
        if (contentSizeChanged)
            contentSizeChanged();
    }
};

const QRect primary(0, 27, 1280, 773);

struct Panel
{
    AppStateFixture f;
    AppState *state = nullptr;
    std::unique_ptr<FloatingTimerPanelController> controller;
    RecordingWindow *window = nullptr;
    int windowsMade = 0;
    std::optional<QRect> area = primary;

    Panel() { state = &f.start(); }

    FocusSessionManager &manager() { return state->sessionManager(); }

    FloatingTimerPanelController &make()
    {
        controller = std::make_unique<FloatingTimerPanelController>(
            manager(), *state,
            [this](FloatingTimerPanelController &) -> std::unique_ptr<TimerPanelSurface> {
                ++windowsMade;
                auto w = std::make_unique<RecordingWindow>();
                window = w.get();
                return w;
            },
            [this] { return area; });
        return *controller;
    }

    FocusSession begin(const QString &bundleID, const QString &name, Duration length,
                       std::optional<QString> note = std::nullopt)
    {
        FocusSession s;
        s.bundleID = bundleID;
        s.appName = name;
        s.taskNote = std::move(note);
        s.deadline = f.clock.now() + length;
        manager().begin(s);
        return s;
    }

    AppState::GraceOverride grace(const QString &bundleID, const QString &name, Duration length)
    {
        return {bundleID, name, f.clock.now() + length};
    }

    [[nodiscard]] QStringList titles() const
    {
        QStringList t;
        for (const TimerPanelLine &line : controller->rows().lines())
            t.append(line.title);
        return t;
    }

    [[nodiscard]] bool shown() const { return controller->isShown() && window && window->visible; }
};

void settle()
{
    QCoreApplication::sendPostedEvents();
}

} // namespace

void TestFloatingTimerPanelController::firstSessionShowsAndPlaces()
{
    Panel p;
    auto &c = p.make();
    QVERIFY(!c.panel()); // nothing to show: no window yet
    QCOMPARE(p.windowsMade, 0);

    p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 25min, u"写完第三章"_qs);
    QCOMPARE(p.windowsMade, 1);
    QVERIFY(p.shown());
    QVERIFY(c.ticker().isRunning());
    QCOMPARE(p.titles(), QStringList{u"写完第三章"_qs});
    // Made at the first place, then refitted on the next turn, keeping the bottom-left corner.
    QCOMPARE(p.window->frames.first(), QRect(976, 43, 288, 96));
    settle();
    QCOMPARE(p.window->frame(), QRect(976, 57, 264, 82));

    p.begin(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 10min);
    QCOMPARE(p.windowsMade, 1); // kept for the whole run
    QCOMPARE(p.titles(), (QStringList{u"写完第三章"_qs, u"哔哩哔哩"_qs}));
}

void TestFloatingTimerPanelController::hidingTheOnlyLineHidesThePanel()
{
    Panel p;
    auto &c = p.make();
    const FocusSession first = p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 25min);
    c.rows().close(0);
    QVERIFY(!p.shown());
    QCOMPARE(p.window->outs, 1);
    QVERIFY(!c.ticker().isRunning());
    QCOMPARE(c.hiddenSessionIDs(), QSet<QUuid>{first.id});
    // The session runs on.
    QCOMPARE(p.manager().sessions().size(), 1);
    QCOMPARE(p.f.terminator.terminated, QStringList());

    // A new session shows only its own line.
    p.begin(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 10min);
    QVERIFY(p.shown());
    QVERIFY(c.ticker().isRunning());
    QCOMPARE(p.titles(), QStringList{u"哔哩哔哩"_qs});
}

void TestFloatingTimerPanelController::hiddenLinesComeBackOnlyAfterAllEnded()
{
    Panel p;
    auto &c = p.make();
    const FocusSession s = p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 25min);
    const auto g = p.grace(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 10min);
    p.state->setGraceOverrides({g});
    c.rows().close(1); // the override's line
    QCOMPARE(p.titles(), QStringList{u"网易云音乐"_qs});
    QCOMPARE(c.hiddenGraceKeys().size(), 1);

    // While a session remains, the hidden override stays hidden as overrides come and go.
    p.state->setGraceOverrides({});
    p.state->setGraceOverrides({g});
    QCOMPARE(p.titles(), QStringList{u"网易云音乐"_qs});

    // Both lists empty: the hidden sets are emptied and the same override shows again.
    p.state->setGraceOverrides({});
    p.manager().end(s.id);
    QVERIFY(!p.shown());
    QVERIFY(c.hiddenGraceKeys().isEmpty());
    QVERIFY(c.hiddenSessionIDs().isEmpty());
    p.state->setGraceOverrides({g});
    QVERIFY(p.shown());
    QCOMPARE(p.titles(), QStringList{u"哔哩哔哩"_qs});
}

void TestFloatingTimerPanelController::replacedOverrideShowsAgain()
{
    Panel p;
    auto &c = p.make();
    const auto g = p.grace(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 10min);
    p.state->setGraceOverrides({g});
    c.closeRow(g);
    QVERIFY(!p.shown());
    QCOMPARE(p.state->graceOverrides().size(), 1); // the override stays in force

    auto longer = g;
    longer.until += 5min;
    p.state->setGraceOverrides({longer});
    QVERIFY(p.shown());
    QCOMPARE(p.titles(), QStringList{u"哔哩哔哩"_qs});
}

void TestFloatingTimerPanelController::madeWhileThingsRunShowsAtOnce()
{
    Panel p;
    p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 25min);
    p.state->setGraceOverrides({p.grace(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 10min)});
    auto &c = p.make();
    QVERIFY(p.shown());
    QCOMPARE(p.windowsMade, 1);
    QCOMPARE(c.sessionRows().size(), 1);
    QCOMPARE(c.graceRows().size(), 1);
    QCOMPARE(p.titles(), (QStringList{u"网易云音乐"_qs, u"哔哩哔哩"_qs}));
    QVERIFY(c.ticker().isRunning());
}

void TestFloatingTimerPanelController::countsDownWhileShown()
{
    Panel p;
    auto &c = p.make();
    p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 2min + 500ms);
    const auto g = p.grace(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 1h + 2s);
    p.state->setGraceOverrides({g});
    const auto line = [&](int row) { return c.rows().lines().at(row); };
    QCOMPARE(line(0).timeText, u"02:00"_qs);
    QCOMPARE(line(0).timeColor, QColor(28, 28, 30));
    QCOMPARE(line(1).subtitle, u"忽略至 "_qs + ScheduleText::time(g.until, ScheduleCalendar::system()));
    QCOMPARE(line(1).timeText, QString());

    p.f.clock.advanceBy(1s);
    QCOMPARE(line(0).timeText, u"01:59"_qs);
    QCOMPARE(line(0).timeColor, QColor(255, 59, 48));
    p.f.clock.advanceBy(1s);
    // Within the hour: the override counts down.
    QCOMPARE(line(1).subtitle, u"忽略中"_qs);
    QCOMPARE(line(1).timeText, u"60:00"_qs);

    // Hidden: no tick, nothing changes.
    c.rows().close(1);
    c.rows().close(0);
    QVERIFY(!c.ticker().isRunning());
    const int pending = p.f.clock.pendingTimerCount();
    c.ticker().stop();
    QCOMPARE(p.f.clock.pendingTimerCount(), pending);
}

void TestFloatingTimerPanelController::pausedSessionFreezes()
{
    Panel p;
    auto &c = p.make();
    const FocusSession s = p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 10min, u"写完第三章"_qs);
    p.f.clock.advanceBy(30s);
    p.manager().pauseSessions(s.bundleID);
    TimerPanelLine line = c.rows().lines().at(0);
    QCOMPARE(line.subtitle, u"已暂停 · 忽略结束后继续"_qs);
    QVERIFY(line.pauseShown);
    QCOMPARE(line.iconOpacity, 0.45);
    QCOMPARE(line.timeText, u"09:30"_qs);
    p.f.clock.advanceBy(5s);
    QCOMPARE(c.rows().lines().at(0).timeText, u"09:30"_qs); // frozen at the stored remainder

    p.manager().resumeSessions(s.bundleID);
    line = c.rows().lines().at(0);
    QVERIFY(!line.pauseShown);
    QCOMPARE(line.subtitle, u"网易云音乐"_qs);
    QCOMPARE(line.timeText, u"09:30"_qs);
    p.f.clock.advanceBy(1s);
    QCOMPARE(c.rows().lines().at(0).timeText, u"09:29"_qs);
}

void TestFloatingTimerPanelController::refitFollowsTheContent()
{
    Panel p;
    auto &c = p.make();
    p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 25min);
    settle();
    QCOMPARE(p.window->frame(), QRect(976, 57, 264, 82));

    // A second line laid out: the top rises, the bottom stays.
    p.begin(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 10min);
    p.window->layOut(QSize(264, 141));
    QCOMPARE(p.window->frame(), QRect(976, 57, 264, 82)); // not before the next turn
    settle();
    QCOMPARE(p.window->frame(), QRect(976, -2, 264, 141));

    // A size of nothing is skipped.
    p.window->layOut(QSize(264, 0));
    settle();
    QCOMPARE(p.window->frame(), QRect(976, -2, 264, 141));

    // Hidden, the window does not follow its content.
    c.rows().close(0);
    c.rows().close(0);
    QVERIFY(!p.shown());
    settle();
    const int framesSet = int(p.window->frames.size());
    p.window->layOut(QSize(264, 82));
    settle();
    QCOMPARE(p.window->frames.size(), framesSet);

    // A refit queued before the controller went is dropped.
    p.begin(u"com.apple.Safari"_qs, u"浏览器"_qs, 10min);
    p.controller.reset();
    settle();
}

void TestFloatingTimerPanelController::frontAtEveryChangeOfTheLists()
{
    Panel p;
    p.make();
    p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 25min);
    QCOMPARE(p.window->fronts, 1);
    p.state->setGraceOverrides({p.grace(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 10min)});
    QCOMPARE(p.window->fronts, 2);
    p.f.clock.advanceBy(3s); // ticks only re-read the time
    QCOMPARE(p.window->fronts, 2);
    QCOMPARE(p.window->outs, 0);
}

void TestFloatingTimerPanelController::noScreenNoPlace()
{
    Panel p;
    p.area = std::nullopt;
    p.make();
    p.begin(u"com.netease.163music"_qs, u"网易云音乐"_qs, 25min);
    QCOMPARE(p.window->frames.first(), QRect(QPoint(0, 0), TimerPanelGeometry::initialSize));
    settle();
    QCOMPARE(p.window->frame(), QRect(0, 14, 264, 82));
}

void TestFloatingTimerPanelController::realStateMakesItThroughItsFactory()
{
    // What main.cpp hands the state object: the real controller, made on first use.
    AppStateFixture f;
    int made = 0;
    AppState::Seams seams = f.seams();
    RecordingWindow *window = nullptr;
    seams.timerPanelFactory = [&](FocusSessionManager &manager, AppState &state) -> std::unique_ptr<QObject> {
        ++made;
        return std::make_unique<FloatingTimerPanelController>(
            manager, state,
            [&](FloatingTimerPanelController &) -> std::unique_ptr<TimerPanelSurface> {
                auto w = std::make_unique<RecordingWindow>();
                window = w.get();
                return w;
            },
            [] { return std::optional<QRect>(primary); });
    };
    AppState::CreateResult created = AppState::create(seams);
    QVERIFY(created.state);
    AppState &state = *created.state;
    QCOMPARE(made, 0);
    const AppInfo app{u"com.netease.163music"_qs, u"网易云音乐"_qs, QUrl::fromLocalFile(u"/apps/music"_qs), {}, {}};
    state.startFocusSession(app, 25, u"写完第三章"_qs, std::nullopt);
    QCOMPARE(made, 1);
    auto *controller = qobject_cast<FloatingTimerPanelController *>(&state.timerPanel());
    QVERIFY(controller);
    QVERIFY(controller->isShown());
    QVERIFY(window && window->visible);
    QCOMPARE(controller->rows().lines().at(0).title, u"写完第三章"_qs);
    created.state.reset(); // the state drops the controller first
}

QTEST_GUILESS_MAIN(TestFloatingTimerPanelController)
#include "tst_floatingtimerpanelcontroller.moc"
