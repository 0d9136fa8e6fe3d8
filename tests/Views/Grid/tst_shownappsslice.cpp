#include "shownappsslice.h"

#include "../support/applists.h"

#include <QAbstractItemModelTester>
#include <QPoint>
#include <QSignalSpy>
#include <QTest>

using AppLists::app;
using AppLists::ids;

// A window onto the shown apps: rows follow the source and the window, keep their identity while their app stays,
// and are handed from apps that left to apps that came before anything is made anew.
class TestShownAppsSlice : public QObject
{
    Q_OBJECT

    struct World
    {
        QList<AppInfo> apps;
        QStringList pinned;
    };

    static ShownAppsModel::Source sourceOf(World &w)
    {
        ShownAppsModel::Source s;
        s.apps = [&w] { return w.apps; };
        s.isPinned = [&w](const QString &id) { return w.pinned.contains(id); };
        return s;
    }

    static QList<AppInfo> appsOf(const QString &spaced)
    {
        QList<AppInfo> result;
        for (const QString &id : ids(spaced))
            result.append(app(id, u"应用 "_qs + id));
        return result;
    }

    static int rowsIn(const QSignalSpy &spy)
    {
        int rows = 0;
        for (const QList<QVariant> &args : spy)
            rows += args.at(2).toInt() - args.at(1).toInt() + 1;
        return rows;
    }

private Q_SLOTS:
    void follows_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QPoint>("window"); // first, size
        QTest::addColumn<QString>("after");
        QTest::addColumn<QPoint>("windowAfter");
        QTest::addColumn<QString>("pinned");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("moved");
        QTest::addColumn<int>("inserted");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("changed");
        QTest::addColumn<QString>("keptIdentity");

        const QString six = u"a b c d e f"_qs;
        QTest::newRow("nothing changed") << six << QPoint(0, 4) << six << QPoint(0, 4) << "" << "a b c d" << 0 << 0
                                         << 0 << 0 << "a b c d";
        QTest::newRow("a page on: one page leaves, one comes")
            << six << QPoint(0, 4) << six << QPoint(2, 4) << "" << "c d e f" << 0 << 2 << 2 << 0 << "c d";
        QTest::newRow("a page back") << six << QPoint(2, 4) << six << QPoint(0, 4) << "" << "a b c d" << 0 << 2 << 2
                                     << 0 << "c d";
        QTest::newRow("a jump: every row handed on in place")
            << six << QPoint(0, 3) << six << QPoint(3, 3) << "" << "d e f" << 0 << 0 << 0 << 3 << "";
        QTest::newRow("a new search: rows handed on in place")
            << u"a b c d"_qs << QPoint(0, 4) << u"w x y z"_qs << QPoint(0, 4) << "" << "w x y z" << 0 << 0 << 0 << 4
            << "";
        QTest::newRow("a narrower search keeps what stays")
            << six << QPoint(0, 4) << u"b d x"_qs << QPoint(0, 4) << "" << "b d x" << 0 << 1 << 2 << 2 << "b d";
        QTest::newRow("a wider search")
            << u"b d"_qs << QPoint(0, 4) << six << QPoint(0, 4) << "" << "a b c d" << 0 << 2 << 0 << 2 << "b d";
        QTest::newRow("a preview step is one move")
            << u"a b c d"_qs << QPoint(0, 4) << u"b c a d"_qs << QPoint(0, 4) << "" << "b c a d" << 1 << 0 << 0 << 3
            << "a b c d";
        QTest::newRow("an app in front pushes the last one out")
            << u"a b c d"_qs << QPoint(0, 3) << u"x a b c d"_qs << QPoint(0, 3) << "" << "x a b" << 0 << 1 << 1 << 2
            << "a b";
        QTest::newRow("an app before the window moves it along")
            << six << QPoint(2, 2) << u"x a b c d e f"_qs << QPoint(2, 2) << "" << "b c" << 0 << 1 << 1 << 1 << "c";
        QTest::newRow("a pin changes one row in place")
            << u"a b c"_qs << QPoint(0, 3) << u"a b c"_qs << QPoint(0, 3) << "b" << "a b c" << 0 << 0 << 0 << 1
            << "a b c";
        QTest::newRow("the window past the end is empty")
            << u"a b"_qs << QPoint(0, 3) << u"a b"_qs << QPoint(4, 3) << "" << "" << 0 << 0 << 2 << 0 << "";
        QTest::newRow("a smaller window")
            << six << QPoint(0, 4) << six << QPoint(0, 2) << "" << "a b" << 0 << 0 << 2 << 0 << "a b";
        QTest::newRow("nothing shown any more")
            << six << QPoint(0, 4) << u""_qs << QPoint(0, 4) << "" << "" << 0 << 0 << 4 << 0 << "";
    }
    void follows()
    {
        QFETCH(QString, before);
        QFETCH(QPoint, window);
        QFETCH(QString, after);
        QFETCH(QPoint, windowAfter);
        QFETCH(QString, pinned);
        QFETCH(QString, shown);
        QFETCH(int, moved);
        QFETCH(int, inserted);
        QFETCH(int, removed);
        QFETCH(int, changed);
        QFETCH(QString, keptIdentity);

        World w;
        w.apps = appsOf(before);
        ShownAppsModel model(sourceOf(w));
        model.refresh();
        ShownAppsSlice slice(model);
        QAbstractItemModelTester tester(&slice, QAbstractItemModelTester::FailureReportingMode::QtTest);
        slice.setWindow(window.x(), window.y());
        QList<QPersistentModelIndex> kept;
        for (int row = 0; row < slice.count(); ++row) {
            if (ids(keptIdentity).contains(slice.bundleIDs().at(row)))
                kept.append(slice.index(row));
        }

        QSignalSpy movedSpy(&slice, &QAbstractItemModel::rowsMoved);
        QSignalSpy insertedSpy(&slice, &QAbstractItemModel::rowsInserted);
        QSignalSpy removedSpy(&slice, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changedSpy(&slice, &QAbstractItemModel::dataChanged);
        QSignalSpy resetSpy(&slice, &QAbstractItemModel::modelReset);
        w.apps = appsOf(after);
        w.pinned = ids(pinned);
        model.refresh();
        slice.setWindow(windowAfter.x(), windowAfter.y());

        QCOMPARE(slice.bundleIDs(), ids(shown));
        QCOMPARE(movedSpy.size(), moved);
        QCOMPARE(rowsIn(insertedSpy), inserted);
        QCOMPARE(rowsIn(removedSpy), removed);
        QCOMPARE(rowsIn(changedSpy), changed);
        QCOMPARE(resetSpy.size(), 0);
        // A row whose app stayed is still that app's row.
        QCOMPARE(int(kept.size()), int(ids(keptIdentity).size()));
        for (const QPersistentModelIndex &index : std::as_const(kept))
            QVERIFY(ids(keptIdentity).contains(index.data(ShownAppsModel::BundleIdRole).toString()));
        // Every row says where its app stands in the source, with the source's roles.
        for (int row = 0; row < slice.count(); ++row) {
            const QModelIndex index = slice.index(row);
            const int position = index.data(ShownAppsSlice::PositionRole).toInt();
            QCOMPARE(position, windowAfter.x() + row);
            QCOMPARE(index.data(ShownAppsModel::BundleIdRole), model.index(position).data(ShownAppsModel::BundleIdRole));
            QCOMPARE(index.data(ShownAppsModel::NameRole), model.index(position).data(ShownAppsModel::NameRole));
            QCOMPARE(index.data(ShownAppsModel::PinnedRole).toBool(), w.pinned.contains(slice.bundleIDs().at(row)));
        }
    }

    void followsEachRecomputationOfItsSource()
    {
        World w;
        w.apps = appsOf(u"a b c"_qs);
        ShownAppsModel model(sourceOf(w));
        ShownAppsSlice slice(model);
        slice.setWindow(1, 5);
        QSignalSpy count(&slice, &ShownAppsSlice::countChanged);
        model.scheduleRefresh();
        QCOMPARE(slice.count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(slice.bundleIDs(), ids(u"b c"_qs));
        QCOMPARE(count.size(), 1);
        QCOMPARE(slice.roleNames().value(ShownAppsSlice::PositionRole), QByteArray("position"));
        QCOMPARE(slice.roleNames().value(ShownAppsModel::BundleIdRole), QByteArray("bundleID"));
    }
};

QTEST_GUILESS_MAIN(TestShownAppsSlice)
#include "tst_shownappsslice.moc"
