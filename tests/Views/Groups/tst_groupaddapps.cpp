#include "appgroup.h"
#include "applists.h"
#include "appstatefixture.h"
#include "groupaddappsmodel.h"
#include "groupmembership.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using AppLists::app;
using AppLists::ids;
using AppLists::idsOf;

// Adding apps to a group: the member list's growth, and the add sheet's model over a started state (the fakes, the
// virtual clock, a store in memory).
class TestGroupAddApps : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void batchAdd_data();
    void batchAdd();
    void init();
    void cleanup();
    void offersTheTargetableAppsThatAreNotHiddenByOwnName();
    void addAppendsInNameOrderNotClickOrder();
    void addCountsOnlyTheGrowth();
    void aCheckedAppNoLongerOfferedIsDroppedSilently();
    void withoutATargetGroupNothingHappens_data();
    void withoutATargetGroupNothingHappens();
    void batchButtonsSkipMembersAndKeepHiddenChecks();
    void buttonLabelCountsEveryCheck();
    void aMemberRowIgnoresClicks();
    void followsTheStoreAndTheState();

private:
    AppGroup *makeGroup(const QString &name, const QStringList &members, bool select = true);
    [[nodiscard]] int rowOf(const GroupAddAppsModel &model, const QString &id) const;

    std::unique_ptr<AppStateFixture> m_fixture;
    AppState *m_state = nullptr;
};

void TestGroupAddApps::batchAdd_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("adding");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("appends new ones once, in order") << ids(u"A B"_qs) << ids(u"C A C"_qs) << ids(u"A B C"_qs);
    QTest::newRow("nothing to add keeps repeats") << ids(u"A A"_qs) << QStringList{} << ids(u"A A"_qs);
    QTest::newRow("never reorders") << ids(u"B A"_qs) << ids(u"A B D"_qs) << ids(u"B A D"_qs);
    QTest::newRow("into an empty group") << QStringList{} << ids(u"Z A"_qs) << ids(u"Z A"_qs);
}

void TestGroupAddApps::batchAdd()
{
    QFETCH(QStringList, existing);
    QFETCH(QStringList, adding);
    QFETCH(QStringList, expected);
    QCOMPARE(GroupMembership::batchAdd(existing, adding), expected);
}

void TestGroupAddApps::init()
{
    m_fixture = std::make_unique<AppStateFixture>();
    m_state = &m_fixture->start();
    QVERIFY(m_fixture->state);
    m_fixture->finishScan({app(u"zoom"_qs, u"Zoom"_qs), app(u"alpha"_qs, u"Alpha"_qs), app(u"mail"_qs, u"Mail"_qs),
                           app(u"maps"_qs, u"Maps"_qs), app(u"mango"_qs, u"Mango"_qs), app(u"notes"_qs, u"Notes"_qs)});
    QCoreApplication::processEvents();
}

void TestGroupAddApps::cleanup()
{
    m_state = nullptr;
    m_fixture.reset();
}

AppGroup *TestGroupAddApps::makeGroup(const QString &name, const QStringList &members, bool select)
{
    StoreContext &context = m_state->container().mainContext();
    AppGroup *group = context.insert(std::make_unique<AppGroup>(name, 0, members));
    std::ignore = context.save();
    if (select)
        m_state->setSelectedGroupID(group->storeID());
    return group;
}

int TestGroupAddApps::rowOf(const GroupAddAppsModel &model, const QString &id) const
{
    return int(idsOf(model.shownApps()).indexOf(id));
}

void TestGroupAddApps::offersTheTargetableAppsThatAreNotHiddenByOwnName()
{
    makeGroup(u"工作"_qs, ids(u"notes"_qs));
    m_state->setAlias(u"Aardvark"_qs, app(u"zoom"_qs, u"Zoom"_qs)); // shown first by alias, sorted last by name
    m_state->hideApp(app(u"notes"_qs, u"Notes"_qs));               // a hidden member
    QCoreApplication::processEvents();
    GroupAddAppsModel model(*m_state);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(idsOf(model.offeredApps()), ids(u"alpha mail mango maps zoom"_qs));
    QCOMPARE(model.index(4).data(GroupAddAppsModel::NameRole).toString(), u"Aardvark"_qs);
    QCOMPARE(model.title(), u"添加应用到「工作」"_qs);

    model.setSearch(u"aard"_qs);
    QCOMPARE(idsOf(model.shownApps()), ids(u"zoom"_qs));
    model.setSearch(u"   "_qs);
    QCOMPARE(idsOf(model.shownApps()), ids(u"alpha mail mango maps zoom"_qs));
}

void TestGroupAddApps::addAppendsInNameOrderNotClickOrder()
{
    AppGroup *group = makeGroup(u"工作"_qs, ids(u"mail"_qs));
    GroupAddAppsModel model(*m_state);
    QSignalSpy finished(&model, &GroupAddAppsModel::finished);
    model.toggle(rowOf(model, u"zoom"_qs));
    model.toggle(rowOf(model, u"alpha"_qs));
    model.add();
    QCOMPARE(group->bundleIDs(), ids(u"mail alpha zoom"_qs));
    QVERIFY(!m_state->container().mainContext().hasChanges()); // saved
    QCOMPARE(m_state->toast().message(), u"已添加 2 个应用到「工作」"_qs);
    QCOMPARE(finished.size(), 1);
}

void TestGroupAddApps::addCountsOnlyTheGrowth()
{
    AppGroup *group = makeGroup(u"工作"_qs, ids(u"mail mail"_qs));
    GroupAddAppsModel model(*m_state);
    model.toggle(rowOf(model, u"alpha"_qs));
    model.toggle(rowOf(model, u"maps"_qs));
    // Maps joins the group elsewhere while it is checked here.
    group->setBundleIDs(ids(u"mail mail maps"_qs));
    model.add();
    QCOMPARE(group->bundleIDs(), ids(u"mail mail maps alpha"_qs));
    QCOMPARE(m_state->toast().message(), u"已添加 1 个应用到「工作」"_qs);
}

void TestGroupAddApps::aCheckedAppNoLongerOfferedIsDroppedSilently()
{
    AppGroup *group = makeGroup(u"工作"_qs, {});
    GroupAddAppsModel model(*m_state);
    model.toggle(rowOf(model, u"alpha"_qs));
    model.toggle(rowOf(model, u"mango"_qs));
    m_state->hideApp(app(u"mango"_qs, u"Mango"_qs)); // no longer offered, as after a scan that lost it
    QCOMPARE(model.addButtonLabel(), u"添加 2 个应用"_qs);
    model.add();
    QCOMPARE(group->bundleIDs(), ids(u"alpha"_qs));
    QCOMPARE(m_state->toast().message(), u"已添加 1 个应用到「工作」"_qs);
}

void TestGroupAddApps::withoutATargetGroupNothingHappens_data()
{
    QTest::addColumn<bool>("staleSelection"); // else no tab selected
    QTest::newRow("no tab") << false;
    QTest::newRow("a deleted group") << true;
}

void TestGroupAddApps::withoutATargetGroupNothingHappens()
{
    QFETCH(bool, staleSelection);
    if (staleSelection) {
        AppGroup *group = makeGroup(u"旧"_qs, ids(u"alpha"_qs));
        m_state->container().mainContext().remove(group);
        std::ignore = m_state->container().mainContext().save();
    }
    GroupAddAppsModel model(*m_state);
    QSignalSpy finished(&model, &GroupAddAppsModel::finished);
    QCOMPARE(model.title(), u"添加应用到「分组」"_qs);
    model.selectAllShown(); // every shown app counts as a non-member
    QCOMPARE(model.selection().size(), 6);
    QVERIFY(model.canAdd());
    model.add();
    QCOMPARE(finished.size(), 0);
    QVERIFY(!m_state->container().mainContext().hasChanges());
    QCOMPARE(m_state->toast().message(), QString());
    QVERIFY(!m_state->toast().isShown());
}

void TestGroupAddApps::batchButtonsSkipMembersAndKeepHiddenChecks()
{
    makeGroup(u"工作"_qs, ids(u"maps"_qs));
    GroupAddAppsModel model(*m_state);
    model.toggle(rowOf(model, u"zoom"_qs));
    model.setSearch(u"ma"_qs); // Mail, Mango, Maps; Maps is a member
    QCOMPARE(idsOf(model.shownApps()), ids(u"mail mango maps"_qs));
    model.selectAllShown();
    QCOMPARE(model.selection(), (QSet<QString>{u"zoom"_qs, u"mail"_qs, u"mango"_qs}));
    QCOMPARE(model.index(rowOf(model, u"maps"_qs)).data(GroupAddAppsModel::AccessibleValueRole).toString(),
             u"已在分组"_qs);
    QCOMPARE(model.index(rowOf(model, u"mail"_qs)).data(GroupAddAppsModel::AccessibleValueRole).toString(),
             u"已勾选"_qs);
    model.clearShown();
    QCOMPARE(model.selection(), QSet<QString>{u"zoom"_qs});
    QCOMPARE(model.index(rowOf(model, u"mail"_qs)).data(GroupAddAppsModel::AccessibleValueRole).toString(),
             u"未勾选"_qs);
}

void TestGroupAddApps::buttonLabelCountsEveryCheck()
{
    makeGroup(u"工作"_qs, {});
    GroupAddAppsModel model(*m_state);
    QCOMPARE(model.addButtonLabel(), u"添加应用"_qs);
    QVERIFY(!model.canAdd());
    model.toggle(rowOf(model, u"alpha"_qs));
    model.toggle(rowOf(model, u"notes"_qs));
    model.toggle(rowOf(model, u"zoom"_qs));
    model.setSearch(u"zo"_qs);
    QCOMPARE(model.count(), 1);
    QCOMPARE(model.addButtonLabel(), u"添加 3 个应用"_qs);
    QVERIFY(model.canAdd());
}

void TestGroupAddApps::aMemberRowIgnoresClicks()
{
    makeGroup(u"工作"_qs, ids(u"alpha"_qs));
    GroupAddAppsModel model(*m_state);
    model.toggle(rowOf(model, u"alpha"_qs));
    QVERIFY(model.selection().isEmpty());
    QVERIFY(model.index(rowOf(model, u"alpha"_qs)).data(GroupAddAppsModel::MemberRole).toBool());
}

void TestGroupAddApps::followsTheStoreAndTheState()
{
    AppGroup *group = makeGroup(u"工作"_qs, {});
    GroupAddAppsModel model(*m_state);
    QSignalSpy title(&model, &GroupAddAppsModel::titleChanged);
    group->setName(u"娱乐"_qs);
    group->setBundleIDs(ids(u"notes"_qs));
    QTRY_COMPARE(model.title(), u"添加应用到「娱乐」"_qs);
    QCOMPARE(title.size(), 1);
    QVERIFY(model.index(rowOf(model, u"notes"_qs)).data(GroupAddAppsModel::MemberRole).toBool());

    m_state->setAlias(u"笔记"_qs, app(u"notes"_qs, u"Notes"_qs));
    QTRY_COMPARE(model.index(rowOf(model, u"notes"_qs)).data(GroupAddAppsModel::NameRole).toString(), u"笔记"_qs);
    model.setSearch(u"笔"_qs);
    QCOMPARE(idsOf(model.shownApps()), ids(u"notes"_qs));
}

QTEST_MAIN(TestGroupAddApps)
#include "tst_groupaddapps.moc"
