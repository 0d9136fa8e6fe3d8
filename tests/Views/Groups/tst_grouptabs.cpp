#include "groupsfixture.h"
#include "grouptabreorder.h"
#include "grouptabsmodel.h"
#include "restrictionrule.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <limits>

using AppLists::ids;

// The group tab strip's rules: where a dragged tab lands, the drop state machine, selection, creating, naming and
// deleting groups, over the state object and a store in memory.
class TestGroupTabs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void insertionIndex_data();
    void insertionIndex();
    void side_data();
    void side();
    void newSortIndex_data();
    void newSortIndex();

    void dropMoves_data();
    void dropMoves();
    void renumbersGapsAndRepeats();
    void dropsThatChangeNothing_data();
    void dropsThatChangeNothing();
    void markerFollowsEntriesAndExits();
    void markerKeepsEntrySideDropUsesDropPoint();
    void dragEndedElsewhereLeavesNoState();
    void sharedRefIDDoesNotFail();

    void selection();
    void createNameCancelDelete();
    void namingTexts_data();
    void namingTexts();
    void newGroupIndex_data();
    void newGroupIndex();
    void deleting();
    void rowsFollowTheStore();
};

void TestGroupTabs::insertionIndex_data()
{
    QTest::addColumn<QStringList>("ordered");
    QTest::addColumn<QString>("moving");
    QTest::addColumn<QString>("relativeTo");
    QTest::addColumn<bool>("after");
    QTest::addColumn<int>("expected"); // -1: none
    QTest::newRow("C before A") << ids("A B C") << "C" << "A" << false << 0;
    QTest::newRow("A after C") << ids("A B C") << "A" << "C" << true << 2;
    QTest::newRow("A before C") << ids("A B C") << "A" << "C" << false << 1;
    QTest::newRow("after the last") << ids("A B C") << "B" << "C" << true << 2;
    QTest::newRow("copies of the moving one go") << ids("A B A C") << "A" << "C" << false << 1;
    QTest::newRow("first copy of the target") << ids("A B C B") << "C" << "B" << true << 2;
    QTest::newRow("self") << ids("A B C") << "B" << "B" << true << -1;
    QTest::newRow("moving missing") << ids("A B C") << "X" << "A" << false << -1;
    QTest::newRow("target missing") << ids("A B C") << "A" << "X" << false << -1;
    QTest::newRow("empty") << QStringList{} << "A" << "B" << false << -1;
}

void TestGroupTabs::insertionIndex()
{
    QFETCH(QStringList, ordered);
    QFETCH(QString, moving);
    QFETCH(QString, relativeTo);
    QFETCH(bool, after);
    QFETCH(int, expected);
    const auto got = GroupTabReorder::insertionIndex(ordered, moving, relativeTo, after);
    QCOMPARE(got.has_value() ? int(*got) : -1, expected);
}

void TestGroupTabs::side_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("width");
    QTest::addColumn<bool>("after");
    QTest::newRow("leading half") << 10.0 << 60.0 << false;
    QTest::newRow("exact middle means before") << 30.0 << 60.0 << false;
    QTest::newRow("just past the middle") << 30.01 << 60.0 << true;
    QTest::newRow("trailing edge") << 60.0 << 60.0 << true;
    QTest::newRow("unmeasured tab means before") << 50.0 << 0.0 << false;
    QTest::newRow("negative width means before") << 50.0 << -4.0 << false;
}

void TestGroupTabs::side()
{
    QFETCH(double, x);
    QFETCH(double, width);
    QFETCH(bool, after);
    QCOMPARE(GroupTabReorder::isAfter(x, width), after);
}

void TestGroupTabs::newSortIndex_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<int>("expected");
    constexpr int top = std::numeric_limits<int>::max();
    QTest::newRow("first group") << QList<int>{} << 0;
    QTest::newRow("after a deletion: above the highest, not the count") << QList<int>{0, 2} << 3;
    QTest::newRow("imported out of order") << QList<int>{7, -3, 2} << 8;
    QTest::newRow("at the largest int no overflow") << QList<int>{0, top} << top;
    QTest::newRow("negative only") << QList<int>{-5} << -4;
}

void TestGroupTabs::newSortIndex()
{
    QFETCH(QList<int>, indexes);
    QFETCH(int, expected);
    QCOMPARE(GroupTabReorder::newSortIndex(indexes), expected);
}

// Three groups A, B, C at 0, 1, 2; tabs 60 wide.
void TestGroupTabs::dropMoves_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("onto");
    QTest::addColumn<double>("x");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("C on A's leading half") << 2 << 0 << 10.0 << ids("C A B");
    QTest::newRow("A on C's trailing half") << 0 << 2 << 50.0 << ids("B C A");
    QTest::newRow("A on C's leading half") << 0 << 2 << 10.0 << ids("B A C");
}

void TestGroupTabs::dropMoves()
{
    QFETCH(int, from);
    QFETCH(int, onto);
    QFETCH(double, x);
    QFETCH(QStringList, expected);
    GroupsFixture s;
    s.addGroup(u"A"_qs, 0);
    s.addGroup(u"B"_qs, 1);
    s.addGroup(u"C"_qs, 2);
    GroupTabsModel tabs(*s.state, s.store());
    tabs.dragStarted(from);
    tabs.dragEntered(onto, x, 60);
    QVERIFY(tabs.dropped(onto, x, 60));
    tabs.dragEnded();
    QCOMPARE(s.names(), expected);
    QCOMPARE(s.sortIndexes(), (QList<int>{0, 1, 2}));
    QVERIFY(!s.store().hasChanges());
    GroupsFixture::settle();
    QStringList rows;
    for (int i = 0; i < tabs.rowCount(); ++i)
        rows.append(tabs.index(i).data(GroupTabsModel::NameRole).toString());
    QCOMPARE(rows, expected);
}

void TestGroupTabs::renumbersGapsAndRepeats()
{
    GroupsFixture s;
    AppGroup *a = s.addGroup(u"A"_qs, 0);
    AppGroup *b = s.addGroup(u"B"_qs, 2);
    AppGroup *c = s.addGroup(u"C"_qs, 2);
    GroupTabsModel tabs(*s.state, s.store());
    tabs.moveGroup(*c, *a, true); // C after A: A C B
    QCOMPARE(s.names(), ids("A C B"));
    QCOMPARE((QList<int>{a->sortIndex(), c->sortIndex(), b->sortIndex()}), (QList<int>{0, 1, 2}));
}

void TestGroupTabs::dropsThatChangeNothing_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("no drag") << u"no drag"_qs;
    QTest::newRow("a tab on itself") << u"self"_qs;
    QTest::newRow("dragged group deleted meanwhile") << u"deleted"_qs;
    QTest::newRow("target deleted meanwhile") << u"target deleted"_qs;
}

void TestGroupTabs::dropsThatChangeNothing()
{
    QFETCH(QString, situation);
    GroupsFixture s;
    s.addGroup(u"A"_qs, 0);
    AppGroup *b = s.addGroup(u"B"_qs, 5);
    AppGroup *c = s.addGroup(u"C"_qs, 9);
    GroupTabsModel tabs(*s.state, s.store());
    int onto = 2;
    if (situation == u"self") {
        tabs.dragStarted(2);
    } else if (situation == u"deleted") {
        tabs.dragStarted(1);
        s.store().remove(b);
        std::ignore = s.store().save();
        onto = 0;
    } else if (situation == u"target deleted") {
        tabs.dragStarted(0);
        s.store().remove(c);
        std::ignore = s.store().save();
    }
    tabs.dragEntered(onto, 50, 60);
    QVERIFY(!tabs.dropped(onto, 50, 60));
    QVERIFY(!tabs.dropSlot());
    QVERIFY(!tabs.draggingGroupID());
    QVERIFY(!s.store().hasChanges());
    const QList<int> left = s.sortIndexes();
    QVERIFY(left == (QList<int>{0, 5, 9}) || left == (QList<int>{0, 9}) || left == (QList<int>{0, 5}));
}

void TestGroupTabs::markerFollowsEntriesAndExits()
{
    GroupsFixture s;
    s.addGroup(u"A"_qs, 0);
    s.addGroup(u"B"_qs, 1);
    s.addGroup(u"C"_qs, 2);
    GroupTabsModel tabs(*s.state, s.store());
    QAbstractItemModelTester tester(&tabs);
    const auto marker = [&](int row) {
        const QModelIndex i = tabs.index(row);
        if (!i.data(GroupTabsModel::MarkerShownRole).toBool())
            return u"-"_qs;
        return i.data(GroupTabsModel::MarkerAfterRole).toBool() ? u"after"_qs : u"before"_qs;
    };
    tabs.dragStarted(0);
    tabs.dragEntered(1, 40, 60);
    QCOMPARE(marker(1), u"after"_qs);
    tabs.dragEntered(2, 5, 60); // entered C before B's exit arrived
    tabs.dragExited(1);         // B's exit keeps C's marker
    QCOMPARE(marker(1), u"-"_qs);
    QCOMPARE(marker(2), u"before"_qs);
    QCOMPARE(tabs.dropSlot(), std::optional(GroupTabsModel::DropSlot{tabs.index(2).data(GroupTabsModel::RefIDRole).toString(), false}));
    tabs.dragExited(2);
    QCOMPARE(marker(2), u"-"_qs);
    QVERIFY(!tabs.dropSlot());
    QVERIFY(tabs.draggingGroupID()); // still dragging
    tabs.dragEntered(1, 10, 0); // not measured: before
    QCOMPARE(marker(1), u"before"_qs);
    tabs.dragStarted(2); // a new drag clears the slot
    QCOMPARE(marker(1), u"-"_qs);
}

void TestGroupTabs::markerKeepsEntrySideDropUsesDropPoint()
{
    GroupsFixture s;
    s.addGroup(u"A"_qs, 0);
    s.addGroup(u"B"_qs, 1);
    s.addGroup(u"C"_qs, 2);
    GroupTabsModel tabs(*s.state, s.store());
    tabs.dragStarted(0);
    tabs.dragEntered(2, 5, 60); // entered at C's leading half
    QVERIFY(!tabs.dropSlot()->after);
    QVERIFY(tabs.dropped(2, 55, 60)); // dropped at the trailing half
    QCOMPARE(s.names(), ids("B C A"));
}

void TestGroupTabs::dragEndedElsewhereLeavesNoState()
{
    GroupsFixture s;
    s.addGroup(u"A"_qs, 0);
    s.addGroup(u"B"_qs, 1);
    s.addGroup(u"C"_qs, 2);
    GroupTabsModel tabs(*s.state, s.store());
    tabs.dragStarted(0);
    tabs.dragEntered(1, 5, 60);
    tabs.dragEnded(); // let go outside the strip
    QVERIFY(!tabs.draggingGroupID());
    QVERIFY(!tabs.dropSlot());
    // A later drop on a tab without a drag of ours moves nothing.
    QVERIFY(!tabs.dropped(2, 50, 60));
    QCOMPARE(s.names(), ids("A B C"));
    QVERIFY(!s.store().hasChanges());
}

void TestGroupTabs::sharedRefIDDoesNotFail()
{
    GroupsFixture s;
    AppGroup *a = s.addGroup(u"A"_qs, 0);
    AppGroup *b = s.addGroup(u"B"_qs, 1);
    AppGroup *c = s.addGroup(u"C"_qs, 2);
    b->setStableID(u"SAME"_qs);
    c->setStableID(u"SAME"_qs);
    std::ignore = s.store().save();
    GroupTabsModel tabs(*s.state, s.store());
    tabs.moveGroup(*a, *c, true); // after the first copy of the refID; the first group holding it takes the places
    QCOMPARE(a->sortIndex(), 1);
    QCOMPARE(b->sortIndex(), 2);
    QCOMPARE(c->sortIndex(), 2);
    tabs.moveGroup(*b, *a, false);
    QVERIFY(!s.store().hasChanges());
}

void TestGroupTabs::selection()
{
    GroupsFixture s;
    AppGroup *work = s.addGroup(u"工作"_qs, 0);
    s.addGroup(u"娱乐"_qs, 1);
    GroupTabsModel tabs(*s.state, s.store());
    AppState &st = *s.state;
    QVERIFY(tabs.allAppsSelected());

    st.setSearchText(u"计算"_qs);
    const int token = st.pagerResetToken();
    tabs.selectGroup(0);
    QCOMPARE(st.selectedGroupID(), std::optional(work->storeID()));
    QCOMPARE(st.searchText(), u"计算"_qs);
    QCOMPARE(st.pagerResetToken(), token);
    QVERIFY(tabs.index(0).data(GroupTabsModel::SelectedRole).toBool());
    QVERIFY(!tabs.allAppsSelected());

    tabs.selectAll();
    QVERIFY(!st.selectedGroupID());
    QCOMPARE(st.searchText(), u"计算"_qs);
    QCOMPARE(st.pagerResetToken(), token + 1);
    QVERIFY(tabs.allAppsSelected());

    tabs.selectGroup(1);
    st.setShowHiddenApps(true);
    QVERIFY(tabs.hiddenMode());
    QVERIFY(!tabs.allAppsSelected());
    QVERIFY(!tabs.index(1).data(GroupTabsModel::SelectedRole).toBool()); // hidden mode selects no group tab
    tabs.leaveHiddenMode();
    QCOMPARE(st.searchText(), QString());
    QVERIFY(!st.selectedGroupID());
    QVERIFY(!st.showHiddenApps());
    QCOMPARE(st.pagerResetToken(), token + 2);
    QVERIFY(tabs.allAppsSelected());
}

void TestGroupTabs::createNameCancelDelete()
{
    GroupsFixture s;
    GroupTabsModel tabs(*s.state, s.store());
    QSignalSpy naming(&tabs, &GroupTabsModel::namingChanged);
    tabs.addGroup();
    QVERIFY(tabs.naming());
    QCOMPARE(tabs.newName(), u"新分组"_qs);
    QVERIFY(!s.store().hasChanges()); // inserted and saved at once
    QVERIFY(!s.state->selectedGroupID());
    tabs.setNewName(u"学习"_qs);
    tabs.cancelNaming();
    QVERIFY(!tabs.naming());
    QCOMPARE(s.names(), QStringList{u"新分组"_qs});

    GroupsFixture::settle();
    tabs.renameGroup(0);
    QCOMPARE(tabs.newName(), u"新分组"_qs);
    tabs.setNewName(u"学习"_qs);
    tabs.confirmNaming();
    QCOMPARE(s.names(), QStringList{u"学习"_qs});
    QVERIFY(!s.store().hasChanges());
    QCOMPARE(naming.count(), 4);
}

void TestGroupTabs::namingTexts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty keeps the old name") << QString() << u"工作"_qs;
    QTest::newRow("two blanks are stored") << u"  "_qs << u"  "_qs;
    QTest::newRow("not trimmed") << u" 读书 "_qs << u" 读书 "_qs;
}

void TestGroupTabs::namingTexts()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    GroupsFixture s;
    s.addGroup(u"工作"_qs, 0);
    GroupTabsModel tabs(*s.state, s.store());
    tabs.renameGroup(0);
    tabs.setNewName(typed);
    tabs.confirmNaming();
    QCOMPARE(s.names(), QStringList{stored});
}

void TestGroupTabs::newGroupIndex_data()
{
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<int>("expected");
    QTest::newRow("first") << QList<int>{} << 0;
    QTest::newRow("0 and 2 after a deletion gives 3") << QList<int>{0, 2} << 3;
    QTest::newRow("at the largest int") << QList<int>{std::numeric_limits<int>::max()}
                                        << std::numeric_limits<int>::max();
}

void TestGroupTabs::newGroupIndex()
{
    QFETCH(QList<int>, existing);
    QFETCH(int, expected);
    GroupsFixture s;
    for (int i : existing)
        s.addGroup(u"组"_qs + QString::number(i), i);
    GroupTabsModel tabs(*s.state, s.store());
    tabs.addGroup();
    QCOMPARE(s.state->groups().constLast()->name(), u"新分组"_qs);
    QCOMPARE(s.state->groups().constLast()->sortIndex(), expected);
}

void TestGroupTabs::deleting()
{
    GroupsFixture s;
    AppGroup *work = s.addGroup(u"工作"_qs, 0);
    AppGroup *fun = s.addGroup(u"娱乐"_qs, 1);
    AppGroup *study = s.addGroup(u"学习"_qs, 2);
    auto *rule = s.store().insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, fun->refID(), 0, 60,
                                                                    QList<int>{1}, true, std::nullopt));
    std::ignore = s.store().save();
    const QString funRef = fun->refID();
    GroupTabsModel tabs(*s.state, s.store());

    s.state->setSelectedGroupID(work->storeID());
    tabs.deleteGroup(1); // another group: the selection stays
    QCOMPARE(s.state->selectedGroupID(), std::optional(work->storeID()));
    QCOMPARE(rule->targetID(), funRef);
    QCOMPARE(s.names(), (QStringList{u"工作"_qs, u"学习"_qs}));
    QCOMPARE(study->sortIndex(), 2); // no renumbering
    GroupsFixture::settle();

    tabs.deleteGroup(0); // the selected one: all apps again
    QVERIFY(!s.state->selectedGroupID());
    QVERIFY(!s.store().hasChanges());

    // A naming sheet left open on a deleted group writes nothing.
    GroupsFixture::settle();
    tabs.renameGroup(0);
    s.store().remove(study);
    std::ignore = s.store().save();
    tabs.setNewName(u"读书"_qs);
    tabs.confirmNaming();
    QVERIFY(!tabs.naming());
    QCOMPARE(study->name(), u"学习"_qs);
}

void TestGroupTabs::rowsFollowTheStore()
{
    GroupsFixture s;
    GroupTabsModel tabs(*s.state, s.store());
    QAbstractItemModelTester tester(&tabs);
    QSignalSpy count(&tabs, &GroupTabsModel::countChanged);
    s.addGroup(u"工作"_qs, 3);
    AppGroup *b = s.addGroup(u"娱乐"_qs, 1);
    GroupsFixture::settle();
    QCOMPARE(tabs.rowCount(), 2);
    QCOMPARE(tabs.index(0).data(GroupTabsModel::NameRole).toString(), u"娱乐"_qs);
    QCOMPARE(count.count(), 1); // one notice for the turn
    b->setName(u"游戏"_qs);
    std::ignore = s.store().save();
    GroupsFixture::settle();
    QCOMPARE(tabs.index(0).data(GroupTabsModel::NameRole).toString(), u"游戏"_qs);
}

QTEST_GUILESS_MAIN(TestGroupTabs)
#include "tst_grouptabs.moc"
