#include "griddragstate.h"

#include "../support/applists.h"

#include <QSignalSpy>
#include <QTest>

using namespace AppLists;

namespace {

struct Move
{
    QPointF point;
    bool pagesAnimating = false;
};
using Moves = QList<Move>;

// Three columns of 100 × 100 tiles 10 apart, two rows a page, pages 330 wide: slot i sits on page i / 6.
GridDragGeometry grid(int itemCount)
{
    GridDragGeometry g;
    g.columns = 3;
    g.rows = 2;
    g.cellWidth = 100;
    g.cellHeight = 100;
    g.columnSpacing = 10;
    g.rowSpacing = 10;
    g.pageWidth = 330;
    g.itemCount = itemCount;
    return g;
}

// The centre of slot i in content coordinates (x across all pages).
QPointF slot(int i)
{
    const int page = i / 6;
    const int inPage = i % 6;
    return {page * 330.0 + (inPage % 3) * 110.0 + 50, (inPage / 3) * 110.0 + 50};
}

Move to(int i, bool pagesAnimating = false)
{
    return {slot(i), pagesAnimating};
}

// Apps named after their identifiers in upper case, so that name order is identifier order.
QList<AppInfo> apps(const QString &spaced)
{
    QList<AppInfo> list;
    for (const QString &id : ids(spaced))
        list.append(app(id, id.toUpper()));
    return list;
}

QString spaced(const QStringList &list)
{
    return list.join(u' ');
}

QString previewText(const GridDragState &drag)
{
    return drag.previewOrder() ? spaced(*drag.previewOrder()) : u"none"_qs;
}

} // namespace

Q_DECLARE_METATYPE(Moves)

class TestGridDragState : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void displayApps()
    {
        GridDragState drag;
        const QList<AppInfo> offered = apps("c a b");
        QCOMPARE(drag.displayApps(offered), offered); // no drag: as offered, not sorted

        // The state object's order moves during the drag; before the first move the grid keeps the order of the
        // start, with an app that appeared meanwhile last.
        QVERIFY(drag.startReorder(apps("a b c d"), 1));
        QCOMPARE(idsOf(drag.displayApps(apps("d c x b a"))), ids("a b c d x"));
        QCOMPARE(drag.previewOrder(), std::nullopt);

        drag.updatePreview(slot(3), grid(4));
        QCOMPARE(idsOf(drag.displayApps(apps("d c b a"))), ids("a c d b"));
        QCOMPARE(idsOf(drag.displayApps(apps("z d y c b a"))), ids("a c d b y z"));

        drag.discard();
        QCOMPARE(drag.displayApps(apps("d c b a")), apps("d c b a"));
    }

    void startReorder()
    {
        GridDragState drag;
        QSignalSpy changed(&drag, &GridDragState::draggingIDChanged);
        QVERIFY(!drag.startReorder(apps("a b"), 2));
        QVERIFY(!drag.startReorder(apps("a b"), -1));
        QCOMPARE(drag.draggingID(), std::nullopt);
        QCOMPARE(changed.count(), 0);

        QVERIFY(drag.startReorder(apps("a b c"), 2));
        QCOMPARE(drag.draggingID(), u"c"_qs);
        QCOMPARE(drag.baseOrder(), ids("a b c"));
        QCOMPARE(drag.previewOrder(), std::nullopt);
        QCOMPARE(changed.count(), 1);
    }

    void updatePreview_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("dragged"); // -1: no drag started
        QTest::addColumn<Moves>("moves");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("writes");

        QTest::newRow("onto its own place writes nothing") << "a b c d e" << 1 << Moves{to(1)} << "none" << 0;
        QTest::newRow("the first tile to the end") << "a b c d e" << 0 << Moves{to(4)} << "b c d e a" << 1;
        QTest::newRow("onto an empty slot: the end") << "a b c d e" << 0 << Moves{to(5)} << "b c d e a" << 1;
        QTest::newRow("the last tile to the front") << "a b c d e" << 4 << Moves{to(0)} << "e a b c d" << 1;
        QTest::newRow("a second move starts from the preview")
            << "a b c d e" << 0 << Moves{to(2), to(3)} << "b c d a e" << 2;
        QTest::newRow("the same target again writes once") << "a b c d e" << 0 << Moves{to(2), to(2)} << "b c a d e" << 1;
        QTest::newRow("back to its own place previews the start order")
            << "a b c d e" << 0 << Moves{to(2), to(0)} << "a b c d e" << 2;
        QTest::newRow("onto the second page") << "a b c d e f g h" << 0 << Moves{to(7)} << "b c d e f g h a" << 1;
        QTest::newRow("skipped while pages animate") << "a b c d e" << 0 << Moves{to(4, true)} << "none" << 0;
        QTest::newRow("an animating move keeps the last preview")
            << "a b c d e" << 0 << Moves{to(2), to(4, true)} << "b c a d e" << 1;
        QTest::newRow("the settle's repeat writes it") << "a b c d e" << 0 << Moves{to(4, true), to(4)} << "b c d e a" << 1;
        QTest::newRow("no drag: nothing") << "a b c d e" << -1 << Moves{to(4)} << "none" << 0;
    }
    void updatePreview()
    {
        QFETCH(QString, shown);
        QFETCH(int, dragged);
        QFETCH(Moves, moves);
        QFETCH(QString, expected);
        QFETCH(int, writes);

        GridDragState drag;
        const QList<AppInfo> list = apps(shown);
        if (dragged >= 0)
            QVERIFY(drag.startReorder(list, dragged));
        QSignalSpy written(&drag, &GridDragState::previewOrderChanged);
        for (const Move &move : moves)
            drag.updatePreview(move.point, grid(int(list.size())), move.pagesAnimating);
        QCOMPARE(previewText(drag), expected);
        QCOMPARE(written.count(), writes);
        QCOMPARE(drag.baseOrder(), dragged >= 0 ? ids(shown) : QStringList());
    }

    void commit_data()
    {
        QTest::addColumn<Moves>("moves");
        QTest::addColumn<bool>("groupSelected");
        QTest::addColumn<QList<AppInfo>>("atDrop"); // the grid's list when the tile is dropped
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<AppInfo>>("expectedApps");
        QTest::addColumn<QStringList>("expectedIDs");
        QTest::addColumn<QStringList>("announced");

        using Kind = GridDragCommit::Kind;
        const QList<AppInfo> shown = apps("a b c d e");
        const QStringList both{u"draggingID"_qs, u"previewOrder"_qs};
        QTest::newRow("without a move nothing is handed over")
            << Moves{to(0)} << false << shown << int(Kind::None) << QList<AppInfo>() << QStringList()
            << QStringList{u"draggingID"_qs};
        QTest::newRow("no group: the apps in their new order")
            << Moves{to(4)} << false << apps("b c d e a") << int(Kind::CustomOrder) << apps("b c d e a")
            << QStringList() << both;
        QTest::newRow("no group: an identifier no longer listed is dropped")
            << Moves{to(4)} << false << apps("a b d e") << int(Kind::CustomOrder) << apps("b d e a") << QStringList()
            << both;
        QList<AppInfo> twice = apps("b c d e a");
        twice.insert(3, app(u"b"_qs, u"Another B"_qs));
        QTest::newRow("no group: the first app of an identifier wins")
            << Moves{to(4)} << false << twice << int(Kind::CustomOrder) << apps("b c d e a") << QStringList() << both;
        QTest::newRow("a group: the preview as it is")
            << Moves{to(4)} << true << apps("a b d e") << int(Kind::GroupOrder) << QList<AppInfo>()
            << ids("b c d e a") << both;
        QTest::newRow("a group without a move: nothing")
            << Moves{} << true << shown << int(Kind::None) << QList<AppInfo>() << QStringList()
            << QStringList{u"draggingID"_qs};
    }
    void commit()
    {
        QFETCH(Moves, moves);
        QFETCH(bool, groupSelected);
        QFETCH(QList<AppInfo>, atDrop);
        QFETCH(int, kind);
        QFETCH(QList<AppInfo>, expectedApps);
        QFETCH(QStringList, expectedIDs);
        QFETCH(QStringList, announced);

        GridDragState drag;
        QVERIFY(drag.startReorder(apps("a b c d e"), 0));
        for (const Move &move : moves)
            drag.updatePreview(move.point, grid(5), move.pagesAnimating);

        QStringList log;
        connect(&drag, &GridDragState::draggingIDChanged, this, [&] { log.append(u"draggingID"_qs); });
        connect(&drag, &GridDragState::previewOrderChanged, this, [&] { log.append(u"previewOrder"_qs); });
        const GridDragCommit result = drag.commit(groupSelected, atDrop);
        QCOMPARE(int(result.kind), kind);
        QCOMPARE(result.apps, expectedApps);
        QCOMPARE(result.bundleIDs, expectedIDs);
        QCOMPARE(drag.draggingID(), std::nullopt);
        QCOMPARE(drag.previewOrder(), std::nullopt);
        QCOMPARE(log, announced);
    }

    void discard()
    {
        GridDragState drag;
        QVERIFY(drag.startReorder(apps("a b c"), 0));
        drag.updatePreview(slot(2), grid(3));
        QStringList log;
        connect(&drag, &GridDragState::draggingIDChanged, this, [&] { log.append(u"draggingID"_qs); });
        connect(&drag, &GridDragState::previewOrderChanged, this, [&] { log.append(u"previewOrder"_qs); });
        drag.discard();
        QCOMPARE(drag.draggingID(), std::nullopt);
        QCOMPARE(drag.previewOrder(), std::nullopt);
        QCOMPARE(log, (QStringList{u"draggingID"_qs, u"previewOrder"_qs}));
        drag.discard();
        QCOMPARE(log.size(), 2); // idle already: nothing to announce
        QCOMPARE(drag.baseOrder(), ids("a b c")); // kept until the next drag
    }

    // What the views bind to: an empty identifier and a null preview when idle; a pointer that notifies only when
    // it moves.
    void publishedValues()
    {
        GridDragState drag;
        QCOMPARE(drag.property("draggingID").toString(), QString());
        QVERIFY(!drag.property("previewOrder").isValid());
        QVERIFY(drag.startReorder(apps("a b c"), 1));
        drag.updatePreview(slot(0), grid(3));
        QCOMPARE(drag.property("draggingID").toString(), u"b"_qs);
        QCOMPARE(drag.property("previewOrder").toStringList(), ids("b a c"));

        QSignalSpy moved(&drag, &GridDragState::pointerChanged);
        drag.setPointer({10, 20});
        drag.setPointer({10, 20});
        QCOMPARE(moved.count(), 1);
        QCOMPARE(drag.pointer(), QPointF(10, 20));
    }
};

QTEST_GUILESS_MAIN(TestGridDragState)
#include "tst_griddragstate.moc"
