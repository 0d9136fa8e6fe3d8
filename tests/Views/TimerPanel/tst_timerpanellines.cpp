#include "schedulecalendar.h"
#include "theme.h"
#include "timerpanellines.h"
#include "timerpanelrowsmodel.h"

#include "fake/virtualclock.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

// What each line of the floating timer panel reads and how it is coloured, which lines show in which order, and the
// rows model that keeps its rows while they count down.
class TestTimerPanelLines : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sessionLine_data();
    void sessionLine();
    void graceLine_data();
    void graceLine();
    void graceKeys();
    void visibleLinesInOrder();
    void rowsKeepTheirIdentity();
    void closeReportsTheLine();
};

namespace {

const Instant now = VirtualClock::defaultStart(); // 20:00 in Shanghai
const ScheduleCalendar shanghai(QTimeZone("Asia/Shanghai"));

FocusSession session(const QString &bundleID, const QString &name, std::optional<QString> note, Duration left)
{
    FocusSession s;
    s.bundleID = bundleID;
    s.appName = name;
    s.taskNote = std::move(note);
    s.deadline = now + left;
    return s;
}

AppState::GraceOverride grace(const QString &bundleID, const QString &name, Duration left)
{
    return {bundleID, name, now + left};
}

const QColor danger = Theme::danger();
const QColor running(28, 28, 30);
const QColor grey(146, 146, 146);
const QColor pausedTime(166, 166, 171);

} // namespace

using OptSeconds = std::optional<double>;
Q_DECLARE_METATYPE(OptSeconds)

void TestTimerPanelLines::sessionLine_data()
{
    QTest::addColumn<std::optional<QString>>("note");
    QTest::addColumn<qint64>("leftMs");
    QTest::addColumn<OptSeconds>("paused");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("subtitle");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QColor>("timeColor");

    const std::optional<QString> none;
    const std::optional<QString> note = u"写完第三章"_qs;
    QTest::newRow("note over the app's name") << note << qint64(1500'000) << OptSeconds() << u"写完第三章"_qs
                                              << u"网易云音乐"_qs << u"25:00"_qs << running;
    QTest::newRow("no note: the name over the auto quit")
        << none << qint64(1500'000) << OptSeconds() << u"网易云音乐"_qs << u"到点自动退出"_qs << u"25:00"_qs << running;
    QTest::newRow("119 s: danger") << none << qint64(119'000) << OptSeconds() << u"网易云音乐"_qs
                                   << u"到点自动退出"_qs << u"01:59"_qs << danger;
    QTest::newRow("120 s: not yet") << none << qint64(120'000) << OptSeconds() << u"网易云音乐"_qs
                                    << u"到点自动退出"_qs << u"02:00"_qs << running;
    QTest::newRow("119.9 s shows 01:59 in danger") << none << qint64(119'900) << OptSeconds() << u"网易云音乐"_qs
                                                   << u"到点自动退出"_qs << u"01:59"_qs << danger;
    QTest::newRow("5400 s: minutes not wrapped") << none << qint64(5400'000) << OptSeconds() << u"网易云音乐"_qs
                                                 << u"到点自动退出"_qs << u"90:00"_qs << running;
    QTest::newRow("deadline passed, still listed") << none << qint64(-3'000) << OptSeconds() << u"网易云音乐"_qs
                                                   << u"到点自动退出"_qs << u"00:00"_qs << danger;
    QTest::newRow("paused: frozen at the remainder, greyed")
        << note << qint64(1500'000) << OptSeconds(754.6) << u"写完第三章"_qs << u"已暂停 · 忽略结束后继续"_qs
        << u"12:34"_qs << pausedTime;
    QTest::newRow("paused under 120 s: still grey") << none << qint64(1500'000) << OptSeconds(30) << u"网易云音乐"_qs
                                                    << u"已暂停 · 忽略结束后继续"_qs << u"00:30"_qs << pausedTime;
}

void TestTimerPanelLines::sessionLine()
{
    QFETCH(std::optional<QString>, note);
    QFETCH(qint64, leftMs);
    QFETCH(OptSeconds, paused);
    QFETCH(QString, title);
    QFETCH(QString, subtitle);
    QFETCH(QString, time);
    QFETCH(QColor, timeColor);
    const FocusSession s = session(u"com.netease.163music"_qs, u"网易云音乐"_qs, note, std::chrono::milliseconds(leftMs));
    const TimerPanelLine line = TimerPanelLines::sessionLine(s, paused, now);
    QCOMPARE(line.title, title);
    QCOMPARE(line.subtitle, subtitle);
    QCOMPARE(line.timeText, time);
    QCOMPARE(line.timeColor, timeColor);
    QCOMPARE(line.pauseShown, paused.has_value());
    QCOMPARE(line.iconOpacity, paused ? 0.45 : 1.0);
    QCOMPARE(line.titleColor, paused ? grey : Theme::primary());
    QCOMPARE(line.closeToolTip, u"隐藏此条（计时继续）"_qs);
    QCOMPARE(line.iconSource, u"image://appicon/com.netease.163music"_qs);
    QCOMPARE(line.sessionID, s.id);
}

void TestTimerPanelLines::graceLine_data()
{
    QTest::addColumn<qint64>("leftMs");
    QTest::addColumn<QString>("subtitle");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QColor>("timeColor");
    QTest::newRow("3600 s: counting down") << qint64(3600'000) << u"忽略中"_qs << u"60:00"_qs << running;
    QTest::newRow("3601 s: its end time, no countdown") << qint64(3601'000) << u"忽略至 21:00"_qs << QString() << QColor();
    QTest::newRow("beyond midnight: time of day only") << qint64(5 * 3600'000) << u"忽略至 01:00"_qs << QString()
                                                       << QColor();
    QTest::newRow("119 s: danger") << qint64(119'000) << u"忽略中"_qs << u"01:59"_qs << danger;
    QTest::newRow("120 s: not yet") << qint64(120'000) << u"忽略中"_qs << u"02:00"_qs << running;
    QTest::newRow("end passed, still listed: 00:00 in danger")
        << qint64(-2'500) << u"忽略中"_qs << u"00:00"_qs << danger;
}

void TestTimerPanelLines::graceLine()
{
    QFETCH(qint64, leftMs);
    QFETCH(QString, subtitle);
    QFETCH(QString, time);
    QFETCH(QColor, timeColor);
    const auto g = grace(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, std::chrono::milliseconds(leftMs));
    const TimerPanelLine line = TimerPanelLines::graceLine(g, now, shanghai);
    QCOMPARE(line.title, u"哔哩哔哩"_qs);
    QCOMPARE(line.titleColor, Theme::primary());
    QCOMPARE(line.subtitle, subtitle);
    QCOMPARE(line.timeText, time);
    if (!time.isEmpty())
        QCOMPARE(line.timeColor, timeColor);
    QVERIFY(!line.pauseShown);
    QCOMPARE(line.iconOpacity, 1.0);
    QCOMPARE(line.closeToolTip, u"隐藏此条（忽略照常生效）"_qs);
    QCOMPARE(line.grace, g);
}

void TestTimerPanelLines::graceKeys()
{
    const auto a = grace(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 600s);
    QCOMPARE(TimerPanelLines::graceKey(a), TimerPanelLines::graceKey(a));
    // Another end, another key, down to the clock's smallest step; the name plays no part.
    auto later = a;
    later.until += 1us;
    QVERIFY(TimerPanelLines::graceKey(later) != TimerPanelLines::graceKey(a));
    auto renamed = a;
    renamed.appName = u"B站"_qs;
    QCOMPARE(TimerPanelLines::graceKey(renamed), TimerPanelLines::graceKey(a));
    // A bundle identifier that ends in digits cannot pass for another app's key.
    const AppState::GraceOverride b{u"app-1"_qs, u"x"_qs, Instants::fromSecondsSince1970(23)};
    const AppState::GraceOverride c{u"app"_qs, u"x"_qs, Instants::fromSecondsSince1970(123)};
    QVERIFY(TimerPanelLines::graceKey(b) != TimerPanelLines::graceKey(c));
}

void TestTimerPanelLines::visibleLinesInOrder()
{
    const FocusSession first = session(u"a"_qs, u"甲"_qs, std::nullopt, 600s);
    const FocusSession second = session(u"b"_qs, u"乙"_qs, std::nullopt, 60s);
    const FocusSession third = session(u"c"_qs, u"丙"_qs, std::nullopt, 900s);
    const auto g1 = grace(u"d"_qs, u"丁"_qs, 30s);
    const auto g2 = grace(u"e"_qs, u"戊"_qs, 7200s);
    TimerPanelLines::Inputs in{{first, second, third}, {}, {second.id}, {g1, g2}, {}, now, now};
    auto titles = [](const QList<TimerPanelLine> &lines) {
        QStringList t;
        for (const auto &l : lines)
            t.append(l.title + (l.dividerBefore ? u"|"_qs : QString()));
        return t;
    };
    // Sessions in start order, then overrides; a divider above every line but the first.
    QCOMPARE(titles(TimerPanelLines::build(in, shanghai)), (QStringList{u"甲"_qs, u"丙|"_qs, u"丁|"_qs, u"戊|"_qs}));
    in.hiddenGraceKeys = {TimerPanelLines::graceKey(g1)};
    in.hiddenSessionIDs = {first.id, second.id, third.id};
    QCOMPARE(titles(TimerPanelLines::build(in, shanghai)), QStringList{u"戊"_qs});
    // A hidden key of another end hides nothing.
    auto regranted = g2;
    regranted.until += 60s;
    in.graces = {g1, regranted};
    in.hiddenGraceKeys.insert(TimerPanelLines::graceKey(g2));
    QCOMPARE(titles(TimerPanelLines::build(in, shanghai)), QStringList{u"戊"_qs});
    // The sessions read the clock, the overrides the ticker.
    in.hiddenSessionIDs.clear();
    in.hiddenGraceKeys.clear();
    in.sessionNow = now + 10s;
    in.graceNow = now + 20s;
    const auto lines = TimerPanelLines::build(in, shanghai);
    QCOMPARE(lines.at(0).timeText, u"09:50"_qs);
    QCOMPARE(lines.at(1).timeText, u"00:50"_qs);
    QCOMPARE(lines.at(3).timeText, u"00:10"_qs);
}

void TestTimerPanelLines::rowsKeepTheirIdentity()
{
    TimerPanelRowsModel model({});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removes(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy counts(&model, &TimerPanelRowsModel::countChanged);

    const FocusSession a = session(u"a"_qs, u"甲"_qs, std::nullopt, 600s);
    const FocusSession b = session(u"b"_qs, u"乙"_qs, std::nullopt, 300s);
    const auto g = grace(u"g"_qs, u"庚"_qs, 60s);
    auto lines = [&](QList<FocusSession> sessions, QList<AppState::GraceOverride> graces, Instant at) {
        return TimerPanelLines::build({sessions, {}, {}, graces, {}, at, at}, shanghai);
    };

    model.setLines(lines({a}, {}, now));
    QCOMPARE(model.count(), 1);
    model.setLines(lines({a, b}, {g}, now));
    QCOMPARE(model.count(), 3);
    QCOMPARE(inserts.size(), 3);
    QCOMPARE(counts.size(), 2);

    // A tick changes the texts in place: the time alone, so the view updates nothing else.
    changes.clear();
    model.setLines(lines({a, b}, {g}, now + 1s));
    QCOMPARE(changes.size(), 3);
    for (const QList<QVariant> &change : std::as_const(changes))
        QCOMPARE(change.at(2).value<QList<int>>(), QList<int>{TimerPanelRowsModel::TimeTextRole});
    // Into the last two minutes: the colour too.
    changes.clear();
    model.setLines(lines({a, b}, {g}, now + 181s));
    QCOMPARE(changes.size(), 3);
    QCOMPARE(changes.at(1).at(2).value<QList<int>>(),
             (QList<int>{TimerPanelRowsModel::TimeTextRole, TimerPanelRowsModel::TimeColorRole}));
    model.setLines(lines({a, b}, {g}, now + 1s));
    QCOMPARE(inserts.size(), 3);
    QCOMPARE(model.data(model.index(2), TimerPanelRowsModel::TimeTextRole).toString(), u"00:59"_qs);
    // Nothing changed, nothing said.
    changes.clear();
    model.setLines(lines({a, b}, {g}, now + 1s));
    QCOMPARE(changes.size(), 0);

    // The first line goes: one remove, the next line loses its divider.
    model.setLines(lines({b}, {g}, now + 1s));
    QCOMPARE(removes.size(), 1);
    QCOMPARE(model.data(model.index(0), TimerPanelRowsModel::TitleRole).toString(), u"乙"_qs);
    QCOMPARE(model.data(model.index(0), TimerPanelRowsModel::DividerBeforeRole).toBool(), false);
    QCOMPARE(model.data(model.index(1), TimerPanelRowsModel::DividerBeforeRole).toBool(), true);
    QCOMPARE(resets.size(), 0);

    model.setLines({});
    QCOMPARE(model.count(), 0);
    QCOMPARE(counts.size(), 4);
    const QHash<int, QByteArray> roles = model.roleNames();
    QVERIFY(roles.values().contains("closeToolTip"));
}

void TestTimerPanelLines::closeReportsTheLine()
{
    QList<TimerPanelLine> closed;
    TimerPanelRowsModel model([&](const TimerPanelLine &line) { closed.append(line); });
    const FocusSession a = session(u"a"_qs, u"甲"_qs, std::nullopt, 600s);
    const auto g = grace(u"g"_qs, u"庚"_qs, 60s);
    model.setLines(TimerPanelLines::build({{a}, {}, {}, {g}, {}, now, now}, shanghai));
    model.close(1);
    model.close(0);
    model.close(2);  // no such row
    model.close(-1); // no such row
    QCOMPARE(closed.size(), 2);
    QCOMPARE(closed.at(0).grace, g);
    QCOMPARE(closed.at(1).sessionID, a.id);
}

QTEST_GUILESS_MAIN(TestTimerPanelLines)
#include "tst_timerpanellines.moc"
