#include "floatingtoastcontroller.h"
#include "fake/virtualclock.h"

#include <QSignalSpy>
#include <QTest>

// The toast's phases on the virtual clock, the newer message's hold, and where the panel goes.
class TestFloatingToastController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void phasesOfOneMessage_data();
    void phasesOfOneMessage();
    void newerMessageKeepsItsOwnHold_data();
    void newerMessageKeepsItsOwnHold();
    void panelMadeOnceAndKept();
    void frame_data();
    void frame();
    void noScreenKeepsTheLastPlace();
    void controllerGoneBeforeItsTimers();
};

using Phase = FloatingToastController::Phase;

namespace {

struct Recording
{
    VirtualClock clock;
    int panelsMade = 0;
    std::optional<QRect> screen = QRect(0, 25, 1440, 875);
    std::unique_ptr<FloatingToastController> toast = std::make_unique<FloatingToastController>(
        clock,
        [this](FloatingToastController &) {
            ++panelsMade;
            return std::make_unique<QObject>();
        },
        [this] { return screen; });
};

} // namespace

void TestFloatingToastController::phasesOfOneMessage_data()
{
    QTest::addColumn<int>("atMs");
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<double>("opacity");
    QTest::newRow("at the call: fading in") << 0 << Phase::fadingIn << 1.0;
    QTest::newRow("fade-in done") << 160 << Phase::holding << 1.0;
    QTest::newRow("just before the hold ends") << 1799 << Phase::holding << 1.0;
    QTest::newRow("hold over: fading out") << 1800 << Phase::fadingOut << 0.0;
    QTest::newRow("just before it is gone") << 2099 << Phase::fadingOut << 0.0;
    QTest::newRow("gone after 2.1 s") << 2100 << Phase::hidden << 0.0;
}

void TestFloatingToastController::phasesOfOneMessage()
{
    QFETCH(int, atMs);
    QFETCH(Phase, phase);
    QFETCH(double, opacity);
    Recording r;
    r.toast->show(u"「微信」已置入程序坞常驻"_qs);
    r.clock.advanceBy(std::chrono::milliseconds(atMs));
    QCOMPARE(r.toast->phase(), phase);
    QCOMPARE(r.toast->targetOpacity(), opacity);
    QCOMPARE(r.toast->isShown(), phase != Phase::hidden);
    QCOMPARE(r.toast->message(), u"「微信」已置入程序坞常驻"_qs);
}

void TestFloatingToastController::newerMessageKeepsItsOwnHold_data()
{
    // When the second message comes, after the first one's call.
    QTest::addColumn<int>("secondAtMs");
    QTest::newRow("while the first fades in") << 100;
    QTest::newRow("0.5 s later, while it holds") << 500;
    QTest::newRow("while the first fades out") << 1900;
    QTest::newRow("at the end of the first's fade-out") << 2099;
}

void TestFloatingToastController::newerMessageKeepsItsOwnHold()
{
    QFETCH(int, secondAtMs);
    Recording r;
    QSignalSpy restarts(r.toast.get(), &FloatingToastController::generationChanged);
    r.toast->show(u"一"_qs);
    r.clock.advanceBy(std::chrono::milliseconds(secondAtMs));
    r.toast->show(u"二"_qs);
    QCOMPARE(r.toast->message(), u"二"_qs);
    QCOMPARE(r.toast->phase(), Phase::fadingIn);
    QCOMPARE(restarts.count(), 2);

    // Nothing of the first message's timing touches the second: it holds 1.8 s from its own call.
    QSignalSpy shown(r.toast.get(), &FloatingToastController::shownChanged);
    r.clock.advanceBy(1799ms);
    QCOMPARE(r.toast->phase(), Phase::holding);
    QCOMPARE(shown.count(), 0);
    r.clock.advanceBy(1ms);
    QCOMPARE(r.toast->phase(), Phase::fadingOut);
    r.clock.advanceBy(300ms);
    QCOMPARE(r.toast->phase(), Phase::hidden);
    QCOMPARE(shown.count(), 1);
}

void TestFloatingToastController::panelMadeOnceAndKept()
{
    Recording r;
    QCOMPARE(r.panelsMade, 0);
    r.toast->show(u"一"_qs);
    QVERIFY(r.toast->hasPanel());
    r.clock.advanceBy(5s);
    r.toast->show(u"二"_qs);
    r.toast->show(u"三"_qs);
    QCOMPARE(r.panelsMade, 1);
}

void TestFloatingToastController::frame_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("dock at the bottom")
        << QRect(0, 25, 1440, 800) << QRect(570, 25 + 800 - 24 - 60, 300, 60);
    QTest::newRow("dock on the left: centred in what is left")
        << QRect(80, 0, 1360, 900) << QRect(80 + 530, 900 - 84, 300, 60);
    QTest::newRow("second screen to the right") << QRect(1920, 0, 1280, 1024) << QRect(1920 + 490, 1024 - 84, 300, 60);
    QTest::newRow("odd width") << QRect(0, 0, 1001, 700) << QRect(350, 616, 300, 60);
}

void TestFloatingToastController::frame()
{
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(FloatingToastController::frameIn(available), expected);
    Recording r;
    r.screen = available;
    r.toast->show(u"一个很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长的消息"_qs);
    QCOMPARE(r.toast->frame(), expected);
    QCOMPARE(r.toast->frame().size(), QSize(300, 60)); // a long message does not widen it
}

void TestFloatingToastController::noScreenKeepsTheLastPlace()
{
    Recording r;
    r.toast->show(u"一"_qs);
    const QRect first = r.toast->frame();
    r.screen = std::nullopt;
    r.toast->show(u"二"_qs);
    QCOMPARE(r.toast->frame(), first);
}

void TestFloatingToastController::controllerGoneBeforeItsTimers()
{
    Recording r;
    r.toast->show(u"一"_qs);
    r.toast.reset();
    r.clock.advanceBy(5s);
    QCOMPARE(r.clock.pendingTimerCount(), 0);
}

QTEST_GUILESS_MAIN(TestFloatingToastController)
#include "tst_floatingtoastcontroller.moc"
