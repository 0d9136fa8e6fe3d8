#include "adhocblock.h"
#include "appgroup.h"
#include "appmeta.h"
#include "persistencecontroller.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QRegularExpression>
#include <QTest>

namespace {

const Instant now = Instants::fromSecondsSince1970(1772452800.25);

bool isCanonicalUpperUuid(const QString &text)
{
    static const QRegularExpression pattern(u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_qs);
    return pattern.match(text).hasMatch();
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void creationValues();
    void makingARecordDoesNotInsertIt();
    void typedAccessors_data();
    void typedAccessors();
    void kindsFromRaw_data();
    void kindsFromRaw();
    void refID_data();
    void refID();
    void snapshot_data();
    void snapshot();
};

void TestRecords::creationValues()
{
    const AppMeta meta(u"com.example.a"_qs, now);
    QCOMPARE(meta.bundleID(), u"com.example.a"_qs);
    QCOMPARE(meta.isPinned(), false);
    QCOMPARE(meta.launchCount(), 0);
    QCOMPARE(meta.lastLaunchedAt(), std::nullopt);
    QCOMPARE(meta.firstSeenAt(), now);
    QCOMPARE(meta.missingSince(), std::nullopt);
    QCOMPARE(meta.sortIndex(), std::nullopt);
    QCOMPARE(meta.isHidden(), std::optional(false)); // stored as false, not absent
    QCOMPARE(meta.aliasName(), std::nullopt);

    const QStringList members{u"b"_qs, u"a"_qs, u"b"_qs};
    const AppGroup first(u"工作"_qs, 3, members);
    const AppGroup second(u"工作"_qs, 3, members);
    QCOMPARE(first.name(), u"工作"_qs);
    QCOMPARE(first.sortIndex(), 3);
    QCOMPARE(first.bundleIDs(), members);
    QVERIFY(first.stableID());
    QVERIFY2(isCanonicalUpperUuid(*first.stableID()), qPrintable(*first.stableID()));
    QVERIFY(first.stableID() != second.stableID());

    const auto once = Instants::fromSecondsSince1970(1772409600);
    const RestrictionRule rule(RestrictionTarget::group, u"G"_qs, 1320, 420, {7, 1, 1}, true, once);
    QCOMPARE(rule.targetKindRaw(), 1);
    QCOMPARE(rule.targetID(), u"G"_qs);
    QCOMPARE(rule.startMinute(), 1320);
    QCOMPARE(rule.endMinute(), 420);
    QCOMPARE(rule.weekdays(), (QList<int>{7, 1, 1}));
    QCOMPARE(rule.isEnabled(), true);
    QCOMPARE(rule.pausedUntil(), std::nullopt);
    QCOMPARE(rule.onceDate(), std::optional(once));

    const QuitPlan plan(QuitPlanTarget::apps, u"G"_qs, {u"b"_qs, u"a"_qs}, 1380, {2, 2}, QuitPlanBlockMode::until,
                        30, 420, false);
    QCOMPARE(plan.targetKindRaw(), 1);
    QCOMPARE(plan.groupID(), u"G"_qs);
    QCOMPARE(plan.bundleIDs(), (QStringList{u"b"_qs, u"a"_qs}));
    QCOMPARE(plan.quitMinute(), 1380);
    QCOMPARE(plan.weekdays(), (QList<int>{2, 2}));
    QCOMPARE(plan.blockModeRaw(), 2);
    QCOMPARE(plan.blockMinutes(), 30);
    QCOMPARE(plan.blockUntilMinute(), 420);
    QCOMPARE(plan.isEnabled(), false);
    QCOMPARE(plan.pausedUntil(), std::nullopt);
    QCOMPARE(QuitPlan(QuitPlanTarget::group, {}, {}, 0, {}, QuitPlanBlockMode::minutes, 0, 0, true).targetKindRaw(), 0);

    const AdHocBlock block(u"com.example.a"_qs, now);
    QCOMPARE(block.bundleID(), u"com.example.a"_qs);
    QCOMPARE(block.until(), now);
}

void TestRecords::makingARecordDoesNotInsertIt()
{
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    QVERIFY(opened.container);
    StoreContext &context = opened.container->mainContext();
    AppGroup group(u"g"_qs, 0, {});
    group.setName(u"renamed"_qs); // a detached record takes writes
    QCOMPARE(group.name(), u"renamed"_qs);
    QVERIFY(!group.storeID().isValid());
    QVERIFY(!group.isLive());
    QVERIFY(!group.isDeleted());
    QCOMPARE(group.context(), nullptr);
    QCOMPARE(context.count<AppGroup>(), 0);
    QVERIFY(!context.hasChanges());
}

void TestRecords::typedAccessors_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<RestrictionTarget>("ruleKind");
    QTest::addColumn<QuitPlanTarget>("planKind");
    QTest::addColumn<QuitPlanBlockMode>("blockMode");
    QTest::newRow("raw 0") << 0 << RestrictionTarget::app << QuitPlanTarget::group << QuitPlanBlockMode::none;
    QTest::newRow("raw 1") << 1 << RestrictionTarget::group << QuitPlanTarget::apps << QuitPlanBlockMode::minutes;
    QTest::newRow("raw 2") << 2 << RestrictionTarget::app << QuitPlanTarget::apps << QuitPlanBlockMode::until;
    QTest::newRow("raw 7") << 7 << RestrictionTarget::app << QuitPlanTarget::apps << QuitPlanBlockMode::none;
    QTest::newRow("raw 9") << 9 << RestrictionTarget::app << QuitPlanTarget::apps << QuitPlanBlockMode::none;
    QTest::newRow("raw -1") << -1 << RestrictionTarget::app << QuitPlanTarget::apps << QuitPlanBlockMode::none;
}

void TestRecords::typedAccessors()
{
    QFETCH(int, raw);
    QFETCH(RestrictionTarget, ruleKind);
    QFETCH(QuitPlanTarget, planKind);
    QFETCH(QuitPlanBlockMode, blockMode);
    RestrictionRule rule(RestrictionTarget::app, {}, 0, 0, {}, true, std::nullopt);
    rule.setTargetKindRaw(raw);
    QuitPlan plan(QuitPlanTarget::group, {}, {}, 0, {}, QuitPlanBlockMode::none, 0, 0, true);
    plan.setTargetKindRaw(raw);
    plan.setBlockModeRaw(raw);
    QCOMPARE(rule.targetKind(), ruleKind);
    QCOMPARE(plan.targetKind(), planKind);
    QCOMPARE(plan.blockMode(), blockMode);
    // Reading maps; the stored numbers stay as they were.
    QCOMPARE(rule.targetKindRaw(), raw);
    QCOMPARE(plan.targetKindRaw(), raw);
    QCOMPARE(plan.blockModeRaw(), raw);
}

void TestRecords::kindsFromRaw_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<std::optional<RestrictionTarget>>("ruleKind");
    QTest::addColumn<std::optional<QuitPlanTarget>>("planKind");
    QTest::addColumn<std::optional<QuitPlanBlockMode>>("blockMode");
    QTest::newRow("raw 0") << 0 << std::optional(RestrictionTarget::app) << std::optional(QuitPlanTarget::group)
                           << std::optional(QuitPlanBlockMode::none);
    QTest::newRow("raw 1") << 1 << std::optional(RestrictionTarget::group) << std::optional(QuitPlanTarget::apps)
                           << std::optional(QuitPlanBlockMode::minutes);
    QTest::newRow("raw 2") << 2 << std::optional<RestrictionTarget>() << std::optional<QuitPlanTarget>()
                           << std::optional(QuitPlanBlockMode::until);
    QTest::newRow("raw 3") << 3 << std::optional<RestrictionTarget>() << std::optional<QuitPlanTarget>()
                           << std::optional<QuitPlanBlockMode>();
    QTest::newRow("raw -1") << -1 << std::optional<RestrictionTarget>() << std::optional<QuitPlanTarget>()
                            << std::optional<QuitPlanBlockMode>();
}

void TestRecords::kindsFromRaw()
{
    QFETCH(int, raw);
    QFETCH(std::optional<RestrictionTarget>, ruleKind);
    QFETCH(std::optional<QuitPlanTarget>, planKind);
    QFETCH(std::optional<QuitPlanBlockMode>, blockMode);
    QCOMPARE(restrictionTargetFromRaw(raw), ruleKind);
    QCOMPARE(quitPlanTargetFromRaw(raw), planKind);
    QCOMPARE(quitPlanBlockModeFromRaw(raw), blockMode);
    if (ruleKind)
        QCOMPARE(rawValue(*ruleKind), raw);
    if (planKind)
        QCOMPARE(rawValue(*planKind), raw);
    if (blockMode)
        QCOMPARE(rawValue(*blockMode), raw);
}

void TestRecords::refID_data()
{
    QTest::addColumn<bool>("hasStableID");
    QTest::addColumn<bool>("inserted");
    QTest::newRow("stable id, detached") << true << false;
    QTest::newRow("stable id, inserted") << true << true;
    QTest::newRow("no stable id, detached") << false << false;
    QTest::newRow("no stable id, inserted") << false << true;
}

void TestRecords::refID()
{
    QFETCH(bool, hasStableID);
    QFETCH(bool, inserted);
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    QVERIFY(opened.container);
    StoreContext &context = opened.container->mainContext();
    context.insert(std::make_unique<AppGroup>(u"first"_qs, 0, QStringList{})); // so the numbers do not start at 1

    auto owned = std::make_unique<AppGroup>(u"g"_qs, 1, QStringList{});
    if (!hasStableID)
        owned->setStableID(std::nullopt);
    AppGroup *group = owned.get();
    if (inserted)
        QCOMPARE(context.insert(std::move(owned)), group);

    const QString expected = hasStableID ? *group->stableID()
                             : inserted  ? u"x-tarnwick://AppGroup/p2"_qs
                                         : QString();
    QCOMPARE(group->refID(), expected);
    if (inserted) {
        QCOMPARE(group->storeID().text(), u"x-tarnwick://AppGroup/p2"_qs);
        context.remove(group);
        QCOMPARE(group->refID(), expected); // the same until it is gone, and after
    }
}

void TestRecords::snapshot_data()
{
    QTest::addColumn<std::optional<bool>>("isHidden");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("absent hidden flag") << std::optional<bool>() << false;
    QTest::newRow("hidden") << std::optional(true) << true;
    QTest::newRow("shown") << std::optional(false) << false;
}

void TestRecords::snapshot()
{
    QFETCH(std::optional<bool>, isHidden);
    QFETCH(bool, hidden);
    AppMeta meta(u"a"_qs, now);
    meta.setIsHidden(isHidden);
    meta.setIsPinned(true);
    meta.setSortIndex(4);
    meta.setAliasName(u"别名"_qs);
    meta.setLaunchCount(9); // not part of the snapshot
    QCOMPARE(meta.snapshot(), (AppMetaSnapshot{true, now, 4, hidden, u"别名"_qs}));

    const AppMetaSnapshot none; // what an app without a record counts as
    QCOMPARE(none.isPinned, false);
    QCOMPARE(none.sortIndex, std::nullopt);
    QCOMPARE(none.isHidden, false);
    QCOMPARE(none.aliasName, std::nullopt);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
