#include "listdiff.h"
#include "shownappsmodel.h"

#include "../support/applists.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using AppLists::app;
using AppLists::ids;

// The shown-apps model: rows follow the source by moves, inserts and removes, once per event-loop turn.
class TestShownAppsModel : public QObject
{
    Q_OBJECT

    static QStringList applied(QStringList list, const QList<ListDiff::Step> &steps)
    {
        for (const ListDiff::Step &s : steps) {
            switch (s.kind) {
            case ListDiff::Step::Kind::Remove:
                list.removeAt(s.from);
                break;
            case ListDiff::Step::Kind::Insert:
                list.insert(s.to, s.id);
                break;
            case ListDiff::Step::Kind::Move:
                list.move(s.from, s.to);
                break;
            }
        }
        return list;
    }

    struct World
    {
        QList<AppInfo> apps;
        QStringList pinned;
        std::optional<QString> selected;
        QList<QString> launched;
        int asked = 0;
    };

    static ShownAppsModel::Source sourceOf(World &w)
    {
        ShownAppsModel::Source s;
        s.apps = [&w] {
            ++w.asked;
            return w.apps;
        };
        s.isPinned = [&w](const QString &id) { return w.pinned.contains(id); };
        s.selectedID = [&w] { return w.selected; };
        s.launch = [&w](const AppInfo &a) { w.launched.append(a.bundleID); };
        return s;
    }

    static QList<AppInfo> appsOf(const QString &spaced)
    {
        QList<AppInfo> result;
        for (const QString &id : ids(spaced))
            result.append(app(id, u"应用 "_qs + id));
        return result;
    }

private Q_SLOTS:
    void steps_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("moves");
        QTest::addColumn<int>("total");
        QTest::newRow("unchanged") << "a b c d" << "a b c d" << 0 << 0;
        QTest::newRow("one preview step down is one move") << "a b c d e" << "b c d a e" << 1 << 1;
        QTest::newRow("one preview step up is one move") << "a b c d e" << "a e b c d" << 1 << 1;
        QTest::newRow("first to the end") << "a b c d" << "b c d a" << 1 << 1;
        QTest::newRow("reversed") << "a b c d" << "d c b a" << 3 << 3;
        QTest::newRow("filtered") << "a b c d e" << "b d" << 0 << 3;
        QTest::newRow("filter cleared") << "b d" << "a b c d e" << 0 << 3;
        QTest::newRow("everything replaced") << "a b" << "c d" << 0 << 4;
        QTest::newRow("mixed") << "a b c d e f" << "f x b a e" << 2 << 5;
        QTest::newRow("from empty") << "" << "a b" << 0 << 2;
        QTest::newRow("to empty") << "a b" << "" << 0 << 2;
    }
    void steps()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, moves);
        QFETCH(int, total);
        const auto s = ListDiff::steps(ids(from), ids(to));
        QCOMPARE(applied(ids(from), s), ids(to));
        QCOMPARE(int(std::count_if(s.begin(), s.end(),
                                   [](const ListDiff::Step &x) { return x.kind == ListDiff::Step::Kind::Move; })),
                 moves);
        QCOMPARE(int(s.size()), total);
        // Within a limit the steps are the same; one below their number there are none.
        QCOMPARE(ListDiff::steps(ids(from), ids(to), total), std::optional(s));
        if (total > 0)
            QCOMPARE(ListDiff::steps(ids(from), ids(to), total - 1), std::nullopt);
    }

    void rowsFollowTheSourceAndKeepTheirIdentity()
    {
        World w;
        w.apps = appsOf(u"a b c d e"_qs);
        ShownAppsModel model(sourceOf(w));
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy count(&model, &ShownAppsModel::countChanged);
        model.refresh();
        QCOMPARE(model.count(), 5);
        QCOMPARE(count.size(), 1);
        const QPersistentModelIndex a(model.index(0));

        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        w.apps = appsOf(u"b c d a e"_qs);
        model.refresh();
        QCOMPARE(moved.size(), 1);
        QCOMPARE(reset.size(), 0);
        QCOMPARE(a.row(), 3);
        QCOMPARE(model.data(a, ShownAppsModel::BundleIdRole).toString(), u"a"_qs);
        QCOMPARE(count.size(), 1);

        w.apps = appsOf(u"x c a"_qs);
        model.refresh();
        QCOMPARE(model.apps(), w.apps);
        QCOMPARE(a.row(), 2);
        QCOMPARE(count.size(), 2);
    }

    void aNewSearchResetsTheRows()
    {
        World w;
        QStringList many;
        for (int i = 0; i < 60; ++i)
            many.append(u"a%1"_qs.arg(i));
        w.apps = appsOf(many.join(u' '));
        ShownAppsModel model(sourceOf(w));
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.refresh();
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        w.apps = appsOf(u"a3 a40"_qs);
        model.refresh();
        QCOMPARE(reset.size(), 1);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(model.apps(), w.apps);
    }

    void flagsChangeInPlace()
    {
        World w;
        w.apps = appsOf(u"a b c"_qs);
        ShownAppsModel model(sourceOf(w));
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.refresh();
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        w.pinned = {u"b"_qs};
        w.selected = u"c"_qs;
        model.refresh();
        QCOMPARE(changed.size(), 2);
        QVERIFY(model.data(model.index(1), ShownAppsModel::PinnedRole).toBool());
        QVERIFY(model.data(model.index(2), ShownAppsModel::SelectedRole).toBool());
        QVERIFY(!model.data(model.index(0), ShownAppsModel::SelectedRole).toBool());
        model.refresh();
        QCOMPARE(changed.size(), 2); // nothing changed, nothing told
    }

    // Icon sources are built once per app: a search that narrows and widens again builds none anew, while an app
    // that moved (another path, same identifier) gets a fresh one, also when it comes back from outside the list.
    void iconSourcesAreBuiltOncePerApp()
    {
        World w;
        QStringList built;
        ShownAppsModel::Source source = sourceOf(w);
        source.iconSource = [&built](const AppInfo &a) {
            built.append(a.bundleID);
            return u"icon:"_qs + a.path();
        };
        w.apps = appsOf(u"a b c"_qs);
        ShownAppsModel model(source);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.refresh();
        QCOMPARE(built, ids(u"a b c"_qs));
        w.apps = appsOf(u"b"_qs);
        model.refresh();
        w.apps = appsOf(u"a b c"_qs);
        model.refresh();
        QCOMPARE(built, ids(u"a b c"_qs));

        w.apps = appsOf(u"b"_qs);
        model.refresh();
        QList<AppInfo> moved = appsOf(u"a b c"_qs);
        moved[0].url = QUrl::fromLocalFile(u"/opt/apps/a.desktop"_qs);
        w.apps = moved;
        model.refresh();
        QCOMPARE(built, ids(u"a b c a"_qs));
        QCOMPARE(model.data(model.index(0), ShownAppsModel::IconSourceRole).toString(),
                 u"icon:/opt/apps/a.desktop"_qs);
        QCOMPARE(model.data(model.index(2), ShownAppsModel::IconSourceRole).toString(), u"icon:"_qs + moved[2].path());
    }

    void manyNoticesOneRecomputation()
    {
        World w;
        w.apps = appsOf(u"a b"_qs);
        ShownAppsModel model(sourceOf(w));
        model.scheduleRefresh();
        model.scheduleRefresh();
        model.scheduleRefresh();
        QCOMPARE(w.asked, 0);
        QCoreApplication::processEvents();
        QCOMPARE(w.asked, 1);
        QCOMPARE(model.count(), 2);
    }

    void duplicatesShowOnce()
    {
        World w;
        w.apps = appsOf(u"a b a"_qs);
        ShownAppsModel model(sourceOf(w));
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.refresh();
        QCOMPARE(model.count(), 2);
    }

    void activateLaunchesTheRowsApp()
    {
        World w;
        w.apps = appsOf(u"a b"_qs);
        ShownAppsModel model(sourceOf(w));
        model.refresh();
        model.activate(1);
        model.activate(2);
        model.activate(-1);
        QCOMPARE(w.launched, QList<QString>({u"b"_qs}));
    }
};

QTEST_GUILESS_MAIN(TestShownAppsModel)
#include "tst_shownappsmodel.moc"
