#include "mainkeyrules.h"
#include "mainwindowsizer.h"
#include "supervisionstatustext.h"

#include "../support/applists.h"

#include <QTest>

using AppLists::app;

// The launcher window's own rules: its size for the preferred grid, its arrow keys and Return, and the status line.
class TestMainWindowRules : public QObject
{
    Q_OBJECT

    class FakeWindow : public SizingWindow
    {
    public:
        double height = 0;
        std::optional<QRect> available = QRect(0, 25, 1920, 1055);
        QRect frame = QRect(100, 100, 800, 600);
        QMargins margins = QMargins(2, 30, 2, 2);
        QList<MainWindowSizer::Placement> applied;

        std::optional<QRect> availableGeometry() const override { return available; }
        QRect frameGeometry() const override { return frame; }
        QMargins frameMargins() const override { return margins; }
        void apply(QSize content, QPoint framePosition) override
        {
            applied.append({content, framePosition});
            height = content.height();
            frame = QRect(framePosition, content.grownBy(margins));
        }
    };

private Q_SLOTS:
    void contentSize_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("paged");
        QTest::addColumn<QSizeF>("expected");
        QTest::newRow("7 x 4 paged") << 7 << 4 << true << QSizeF(1030, 100 + 560);
        QTest::newRow("7 x 4 vertical, 4 x rows taller") << 7 << 4 << false << QSizeF(1030, 100 + 576);
        QTest::newRow("5 x 2 paged") << 5 << 2 << true << QSizeF(750, 100 + 44 + 228 + 20);
        QTest::newRow("12 x 8 vertical") << 12 << 8 << false << QSizeF(80 + 1320 + 330, 100 + 48 + 912 + 168);
    }
    void contentSize()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(bool, paged);
        QFETCH(QSizeF, expected);
        QCOMPARE(MainWindowSizer::contentSize({columns, rows, paged}, 100), expected);
    }

    void place_data()
    {
        QTest::addColumn<QSizeF>("content");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("position");
        // Available: x 0..1920, y 25..1080; frame margins 2 left and right, 30 on top, 2 below.
        QTest::newRow("fits where it is") << QSizeF(1030, 660) << QRect(100, 100, 800, 600) << QSize(1030, 660)
                                          << QPoint(100, 100);
        QTest::newRow("pushed back from the right") << QSizeF(1030, 660) << QRect(1500, 100, 800, 600)
                                                    << QSize(1030, 660) << QPoint(1920 - 1034, 100);
        QTest::newRow("pushed up from the bottom") << QSizeF(1030, 660) << QRect(100, 900, 800, 600)
                                                   << QSize(1030, 660) << QPoint(100, 1080 - 692);
        QTest::newRow("pulled in from the left and top") << QSizeF(1030, 660) << QRect(-50, 0, 800, 600)
                                                         << QSize(1030, 660) << QPoint(0, 25);
        QTest::newRow("larger than the screen: the frame fills the available area")
            << QSizeF(2500, 1500) << QRect(300, 300, 800, 600) << QSize(1916, 1023) << QPoint(0, 25);
        QTest::newRow("too tall only: as wide, the frame as tall as the available area")
            << QSizeF(1030, 1200) << QRect(100, 300, 800, 600) << QSize(1030, 1023) << QPoint(100, 25);
        QTest::newRow("one point too tall") << QSizeF(1030, 1024) << QRect(100, 25, 800, 600) << QSize(1030, 1023)
                                            << QPoint(100, 25);
        QTest::newRow("fractions round up") << QSizeF(1030.2, 660.5) << QRect(100, 100, 800, 600) << QSize(1031, 661)
                                            << QPoint(100, 100);
    }
    void place()
    {
        QFETCH(QSizeF, content);
        QFETCH(QRect, frame);
        QFETCH(QSize, size);
        QFETCH(QPoint, position);
        const QRect available(0, 25, 1920, 1055);
        const QMargins margins(2, 30, 2, 2);
        const auto p = MainWindowSizer::place(content, available, frame, margins);
        QCOMPARE(p.contentSize, size);
        QCOMPARE(p.framePosition, position);
        QVERIFY(available.contains(QRect(p.framePosition, p.contentSize.grownBy(margins))));
    }

    // A preference too large for the screen: the footer at the bottom of the content stays on the screen, wherever
    // the window stood. 8 x 6 paged needs 1170 x (chrome + 828).
    void tooLargeAPreferenceKeepsTheBottomOnTheScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QSize>("content");
        QTest::newRow("1440 x 900, title bar 20") << QRect(0, 0, 1440, 900) << QMargins(0, 20, 0, 0)
                                                   << QRect(100, 60, 1054, 783) << QSize(1170, 880);
        QTest::newRow("1440 x 900 under a panel of 28") << QRect(0, 28, 1440, 872) << QMargins(1, 24, 1, 1)
                                                         << QRect(0, 500, 1054, 783) << QSize(1170, 847);
        QTest::newRow("no frame") << QRect(0, 0, 1440, 900) << QMargins() << QRect(300, 300, 1054, 783)
                                  << QSize(1170, 900);
    }
    void tooLargeAPreferenceKeepsTheBottomOnTheScreen()
    {
        QFETCH(QRect, available);
        QFETCH(QMargins, margins);
        QFETCH(QRect, frame);
        QFETCH(QSize, content);
        FakeWindow window;
        window.available = available;
        window.margins = margins;
        window.frame = frame;
        window.height = frame.height() - margins.top() - margins.bottom();
        MainWindowSizer sizer;
        sizer.setPreference({8, 6, true});
        sizer.setWindow(&window);
        sizer.gridAreaHeightChanged(window.height - 160, window.height); // chrome 160
        QCOMPARE(window.applied.size(), 1);
        const MainWindowSizer::Placement placed = window.applied.first();
        QCOMPARE(placed.contentSize, content);
        QCOMPARE(placed.framePosition.y(), available.y());
        const QRect shownContent(placed.framePosition + QPoint(margins.left(), margins.top()), placed.contentSize);
        QCOMPARE(shownContent.bottom(), available.bottom() - margins.bottom());
        QVERIFY(available.contains(window.frame));
    }

    void firstSizingWaitsForBothHeights()
    {
        FakeWindow window;
        MainWindowSizer sizer;
        sizer.gridAreaHeightChanged(300, window.height); // no window yet
        QVERIFY(!sizer.didApplyInitialSize());
        window.height = 0;
        sizer.setWindow(&window); // height 0
        QVERIFY(!sizer.didApplyInitialSize());
        window.height = 300;
        sizer.gridAreaHeightChanged(300, window.height); // content not above the grid area
        QVERIFY(!sizer.didApplyInitialSize());
        sizer.gridAreaHeightChanged(0, window.height);
        QVERIFY(!sizer.didApplyInitialSize());
        QVERIFY(window.applied.isEmpty());

        window.height = 600;
        sizer.gridAreaHeightChanged(420, window.height);
        QVERIFY(sizer.didApplyInitialSize());
        QCOMPARE(sizer.chromeHeight(), 180.0);
        QCOMPARE(window.applied.size(), 1);
        QCOMPARE(window.applied.first().contentSize, QSize(1030, 180 + 560));

        // Later reports size nothing again by themselves.
        sizer.gridAreaHeightChanged(500, window.height);
        sizer.setWindow(&window);
        QCOMPARE(window.applied.size(), 1);
    }

    void refitMeasuresTheChromeAgain()
    {
        FakeWindow window;
        MainWindowSizer sizer;
        sizer.refit(); // before the first sizing: nothing
        window.height = 600;
        sizer.setWindow(&window);
        sizer.gridAreaHeightChanged(420, window.height);
        QCOMPARE(window.applied.size(), 1);
        // The banner appeared: 740 high, the grid area lost 60.
        sizer.gridAreaHeightChanged(560 - 60, window.height);
        sizer.setPreference({7, 4, false});
        sizer.refit();
        QCOMPARE(sizer.chromeHeight(), 240.0);
        QCOMPARE(window.applied.last().contentSize, QSize(1030, 240 + 576));
        // A grid-area height not below the content keeps the last chrome.
        sizer.gridAreaHeightChanged(window.height + 10, window.height);
        sizer.setPreference({5, 2, true});
        sizer.refit();
        QCOMPARE(sizer.chromeHeight(), 240.0);
        QCOMPARE(window.applied.last().contentSize, QSize(750, 240 + 292));
    }

    void noScreenSizesNothing()
    {
        FakeWindow window;
        window.available.reset();
        window.height = 600;
        MainWindowSizer sizer;
        sizer.setWindow(&window);
        sizer.gridAreaHeightChanged(400, window.height);
        QVERIFY(sizer.didApplyInitialSize());
        QCOMPARE(sizer.chromeHeight(), 200.0);
        QVERIFY(window.applied.isEmpty());
    }

    void windowGoneSizesNothing()
    {
        FakeWindow window;
        window.height = 600;
        MainWindowSizer sizer;
        sizer.setWindow(&window);
        sizer.gridAreaHeightChanged(400, window.height);
        sizer.setWindow(nullptr);
        sizer.refit();
        QCOMPARE(window.applied.size(), 1);
    }

    void arrows_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<bool>("composing");
        QTest::addColumn<bool>("consumed");
        QTest::addColumn<QPoint>("move"); // (9, 9): none
        const QPoint none(9, 9);
        QTest::newRow("down without a selection") << int(Qt::Key_Down) << false << false << false << true << QPoint(0, 1);
        QTest::newRow("down with a selection") << int(Qt::Key_Down) << false << true << false << true << QPoint(0, 1);
        QTest::newRow("up without a selection") << int(Qt::Key_Up) << false << false << false << false << none;
        QTest::newRow("left without a selection") << int(Qt::Key_Left) << false << false << false << false << none;
        QTest::newRow("right without a selection") << int(Qt::Key_Right) << false << false << false << false << none;
        QTest::newRow("up") << int(Qt::Key_Up) << false << true << false << true << QPoint(0, -1);
        QTest::newRow("left") << int(Qt::Key_Left) << false << true << false << true << QPoint(-1, 0);
        QTest::newRow("right") << int(Qt::Key_Right) << false << true << false << true << QPoint(1, 0);
        QTest::newRow("held down repeats") << int(Qt::Key_Down) << true << true << false << false << none;
        QTest::newRow("held right repeats") << int(Qt::Key_Right) << true << true << false << false << none;
        QTest::newRow("down while composing") << int(Qt::Key_Down) << false << true << true << false << none;
        QTest::newRow("other keys") << int(Qt::Key_A) << false << true << false << false << none;
    }
    void arrows()
    {
        QFETCH(int, key);
        QFETCH(bool, repeat);
        QFETCH(bool, selection);
        QFETCH(bool, composing);
        QFETCH(bool, consumed);
        QFETCH(QPoint, move);
        const auto result = MainKeyRules::arrow(key, repeat, selection, composing);
        QCOMPARE(result.consumed, consumed);
        QCOMPARE(result.move.value_or(QPoint(9, 9)), move);
    }

    void firstMatch_data()
    {
        QTest::addColumn<QStringList>("visible");
        QTest::addColumn<QString>("selected"); // empty: none
        QTest::addColumn<int>("expected"); // -1: nothing
        QTest::newRow("no selection") << AppLists::ids("a b c") << QString() << 0;
        QTest::newRow("selection shown") << AppLists::ids("a b c") << u"c"_qs << 2;
        QTest::newRow("selection filtered away") << AppLists::ids("a b") << u"c"_qs << 0;
        QTest::newRow("empty list") << QStringList() << u"c"_qs << -1;
    }
    void firstMatch()
    {
        QFETCH(QStringList, visible);
        QFETCH(QString, selected);
        QFETCH(int, expected);
        QList<AppInfo> apps;
        for (const QString &id : visible)
            apps.append(app(id, id));
        const auto index = MainKeyRules::firstMatch(apps, selected.isEmpty() ? std::nullopt : std::optional(selected));
        QCOMPARE(index.value_or(-1), expected);
    }

    void statusText_data()
    {
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("next"); // -1 none, 0 restriction, 1 quit
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("green");
        QTest::newRow("nothing set") << 0 << -1 << u"未设置禁启规则"_qs << false;
        QTest::newRow("no active rule, a paused plan's quit") << 0 << 1 << u"未设置禁启规则"_qs << false;
        QTest::newRow("two rules, a quit at 07:05") << 2 << 1 << u"2 条规则生效中 · 下一次退出 07:05"_qs << true;
        QTest::newRow("one rule, a restriction") << 1 << 0 << u"1 条规则生效中 · 下一次禁启 07:05"_qs << true;
        QTest::newRow("twelve, nothing coming") << 12 << -1 << u"12 条规则生效中"_qs << true;
    }
    void statusText()
    {
        QFETCH(int, active);
        QFETCH(int, next);
        QFETCH(QString, expected);
        QFETCH(bool, green);
        SupervisionStatus status;
        status.activeCount = active;
        if (next >= 0) {
            // 07:05 in Shanghai is 23:05 UTC the day before.
            const Instant at = Instants::fromDateTime(QDateTime(QDate(2026, 3, 1), QTime(23, 5), Qt::UTC));
            status.nextEvent = SupervisionStatus::NextEvent{
                next == 1 ? SupervisionStatus::NextEventKind::quit : SupervisionStatus::NextEventKind::restriction, at};
        }
        QCOMPARE(SupervisionStatusText::text(status, QTimeZone("Asia/Shanghai")), expected);
        QCOMPARE(SupervisionStatusText::isActive(status), green);
    }
};

QTEST_GUILESS_MAIN(TestMainWindowRules)
#include "tst_mainwindowrules.moc"
