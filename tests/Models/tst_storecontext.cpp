#include "adhocblock.h"
#include "appgroup.h"
#include "appmeta.h"
#include "persistencecontroller.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

namespace {

const Instant now = Instants::fromSecondsSince1970(1772452800.5);

// A fresh store held in memory.
struct Store
{
    Store()
        : opened(PersistenceController::makeContainer(true, [] { return now; }))
    {
    }
    StoreContext &context() { return opened.container->mainContext(); }

    AppGroup *group(const QString &name, int sortIndex = 0)
    {
        return context().insert(std::make_unique<AppGroup>(name, sortIndex, QStringList{}));
    }
    AppGroup *groupNamed(const QString &name)
    {
        const auto found = context().fetch<AppGroup>([&](const AppGroup &g) { return g.name() == name; });
        return found.size() == 1 ? found.first() : nullptr;
    }
    QStringList groupNames()
    {
        QStringList out;
        for (const AppGroup *g : context().fetch<AppGroup>())
            out.append(g->name());
        return out;
    }

    ContainerResult opened;
};

// Runs the queued change notices and returns the types they named, in order.
QStringList deliveredNotices(QSignalSpy &spy)
{
    QCoreApplication::sendPostedEvents();
    QStringList out;
    for (const auto &args : spy)
        out.append(recordTypeName(args.at(0).value<RecordType>()));
    spy.clear();
    return out;
}

} // namespace

class TestStoreContext : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsSeePendingChanges();
    void oneObjectPerRow();
    void numbersAreGivenAtInsertAndNeverAgain();
    void deletedRecordIsInert();
    void rollbackToMark_data();
    void rollbackToMark();
    void markIsStaleAfterSave();
    void discardGoesBackToTheLastSave();
    void changeNotices_data();
    void changeNotices();
    void secondMetaForAnApp_data();
    void secondMetaForAnApp();
    void renamingMeta();
    void metaRowsAroundAMark_data();
    void metaRowsAroundAMark();
    void fetchFiltersAndSortsStably();
    void fetchOrCreateMeta();
};

void TestStoreContext::readsSeePendingChanges()
{
    Store store;
    StoreContext &context = store.context();
    AppGroup *kept = store.group(u"kept"_qs);
    AppGroup *gone = store.group(u"gone"_qs);
    QVERIFY(context.save() == SaveResult::saved);

    AppGroup *added = store.group(u"added"_qs);
    kept->setName(u"renamed"_qs);
    context.remove(gone);

    QCOMPARE(store.groupNames(), (QStringList{u"renamed"_qs, u"added"_qs}));
    QCOMPARE(context.count<AppGroup>(), 2);
    QCOMPARE(context.record<AppGroup>(added->storeID()), added);
    QCOMPARE(context.record<AppGroup>(gone->storeID()), nullptr);
    QCOMPARE(context.record(gone->storeID()), nullptr);
    QCOMPARE(context.record<AppMeta>(added->storeID()), nullptr); // an id of another type finds nothing
    QVERIFY(context.hasChanges());

    QVERIFY(context.save() == SaveResult::saved);
    QVERIFY(!context.hasChanges());
    QCOMPARE(store.groupNames(), (QStringList{u"renamed"_qs, u"added"_qs}));
}

void TestStoreContext::oneObjectPerRow()
{
    Store store;
    StoreContext &context = store.context();
    AppGroup *group = store.group(u"g"_qs);
    AppMeta *meta = context.fetchOrCreateMeta(u"a"_qs);
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(context.fetch<AppGroup>(), QList<AppGroup *>{group});
    QCOMPARE(context.record<AppGroup>(group->storeID()), group);
    QCOMPARE(context.meta(u"a"_qs), meta);
    QCOMPARE(context.fetch<AppMeta>(), QList<AppMeta *>{meta});
    QCOMPARE(context.fetchOrCreateMeta(u"a"_qs), meta);
}

void TestStoreContext::numbersAreGivenAtInsertAndNeverAgain()
{
    Store store;
    StoreContext &context = store.context();
    AppGroup *first = store.group(u"first"_qs);
    AppGroup *second = store.group(u"second"_qs);
    QCOMPARE(first->storeID(), (StoreID{RecordType::appGroup, 1}));
    QCOMPARE(second->storeID().number, 2); // before any save
    const QString secondText = second->storeID().text();

    context.remove(second);
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(second->storeID().text(), secondText); // a deleted record keeps its identifier
    const auto mark = context.mark();
    AppGroup *takenBack = store.group(u"taken back"_qs);
    QCOMPARE(takenBack->storeID().number, 3);
    QVERIFY(context.rollback(mark));
    QCOMPARE(store.group(u"third"_qs)->storeID().number, 4);

    // Every type counts on its own.
    QCOMPARE(context.fetchOrCreateMeta(u"a"_qs)->storeID(), (StoreID{RecordType::appMeta, 1}));
    auto *block = context.insert(std::make_unique<AdHocBlock>(u"a"_qs, now));
    QCOMPARE(block->storeID().text(), u"x-tarnwick://AdHocBlock/p1"_qs);
}

void TestStoreContext::deletedRecordIsInert()
{
    Store store;
    StoreContext &context = store.context();
    AppGroup *group = store.group(u"g"_qs, 5);
    group->setBundleIDs({u"a"_qs});
    QVERIFY(context.save() == SaveResult::saved);
    const QString refID = group->refID();

    context.remove(group);
    QVERIFY(group->isDeleted());
    QVERIFY(!group->isLive());
    group->setName(u"written after delete"_qs);
    group->setSortIndex(9);
    QCOMPARE(group->name(), u"g"_qs);
    QCOMPARE(group->sortIndex(), 5);
    QCOMPARE(group->bundleIDs(), QStringList{u"a"_qs});
    QCOMPARE(group->refID(), refID);
    context.remove(group); // a second delete changes nothing
    QVERIFY(context.save() == SaveResult::saved);

    group->setName(u"written after save"_qs);
    QCOMPARE(group->name(), u"g"_qs);
    QVERIFY(!context.hasChanges());
    QCOMPARE(context.count<AppGroup>(), 0);

    // A deleted AppMeta frees its app for a new row, and a write to the old one never brings it back.
    AppMeta *old = context.fetchOrCreateMeta(u"a"_qs);
    old->setIsPinned(true);
    QVERIFY(context.save() == SaveResult::saved);
    context.remove(old);
    AppMeta *fresh = context.fetchOrCreateMeta(u"a"_qs);
    QVERIFY(fresh != old);
    QVERIFY(!old->setBundleID(u"b"_qs));
    old->setIsPinned(false);
    QCOMPARE(old->isPinned(), true);
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(context.fetch<AppMeta>(), QList<AppMeta *>{fresh});
    QCOMPARE(fresh->isPinned(), false);
}

void TestStoreContext::rollbackToMark_data()
{
    // Saved: "a" and "b". Pending before the mark: "a" renamed "a1", "c" inserted. Then the steps, then rollback.
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("nothing after the mark") << QStringList{};
    QTest::newRow("an insert is taken back") << QStringList{u"insert d"_qs};
    QTest::newRow("a delete is taken back") << QStringList{u"remove b"_qs};
    QTest::newRow("a write is taken back") << QStringList{u"rename b x"_qs};
    QTest::newRow("a rewrite keeps the value it had at the mark") << QStringList{u"rename a1 a2"_qs};
    QTest::newRow("a pending insert deleted comes back") << QStringList{u"remove c"_qs};
    QTest::newRow("several steps, undone newest first")
        << QStringList{u"rename b x"_qs, u"remove x"_qs, u"insert b"_qs, u"rename c y"_qs, u"remove a1"_qs};
}

void TestStoreContext::rollbackToMark()
{
    QFETCH(QStringList, steps);
    Store store;
    StoreContext &context = store.context();
    AppGroup *a = store.group(u"a"_qs);
    AppGroup *b = store.group(u"b"_qs);
    QVERIFY(context.save() == SaveResult::saved);
    a->setName(u"a1"_qs);
    AppGroup *c = store.group(u"c"_qs);

    const auto mark = context.mark();
    QList<AppGroup *> insertedAfterMark;
    for (const QString &step : steps) {
        const QStringList words = step.split(u' ');
        if (words[0] == u"insert") {
            insertedAfterMark.append(store.group(words[1]));
        } else if (words[0] == u"remove") {
            QVERIFY2(store.groupNamed(words[1]), qPrintable(step));
            context.remove(store.groupNamed(words[1]));
        } else {
            QVERIFY2(store.groupNamed(words[1]), qPrintable(step));
            store.groupNamed(words[1])->setName(words[2]);
        }
    }
    QVERIFY(context.rollback(mark));

    QCOMPARE(context.fetch<AppGroup>(), (QList<AppGroup *>{a, b, c}));
    QCOMPARE(store.groupNames(), (QStringList{u"a1"_qs, u"b"_qs, u"c"_qs}));
    for (AppGroup *g : insertedAfterMark)
        QVERIFY(g->isDeleted());
    QVERIFY(context.hasChanges()); // what came before the mark is still pending

    QVERIFY(context.save() == SaveResult::saved);
    context.discardPendingChanges();
    QCOMPARE(store.groupNames(), (QStringList{u"a1"_qs, u"b"_qs, u"c"_qs}));
}

void TestStoreContext::markIsStaleAfterSave()
{
    Store store;
    StoreContext &context = store.context();
    const auto mark = context.mark();
    AppGroup *saved = store.group(u"saved"_qs);
    QVERIFY(context.save() == SaveResult::saved);
    saved->setName(u"pending"_qs);
    QVERIFY(!context.rollback(mark));
    QCOMPARE(saved->name(), u"pending"_qs);
    QVERIFY(saved->isLive());
}

void TestStoreContext::discardGoesBackToTheLastSave()
{
    Store store;
    StoreContext &context = store.context();
    AppGroup *kept = store.group(u"kept"_qs, 1);
    AppGroup *deleted = store.group(u"deleted"_qs, 2);
    AppMeta *meta = context.fetchOrCreateMeta(u"a"_qs);
    QVERIFY(context.save() == SaveResult::saved);

    kept->setSortIndex(7);
    context.remove(deleted);
    AppGroup *added = store.group(u"added"_qs);
    QVERIFY(meta->setBundleID(u"b"_qs));
    AppMeta *newMeta = context.fetchOrCreateMeta(u"a"_qs);
    context.discardPendingChanges();

    QCOMPARE(context.fetch<AppGroup>(), (QList<AppGroup *>{kept, deleted}));
    QCOMPARE(kept->sortIndex(), 1);
    QVERIFY(deleted->isLive());
    QVERIFY(added->isDeleted());
    QVERIFY(newMeta->isDeleted());
    QCOMPARE(meta->bundleID(), u"a"_qs);
    QCOMPARE(context.meta(u"a"_qs), meta);
    QCOMPARE(context.meta(u"b"_qs), nullptr);
    QVERIFY(!context.hasChanges());
}

void TestStoreContext::changeNotices_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("notices");
    QTest::newRow("an insert") << "insert group" << QStringList{u"AppGroup"_qs};
    QTest::newRow("many writes of two types, once each") << "write meta and rules"
                                                         << QStringList{u"AppMeta"_qs, u"RestrictionRule"_qs};
    QTest::newRow("a write of the value already there") << "write same value" << QStringList{};
    QTest::newRow("a write to a deleted record") << "write deleted" << QStringList{};
    QTest::newRow("a save") << "save" << QStringList{};
    QTest::newRow("a refused second row for an app") << "insert duplicate meta" << QStringList{};
    QTest::newRow("a rollback") << "rollback" << QStringList{u"AppGroup"_qs, u"QuitPlan"_qs};
    QTest::newRow("a discard") << "discard" << QStringList{u"AppGroup"_qs, u"QuitPlan"_qs};
    QTest::newRow("a delete") << "remove block" << QStringList{u"AdHocBlock"_qs};
}

void TestStoreContext::changeNotices()
{
    QFETCH(QString, action);
    QFETCH(QStringList, notices);
    Store store;
    StoreContext &context = store.context();
    AppGroup *group = store.group(u"g"_qs);
    AppMeta *meta = context.fetchOrCreateMeta(u"a"_qs);
    auto *rule = context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"a"_qs, 0, 60,
                                                                  QList<int>{1}, true, std::nullopt));
    auto *plan = context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::group, u"g"_qs, QStringList{}, 0,
                                                           QList<int>{}, QuitPlanBlockMode::none, 0, 0, true));
    auto *block = context.insert(std::make_unique<AdHocBlock>(u"a"_qs, now));
    AppGroup *deleted = store.group(u"deleted"_qs);
    context.remove(deleted);
    QVERIFY(context.save() == SaveResult::saved);
    QCoreApplication::sendPostedEvents(); // the set-up's notices
    QSignalSpy spy(&context, &StoreContext::changed);
    QVERIFY(spy.isValid());

    if (action == u"insert group") {
        store.group(u"new"_qs);
    } else if (action == u"write meta and rules") {
        meta->setLaunchCount(1);
        meta->setIsPinned(true);
        rule->setStartMinute(5);
        rule->setEndMinute(6);
        meta->setLastLaunchedAt(now);
    } else if (action == u"write same value") {
        group->setName(u"g"_qs);
        meta->setIsHidden(false);
        plan->setBundleIDs({});
    } else if (action == u"write deleted") {
        deleted->setName(u"x"_qs);
    } else if (action == u"save") {
        QVERIFY(context.save() == SaveResult::saved);
    } else if (action == u"insert duplicate meta") {
        QCOMPARE(context.insert(std::make_unique<AppMeta>(u"a"_qs, now)), meta);
    } else if (action == u"rollback" || action == u"discard") {
        group->setName(u"before the mark"_qs);
        QCOMPARE(deliveredNotices(spy), QStringList{u"AppGroup"_qs});
        const auto mark = context.mark();
        plan->setQuitMinute(9);
        store.group(u"after the mark"_qs);
        QCOMPARE(deliveredNotices(spy), (QStringList{u"AppGroup"_qs, u"QuitPlan"_qs}));
        if (action == u"rollback")
            QVERIFY(context.rollback(mark));
        else
            context.discardPendingChanges();
    } else if (action == u"remove block") {
        context.remove(block);
    }
    QCOMPARE(spy.count(), 0); // notices wait for the event loop
    QCOMPARE(deliveredNotices(spy), notices);
}

void TestStoreContext::secondMetaForAnApp_data()
{
    QTest::addColumn<bool>("firstSaved");
    QTest::newRow("the first row is saved") << true;
    QTest::newRow("the first row is pending") << false;
}

void TestStoreContext::secondMetaForAnApp()
{
    QFETCH(bool, firstSaved);
    Store store;
    StoreContext &context = store.context();
    AppMeta *first = context.fetchOrCreateMeta(u"com.example.a"_qs);
    first->setIsPinned(true);
    first->setSortIndex(3);
    if (firstSaved)
        QVERIFY(context.save() == SaveResult::saved);

    auto owned = std::make_unique<AppMeta>(u"com.example.a"_qs, now + 1s);
    AppMeta *second = owned.get();
    AppMeta *live = context.insert(std::move(owned));
    QCOMPARE(live, first);
    QVERIFY(second->isDeleted());
    QVERIFY(!second->storeID().isValid());
    second->setAliasName(u"lost"_qs); // ignored: the refused row is inert
    QCOMPARE(second->aliasName(), std::nullopt);

    // The caller writes through what insert gave back; the row keeps what it had.
    live->setAliasName(u"别名"_qs);
    QCOMPARE(first->isPinned(), true);
    QCOMPARE(first->sortIndex(), std::optional(3));
    QCOMPARE(context.count<AppMeta>(), 1);
    QVERIFY(context.save() == SaveResult::saved);

    // Nothing was poisoned: later edits save too.
    first->setLaunchCount(2);
    context.fetchOrCreateMeta(u"com.example.b"_qs);
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(context.count<AppMeta>(), 2);
    QCOMPARE(context.meta(u"com.example.a"_qs)->aliasName(), std::optional(u"别名"_qs));
}

void TestStoreContext::renamingMeta()
{
    Store store;
    StoreContext &context = store.context();
    AppMeta *a = context.fetchOrCreateMeta(u"a"_qs);
    AppMeta *b = context.fetchOrCreateMeta(u"b"_qs);
    QVERIFY(context.save() == SaveResult::saved);

    QVERIFY(!a->setBundleID(u"b"_qs));
    QCOMPARE(a->bundleID(), u"a"_qs);
    QVERIFY(!context.hasChanges());

    // Two saved rows trade identifiers: the file's uniqueness must not trip over the order of the writes.
    QVERIFY(a->setBundleID(u"swap"_qs));
    QVERIFY(b->setBundleID(u"a"_qs));
    QVERIFY(a->setBundleID(u"b"_qs));
    QCOMPARE(context.meta(u"a"_qs), b);
    QCOMPARE(context.meta(u"b"_qs), a);
    QCOMPARE(context.meta(u"swap"_qs), nullptr);
    QVERIFY(context.save() == SaveResult::saved);

    const auto mark = context.mark();
    QVERIFY(a->setBundleID(u"c"_qs));
    QVERIFY(context.rollback(mark));
    QCOMPARE(context.meta(u"b"_qs), a);
    QCOMPARE(context.meta(u"c"_qs), nullptr);
    QCOMPARE(a->storeID().number, 1);
}

namespace {

// The live AppMeta rows ("id#number") and what the lookup by identifier finds for a few identifiers.
QStringList metaState(StoreContext &context)
{
    QStringList out;
    for (const AppMeta *m : context.fetch<AppMeta>())
        out.append(m->bundleID() + u'#' + QString::number(m->storeID().number));
    for (const QString &id : {u"a"_qs, u"b"_qs, u"c"_qs, u"x"_qs}) {
        const AppMeta *m = context.meta(id);
        out.append(id + u"->"_qs + (m ? QString::number(m->storeID().number) : u"-"_qs));
        if (m && m->bundleID() != id)
            out.append(u"lookup of "_qs + id + u" finds "_qs + m->bundleID());
    }
    return out;
}

void applyMetaSteps(StoreContext &context, const QStringList &steps)
{
    for (const QString &step : steps) {
        const QStringList w = step.split(u' ');
        if (w[0] == u"create") {
            context.fetchOrCreateMeta(w[1]);
        } else if (w[0] == u"insert") {
            context.insert(std::make_unique<AppMeta>(w[1], now));
        } else if (w[0] == u"remove") {
            QVERIFY2(context.meta(w[1]), qPrintable(step));
            context.remove(context.meta(w[1]));
        } else {
            QVERIFY2(context.meta(w[1]), qPrintable(step));
            QVERIFY2(context.meta(w[1])->setBundleID(w[2]), qPrintable(step));
        }
    }
}

} // namespace

void TestStoreContext::metaRowsAroundAMark_data()
{
    // Saved: "a" and "b". Then the steps before the mark, the mark, the steps after it, and a rollback to it.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("deleted and made again after the mark") << QStringList{} << QStringList{u"remove a"_qs, u"create a"_qs};
    QTest::newRow("deleted before the mark, made again after")
        << QStringList{u"remove a"_qs} << QStringList{u"create a"_qs, u"insert a"_qs};
    QTest::newRow("made again before the mark, deleted after")
        << QStringList{u"remove a"_qs, u"create a"_qs} << QStringList{u"remove a"_qs, u"create a"_qs};
    QTest::newRow("renamed into a deleted row's identifier")
        << QStringList{} << QStringList{u"remove b"_qs, u"rename a b"_qs, u"create a"_qs};
    QTest::newRow("identifiers traded, then one deleted")
        << QStringList{} << QStringList{u"rename a x"_qs, u"rename b a"_qs, u"rename x b"_qs, u"remove a"_qs};
    QTest::newRow("renamed before the mark, old identifier made again after")
        << QStringList{u"rename a c"_qs} << QStringList{u"create a"_qs, u"remove c"_qs, u"rename a c"_qs};
    QTest::newRow("a new row renamed and deleted after the mark")
        << QStringList{u"create x"_qs} << QStringList{u"rename x c"_qs, u"create x"_qs, u"remove c"_qs};
}

void TestStoreContext::metaRowsAroundAMark()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    Store store;
    StoreContext &context = store.context();
    context.fetchOrCreateMeta(u"a"_qs);
    context.fetchOrCreateMeta(u"b"_qs);
    QVERIFY(context.save() == SaveResult::saved);

    applyMetaSteps(context, before);
    const QStringList atMark = metaState(context);
    const auto mark = context.mark();
    applyMetaSteps(context, after);
    QVERIFY(context.rollback(mark));
    QCOMPARE(metaState(context), atMark);

    // The store file holds one row per app, so the save fails on any duplicate the rollback left behind.
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(metaState(context), atMark);
    context.fetchOrCreateMeta(u"c"_qs)->setLaunchCount(1);
    QVERIFY(context.save() == SaveResult::saved);
}

void TestStoreContext::fetchFiltersAndSortsStably()
{
    Store store;
    StoreContext &context = store.context();
    AppGroup *late = store.group(u"late"_qs, 2);
    AppGroup *early = store.group(u"early"_qs, 1);
    AppGroup *alsoLate = store.group(u"also late"_qs, 2);
    AppGroup *deleted = store.group(u"deleted"_qs, 0);
    AppGroup *first = store.group(u"first"_qs, 0);
    QVERIFY(context.save() == SaveResult::saved);
    context.remove(deleted);
    AppGroup *pending = store.group(u"pending"_qs, 1);

    QCOMPARE(context.fetch<AppGroup>({}, AppGroup::bySortIndex),
             (QList<AppGroup *>{first, early, pending, late, alsoLate}));
    QCOMPARE(context.fetch<AppGroup>([](const AppGroup &g) { return g.sortIndex() == 2; }),
             (QList<AppGroup *>{late, alsoLate}));
    QCOMPARE(context.fetch<AppGroup>([](const AppGroup &g) { return g.sortIndex() > 5; }), QList<AppGroup *>{});
}

void TestStoreContext::fetchOrCreateMeta()
{
    Instant clock = now;
    auto opened = PersistenceController::makeContainer(true, [&clock] { return clock; });
    StoreContext &context = opened.container->mainContext();
    QCOMPARE(context.meta(u"a"_qs), nullptr);
    AppMeta *made = context.fetchOrCreateMeta(u"a"_qs);
    QVERIFY(made->isLive());
    QCOMPARE(made->firstSeenAt(), now);
    QVERIFY(context.hasChanges()); // inserted, not saved
    clock += 1h;
    QCOMPARE(context.fetchOrCreateMeta(u"a"_qs), made);
    QCOMPARE(context.fetchOrCreateMeta(u"b"_qs)->firstSeenAt(), now + 1h);
    QCOMPARE(context.fetchOrCreateMeta(u"A"_qs)->bundleID(), u"A"_qs); // identifiers are case-sensitive
    QCOMPARE(context.count<AppMeta>(), 3);
}

QTEST_GUILESS_MAIN(TestStoreContext)
#include "tst_storecontext.moc"
