#include "supervisionexporter.h"
#include "supervisionfixtures.h"
#include "supervisionimporter.h"

#include "adhocblock.h"
#include "appgroup.h"
#include "appmeta.h"
#include "fake/memorypreferences.h"
#include "persistencecontroller.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using SupervisionFixtures::utc;

namespace {

const Instant now = utc(2026, 3, 7, 9, 30, 15, 123456);

QString text(const std::optional<Instant> &t)
{
    return t ? QString::number(t->time_since_epoch().count()) : u"-"_s;
}

QString text(const QList<int> &list)
{
    QStringList parts;
    for (int v : list)
        parts.append(QString::number(v));
    return u"["_s + parts.join(u',') + u"]"_s;
}

QString text(const QStringList &list)
{
    return u"["_s + list.join(u',') + u"]"_s;
}

// Every live record of every type with every column, one line each: two equal descriptions mean equal stores.
QStringList describe(StoreContext &context)
{
    QStringList out;
    for (const AppGroup *g : context.fetch<AppGroup>())
        out.append(u"group %1 %2 %3 %4 %5"_s.arg(g->storeID().text(), g->name(), QString::number(g->sortIndex()),
                                                text(g->bundleIDs()), g->stableID().value_or(u"-"_s)));
    for (const RestrictionRule *r : context.fetch<RestrictionRule>())
        out.append(u"rule %1 %2 %3 %4 %5 %6 %7 %8 %9"_s.arg(r->storeID().text(), QString::number(r->targetKindRaw()),
                                                           r->targetID(), QString::number(r->startMinute()),
                                                           QString::number(r->endMinute()), text(r->weekdays()),
                                                           r->isEnabled() ? u"on"_s : u"off"_s,
                                                           text(r->pausedUntil()), text(r->onceDate())));
    for (const QuitPlan *p : context.fetch<QuitPlan>())
        out.append(u"plan %1 %2 %3 %4 %5 %6 %7 %8 %9"_s.arg(p->storeID().text(), QString::number(p->targetKindRaw()),
                                                           p->groupID(), text(p->bundleIDs()),
                                                           QString::number(p->quitMinute()), text(p->weekdays()),
                                                           QString::number(p->blockModeRaw()),
                                                           QString::number(p->blockMinutes()),
                                                           QString::number(p->blockUntilMinute()))
                   + u" %1 %2"_s.arg(p->isEnabled() ? u"on"_s : u"off"_s, text(p->pausedUntil())));
    for (const AppMeta *m : context.fetch<AppMeta>())
        out.append(u"meta %1 %2 %3 %4 %5"_s.arg(m->storeID().text(), m->bundleID(), m->isPinned() ? u"pinned"_s : u"-"_s,
                                               QString::number(m->launchCount()), m->aliasName().value_or(u"-"_s)));
    for (const AdHocBlock *b : context.fetch<AdHocBlock>())
        out.append(u"block %1 %2 %3"_s.arg(b->storeID().text(), b->bundleID(), text(b->until())));
    return out;
}

// A store file in a temporary folder, with a second connection of our own for reading back what is saved and for
// making saves fail.
struct FileStore
{
    FileStore()
    {
        open();
    }
    ~FileStore()
    {
        if (probe)
            sqlite3_close(probe);
    }

    void open()
    {
        opened = {}; // the store refuses a second opening of a file that is open
        opened = PersistenceController::makeContainer(false, [] { return now; }, folder.path());
        if (!opened.container)
            return;
        if (probe)
            sqlite3_close(probe);
        probe = nullptr;
        sqlite3_open_v2(opened.container->filePath().toUtf8().constData(), &probe, SQLITE_OPEN_READWRITE, nullptr);
    }
    [[nodiscard]] bool isOpen() const { return opened.container && probe; }
    StoreContext &context() { return opened.container->mainContext(); }

    // What another opening of the file shows: the saved state only. Opened as a copy, since the store refuses a
    // second opening of a file that is open (between saves the file holds no half-written transaction).
    QStringList describeSaved()
    {
        QTemporaryDir copyFolder;
        QDir().mkpath(copyFolder.filePath(u"Tarnwick"_s));
        if (!QFile::copy(opened.container->filePath(), copyFolder.filePath(u"Tarnwick/Tarnwick.store"_s)))
            return QStringList{u"cannot copy"_s};
        auto other = PersistenceController::makeContainer(false, [] { return now; }, copyFolder.path());
        return other.container ? describe(other.container->mainContext()) : QStringList{u"cannot open"_s};
    }

    bool exec(const QByteArray &sql) { return sqlite3_exec(probe, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK; }

    QTemporaryDir folder;
    ContainerResult opened;
    sqlite3 *probe = nullptr;
};

// A set-up with every kind of record, saved: two groups (one without a stable id), rules and plans of both kinds,
// an app record and an ad-hoc block.
void fill(StoreContext &context)
{
    auto *games = context.insert(std::make_unique<AppGroup>(u"游戏"_s, 1, QStringList{u"z.game"_s, u"a.game"_s}));
    auto *chat = context.insert(std::make_unique<AppGroup>(u"聊天"_s, 0, QStringList{u"c.chat"_s}));
    chat->setStableID(std::nullopt);
    context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, games->refID(), 1320, 420,
                                                     QList<int>{5, 1, 3}, true, std::nullopt));
    auto *once = context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"c.chat"_s, 600, 660,
                                                                  QList<int>{}, false, utc(2026, 3, 9, 0, 0, 0, 500)));
    once->setPausedUntil(utc(2026, 3, 8, 12, 0, 30, 999999));
    context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::group, chat->refID(), QStringList{}, 1380,
                                              QList<int>{7, 1}, QuitPlanBlockMode::minutes, 1500, 0, true));
    auto *apps = context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(),
                                                           QStringList{u"b.app"_s, u"a.app"_s}, 60, QList<int>{2},
                                                           QuitPlanBlockMode::until, 0, 480, false));
    apps->setPausedUntil(utc(2026, 3, 10, 1, 2, 3));
    auto *meta = context.fetchOrCreateMeta(u"c.chat"_s);
    meta->setIsPinned(true);
    meta->setAliasName(u"聊"_s);
    context.insert(std::make_unique<AdHocBlock>(u"z.game"_s, utc(2026, 3, 7, 11)));
}

std::optional<SupervisionApplyResult> importBytes(const QByteArray &bytes, StoreContext &context,
                                                  Preferences &preferences, std::optional<SupervisionImportError> &refusal)
{
    auto decoded = SupervisionImporter::decode(bytes);
    if (auto *error = std::get_if<SupervisionImportError>(&decoded)) {
        refusal = *error;
        return std::nullopt;
    }
    const auto &file = std::get<SupervisionExport>(decoded);
    refusal = SupervisionImporter::validate(file);
    if (refusal)
        return std::nullopt;
    return SupervisionImporter::apply(file, context, preferences);
}

SupervisionExport exportOf(StoreContext &context, const QString &slogan)
{
    return SupervisionExporter::makeExport(context.fetch<AppGroup>(nullptr, AppGroup::bySortIndex),
                                           context.fetch<RestrictionRule>(), context.fetch<QuitPlan>(), slogan, now);
}

const QString sloganKey = SupervisionImporter::blockedSloganKey.toString();

} // namespace

class TestSupervisionImporter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exportMapsTheRecords();
    void exportOfAnEmptyStore();
    void exportLeavesOutRulesAndPlansOfMissingGroups();
    void roundTripRestoresTheSetUp();
    void applyStoresTheFileAsItStands();
    void applyTouchesNothingElse();
    void emptyFileDeletesEveryGroupRuleAndPlan();
    void refusalsLeaveStoreAndMessageAsTheyWere_data();
    void refusalsLeaveStoreAndMessageAsTheyWere();
    void failedSaveRollsBack_data();
    void failedSaveRollsBack();
    void failedImportAfterAnEarlierFailedSave_data();
    void failedImportAfterAnEarlierFailedSave();
};

void TestSupervisionImporter::exportMapsTheRecords()
{
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    StoreContext &context = opened.container->mainContext();
    auto *g = context.insert(std::make_unique<AppGroup>(u"g"_s, 4, QStringList{u"b"_s, u"a"_s, u"b"_s}));
    auto *legacy = context.insert(std::make_unique<AppGroup>(u"old"_s, -2, QStringList{}));
    legacy->setStableID(std::nullopt);
    auto *rule = context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"x"_s, 1, 2,
                                                                  QList<int>{5, 1, 3, 1}, true, std::nullopt));
    rule->setTargetKindRaw(7);
    context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, legacy->refID(), 3, 4, QList<int>{},
                                                     false, utc(2026, 1, 1, 8)));
    auto *plan = context.insert(std::make_unique<QuitPlan>(
        QuitPlanTarget::apps, u"kept"_s,
        QStringList{u"b"_s, QString::fromUcs4(U"\U0001F600"), u"\uFFFD"_s, u"a"_s, u"B"_s}, 5, QList<int>{3, 2},
        QuitPlanBlockMode::minutes, 30, 40, true));
    plan->setTargetKindRaw(7);
    plan->setBlockModeRaw(9);
    context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::group, g->refID(), QStringList{u"d"_s, u"c"_s}, 6,
                                              QList<int>{}, QuitPlanBlockMode::until, 0, 480, true));

    const auto file = SupervisionExporter::makeExport(context.fetch<AppGroup>(), context.fetch<RestrictionRule>(),
                                                      context.fetch<QuitPlan>(), u"msg"_s, now);
    SupervisionExport expected;
    expected.exportedAt = now;
    expected.blockedSlogan = u"msg"_s;
    expected.groups = {{g->stableID().value(), u"g"_s, 4, {u"b"_s, u"a"_s, u"b"_s}},
                       {legacy->storeID().text(), u"old"_s, -2, {}}};
    expected.restrictionRules = {{u"app"_s, u"x"_s, 1, 2, {1, 1, 3, 5}, true, std::nullopt, std::nullopt},
                                 {u"group"_s, legacy->storeID().text(), 3, 4, {}, false, std::nullopt,
                                  utc(2026, 1, 1, 8)}};
    expected.quitPlans = {
        {u"apps"_s, u"kept"_s,
         {u"B"_s, u"a"_s, u"b"_s, u"\uFFFD"_s, QString::fromUcs4(U"\U0001F600")}, 5, {2, 3}, u"none"_s, 30, 40, true,
         std::nullopt},
        {u"group"_s, g->refID(), {u"c"_s, u"d"_s}, 6, {}, u"until"_s, 0, 480, true, std::nullopt},
    };
    QCOMPARE(file, expected);
}

void TestSupervisionImporter::exportOfAnEmptyStore()
{
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    const auto file = exportOf(opened.container->mainContext(), QString());
    SupervisionExport expected;
    expected.exportedAt = now;
    QCOMPARE(file, expected);
    const auto bytes = SupervisionExporter::encode(file);
    QVERIFY(bytes);
    QVERIFY(bytes->contains(R"("blockedSlogan": "",)"));
    QVERIFY(bytes->contains(R"("groups": [],)"));
}

void TestSupervisionImporter::exportLeavesOutRulesAndPlansOfMissingGroups()
{
    // Deleting a targeted group leaves its rules and plans behind with their reference; a backup made then must
    // still import.
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    StoreContext &context = opened.container->mainContext();
    auto *kept = context.insert(std::make_unique<AppGroup>(u"kept"_s, 0, QStringList{}));
    auto *gone = context.insert(std::make_unique<AppGroup>(u"gone"_s, 1, QStringList{}));
    const QString goneID = gone->refID();
    auto rule = [&](RestrictionTarget kind, const QString &target) {
        return context.insert(std::make_unique<RestrictionRule>(kind, target, 0, 60, QList<int>{1}, true, std::nullopt));
    };
    auto plan = [&](QuitPlanTarget kind, const QString &group) {
        return context.insert(std::make_unique<QuitPlan>(kind, group, QStringList{u"a"_s}, 0, QList<int>{1},
                                                         QuitPlanBlockMode::none, 0, 0, true));
    };
    rule(RestrictionTarget::group, kept->refID());
    rule(RestrictionTarget::group, goneID);
    rule(RestrictionTarget::app, goneID); // an app rule is about an app, whatever its text
    auto *oddKind = rule(RestrictionTarget::app, goneID);
    oddKind->setTargetKindRaw(7);
    plan(QuitPlanTarget::group, goneID);
    plan(QuitPlanTarget::apps, goneID);
    plan(QuitPlanTarget::group, kept->refID());
    QVERIFY(context.save() == SaveResult::saved);
    context.remove(gone);

    const auto file = exportOf(context, QString());
    QCOMPARE(file.groups.size(), 1);
    QStringList rules;
    for (const auto &r : file.restrictionRules)
        rules.append(r.targetKind + u' ' + (r.targetID == goneID ? u"gone"_s : u"kept"_s));
    QCOMPARE(rules, (QStringList{u"group kept"_s, u"app gone"_s, u"app gone"_s}));
    QStringList plans;
    for (const auto &p : file.quitPlans)
        plans.append(p.targetKind + u' ' + (p.groupID == goneID ? u"gone"_s : u"kept"_s));
    QCOMPARE(plans, (QStringList{u"apps gone"_s, u"group kept"_s}));

    const auto bytes = SupervisionExporter::encode(file);
    QVERIFY(bytes);
    MemoryPreferences preferences;
    std::optional<SupervisionImportError> refusal;
    QCOMPARE(importBytes(*bytes, context, preferences, refusal), SupervisionApplyResult::applied);
    QCOMPARE(refusal, std::nullopt);
}

void TestSupervisionImporter::roundTripRestoresTheSetUp()
{
    FileStore source;
    QVERIFY(source.isOpen());
    fill(source.context());
    QVERIFY(source.context().save() == SaveResult::saved);
    const auto bytes = SupervisionExporter::encode(exportOf(source.context(), u"别玩了"_s));
    QVERIFY(bytes);

    FileStore target;
    QVERIFY(target.isOpen());
    auto *stray = target.context().insert(std::make_unique<AppGroup>(u"stray"_s, 0, QStringList{}));
    target.context().insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, stray->refID(), 0, 1,
                                                              QList<int>{}, true, std::nullopt));
    QVERIFY(target.context().save() == SaveResult::saved);
    MemoryPreferences preferences;
    std::optional<SupervisionImportError> refusal;
    QCOMPARE(importBytes(*bytes, target.context(), preferences, refusal), SupervisionApplyResult::applied);
    QCOMPARE(preferences.stringValue(sloganKey), u"别玩了"_s);

    // Compared after reopening, so what was saved is compared, not what the context holds.
    target.open();
    QVERIFY(target.isOpen());
    StoreContext &restored = target.context();
    StoreContext &original = source.context();

    const auto groupsBefore = original.fetch<AppGroup>(nullptr, AppGroup::bySortIndex);
    const auto groupsAfter = restored.fetch<AppGroup>(nullptr, AppGroup::bySortIndex);
    QCOMPARE(groupsAfter.size(), groupsBefore.size());
    for (qsizetype i = 0; i < groupsBefore.size(); ++i) {
        QCOMPARE(groupsAfter[i]->refID(), groupsBefore[i]->refID());
        QCOMPARE(groupsAfter[i]->name(), groupsBefore[i]->name());
        QCOMPARE(groupsAfter[i]->sortIndex(), groupsBefore[i]->sortIndex());
        QCOMPARE(groupsAfter[i]->bundleIDs(), groupsBefore[i]->bundleIDs());
    }

    auto sorted = [](QList<int> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    auto whole = [](const std::optional<Instant> &t) -> std::optional<Instant> {
        if (!t)
            return std::nullopt;
        return std::chrono::floor<std::chrono::seconds>(*t);
    };
    const auto rulesBefore = original.fetch<RestrictionRule>();
    const auto rulesAfter = restored.fetch<RestrictionRule>();
    QCOMPARE(rulesAfter.size(), rulesBefore.size());
    for (qsizetype i = 0; i < rulesBefore.size(); ++i) {
        const auto *a = rulesBefore[i];
        const auto *b = rulesAfter[i];
        QCOMPARE(b->targetKindRaw(), a->targetKindRaw());
        QCOMPARE(b->targetID(), a->targetID());
        QCOMPARE(b->startMinute(), a->startMinute());
        QCOMPARE(b->endMinute(), a->endMinute());
        QCOMPARE(b->weekdays(), sorted(a->weekdays()));
        QCOMPARE(b->isEnabled(), a->isEnabled());
        QCOMPARE(b->pausedUntil(), whole(a->pausedUntil()));
        QCOMPARE(b->onceDate(), whole(a->onceDate()));
    }

    const auto plansBefore = original.fetch<QuitPlan>();
    const auto plansAfter = restored.fetch<QuitPlan>();
    QCOMPARE(plansAfter.size(), plansBefore.size());
    for (qsizetype i = 0; i < plansBefore.size(); ++i) {
        const auto *a = plansBefore[i];
        const auto *b = plansAfter[i];
        QStringList apps = a->bundleIDs();
        apps.sort();
        QCOMPARE(b->targetKindRaw(), a->targetKindRaw());
        QCOMPARE(b->groupID(), a->groupID());
        QCOMPARE(b->bundleIDs(), apps);
        QCOMPARE(b->quitMinute(), a->quitMinute());
        QCOMPARE(b->weekdays(), sorted(a->weekdays()));
        QCOMPARE(b->blockModeRaw(), a->blockModeRaw());
        QCOMPARE(b->blockMinutes(), a->blockMinutes());
        QCOMPARE(b->blockUntilMinute(), a->blockUntilMinute());
        QCOMPARE(b->isEnabled(), a->isEnabled());
        QCOMPARE(b->pausedUntil(), whole(a->pausedUntil()));
    }

    // A second export of the restored store gives the same bytes.
    QCOMPARE(SupervisionExporter::encode(exportOf(restored, u"别玩了"_s)), bytes);
}

void TestSupervisionImporter::applyStoresTheFileAsItStands()
{
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    StoreContext &context = opened.container->mainContext();
    SupervisionExport file;
    file.groups = {{u"G1"_s, u"一"_s, 7, {u"b"_s, u"a"_s, u"b"_s}}, {u"G2"_s, u"二"_s, 7, {}}};
    file.restrictionRules = {
        {u"Group"_s, u"G1"_s, 10, 20, {7, 1, 7}, true, utc(2026, 3, 8), utc(2026, 3, 9)},
        {u"group"_s, u"G2"_s, 30, 40, {}, false, std::nullopt, std::nullopt},
    };
    file.quitPlans = {
        {u"group"_s, u"G1"_s, {u"z"_s}, 100, {3, 2}, u""_s, 5, 6, true, utc(2026, 3, 10)},
        {u"Apps"_s, u""_s, {u"y"_s, u"x"_s}, 200, {1}, u"minutes"_s, 4000, 7, false, std::nullopt},
        {u"apps"_s, u"G2"_s, {}, 300, {}, u"until"_s, 0, 1439, true, std::nullopt},
        {u"group"_s, u"G2"_s, {}, 400, {}, u"Minutes"_s, 10, 0, true, std::nullopt},
    };
    MemoryPreferences preferences;
    QCOMPARE(SupervisionImporter::validate(file), std::nullopt);
    QCOMPARE(SupervisionImporter::apply(file, context, preferences), SupervisionApplyResult::applied);
    QVERIFY(!context.hasChanges());

    QStringList stored;
    for (const AppGroup *g : context.fetch<AppGroup>())
        stored.append(u"%1 %2 %3 %4"_s.arg(g->refID(), g->name(), QString::number(g->sortIndex()), text(g->bundleIDs())));
    for (const RestrictionRule *r : context.fetch<RestrictionRule>())
        stored.append(u"rule %1 %2 %3 %4 %5 %6 %7"_s.arg(QString::number(r->targetKindRaw()), r->targetID(),
                                                         QString::number(r->startMinute()),
                                                         QString::number(r->endMinute()), text(r->weekdays()),
                                                         text(r->pausedUntil()), text(r->onceDate())));
    for (const QuitPlan *p : context.fetch<QuitPlan>())
        stored.append(u"plan %1 %2 %3 %4 %5 %6 %7 %8"_s.arg(QString::number(p->targetKindRaw()), p->groupID(),
                                                            text(p->bundleIDs()), text(p->weekdays()),
                                                            QString::number(p->blockModeRaw()),
                                                            QString::number(p->blockMinutes()),
                                                            QString::number(p->blockUntilMinute()),
                                                            text(p->pausedUntil())));
    const QString march8 = text(utc(2026, 3, 8));
    const QString march9 = text(utc(2026, 3, 9));
    const QString march10 = text(utc(2026, 3, 10));
    QCOMPARE(stored, (QStringList{
                         u"G1 一 7 [b,a,b]"_s,
                         u"G2 二 7 []"_s,
                         u"rule 0 G1 10 20 [7,1,7] "_s + march8 + u' ' + march9,
                         u"rule 1 G2 30 40 [] - -"_s,
                         u"plan 0 G1 [z] [3,2] 0 5 6 "_s + march10,
                         u"plan 1  [y,x] [1] 1 4000 7 -"_s,
                         u"plan 1 G2 [] [] 2 0 1439 -"_s,
                         u"plan 0 G2 [] [] 0 10 0 -"_s,
                     }));
    // An empty message is stored as an empty text, not removed.
    QVERIFY(preferences.contains(sloganKey));
    QCOMPARE(preferences.stringValue(sloganKey), QString());
}

void TestSupervisionImporter::applyTouchesNothingElse()
{
    FileStore store;
    QVERIFY(store.isOpen());
    fill(store.context());
    QVERIFY(store.context().save() == SaveResult::saved);
    MemoryPreferences preferences;
    preferences.setString(sloganKey, u"旧的"_s);
    preferences.setInteger(u"gridPreferredColumns"_s, 9);
    preferences.setStringList(u"focusControlBundleIDs"_s, {u"c.chat"_s});

    const auto decoded = SupervisionImporter::decode(SupervisionFixtures::goldenBytes());
    const auto *file = std::get_if<SupervisionExport>(&decoded);
    QVERIFY(file);
    QCOMPARE(SupervisionImporter::apply(*file, store.context(), preferences), SupervisionApplyResult::applied);

    QCOMPARE(preferences.stringValue(sloganKey), file->blockedSlogan);
    QCOMPARE(preferences.integerValue(u"gridPreferredColumns"_s), 9);
    QCOMPARE(preferences.stringList(u"focusControlBundleIDs"_s), QStringList{u"c.chat"_s});
    QStringList others;
    for (const QString &line : store.describeSaved()) {
        if (line.startsWith(u"meta") || line.startsWith(u"block"))
            others.append(line);
    }
    QCOMPARE(others.size(), 2);
    QVERIFY(others[0].contains(u"c.chat pinned 0 聊"_s));
    QVERIFY(others[1].contains(u"z.game"_s));
    QCOMPARE(store.context().count<AppGroup>(), 2);
    QCOMPARE(store.context().fetch<AppGroup>().first()->refID(), SupervisionFixtures::entertainmentID);
}

void TestSupervisionImporter::emptyFileDeletesEveryGroupRuleAndPlan()
{
    FileStore store;
    QVERIFY(store.isOpen());
    fill(store.context());
    QVERIFY(store.context().save() == SaveResult::saved);
    MemoryPreferences preferences;
    QCOMPARE(SupervisionImporter::apply(SupervisionExport{}, store.context(), preferences),
             SupervisionApplyResult::applied);
    QStringList kinds;
    for (const QString &line : store.describeSaved())
        kinds.append(line.section(u' ', 0, 0));
    QCOMPARE(kinds, (QStringList{u"meta"_s, u"block"_s}));
}

void TestSupervisionImporter::refusalsLeaveStoreAndMessageAsTheyWere_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SupervisionImportError>("refusal");
    const QByteArray golden = SupervisionFixtures::goldenBytes();
    auto changed = [&](const char *from, const char *to) {
        QByteArray b = golden;
        return b.replace(from, to);
    };
    const auto invalid = SupervisionImportError::invalidFile;
    QTest::newRow("not JSON") << "not a rules file"_ba << invalid;
    QTest::newRow("truncated") << golden.first(golden.size() / 2) << invalid;
    QTest::newRow("version 2") << changed(R"("formatVersion": 1)", R"("formatVersion": 2)") << invalid;
    QTest::newRow("fractional seconds") << changed("06:30:00Z", "06:30:00.5Z") << invalid;
    QTest::newRow("minute beyond the day") << changed(R"("quitMinute": 1380)", R"("quitMinute": 1440)") << invalid;
    QTest::newRow("repeated group id")
        << changed("0F6B2D4C-8E1A-4B3C-A5D7-9C2E4F6A8B10", "9A1C6E2E-3F0B-4C1D-9E8F-0A1B2C3D4E5F") << invalid;
    // The plan's group exists in the store, but not in the file.
    QTest::newRow("group plan naming a group only the store has")
        << changed(R"("groupID": "9A1C6E2E-3F0B-4C1D-9E8F-0A1B2C3D4E5F")", R"("groupID": "STORE-GROUP")")
        << SupervisionImportError::brokenReferences;
    QTest::newRow("group rule naming a missing group")
        << changed(R"("targetID": "0F6B2D4C-8E1A-4B3C-A5D7-9C2E4F6A8B10")", R"("targetID": "nowhere")")
        << SupervisionImportError::brokenReferences;
}

void TestSupervisionImporter::refusalsLeaveStoreAndMessageAsTheyWere()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SupervisionImportError, refusal);
    FileStore store;
    QVERIFY(store.isOpen());
    fill(store.context());
    store.context().fetch<AppGroup>().first()->setStableID(u"STORE-GROUP"_s);
    QVERIFY(store.context().save() == SaveResult::saved);
    MemoryPreferences preferences;
    preferences.setString(sloganKey, u"旧的"_s);
    const int writes = preferences.writeCount();
    const QStringList before = describe(store.context());

    std::optional<SupervisionImportError> got;
    QCOMPARE(importBytes(bytes, store.context(), preferences, got), std::nullopt);
    QCOMPARE(got, refusal);
    QCOMPARE(describe(store.context()), before);
    QVERIFY(!store.context().hasChanges());
    QCOMPARE(store.describeSaved(), before);
    QCOMPARE(preferences.stringValue(sloganKey), u"旧的"_s);
    QCOMPARE(preferences.writeCount(), writes);
}

void TestSupervisionImporter::failedSaveRollsBack_data()
{
    QTest::addColumn<QByteArray>("trigger");
    QTest::newRow("writing a group fails") << "BEFORE INSERT ON \"AppGroup\""_ba;
    QTest::newRow("writing a rule fails") << "BEFORE INSERT ON \"RestrictionRule\""_ba;
    QTest::newRow("writing the last plan fails") << "BEFORE INSERT ON \"QuitPlan\" WHEN NEW.\"quitMinute\" = 1320"_ba;
    QTest::newRow("deleting a rule fails") << "BEFORE DELETE ON \"RestrictionRule\""_ba;
    QTest::newRow("deleting a group fails") << "BEFORE DELETE ON \"AppGroup\""_ba;
    QTest::newRow("an unrelated pending edit fails") << "BEFORE UPDATE ON \"AppMeta\""_ba;
}

void TestSupervisionImporter::failedSaveRollsBack()
{
    QFETCH(QByteArray, trigger);
    FileStore store;
    QVERIFY(store.isOpen());
    StoreContext &context = store.context();
    fill(context);
    QVERIFY(context.save() == SaveResult::saved);
    const QStringList saved = describe(context);

    // Edits of other parts of the program, pending from before the import; one of them on a group it replaces.
    auto *meta = context.meta(u"c.chat"_s);
    QVERIFY(meta);
    meta->setLaunchCount(41);
    context.fetch<AppGroup>().first()->setName(u"renamed, not saved"_s);
    const QStringList pending = describe(context);
    QVERIFY(pending != saved);

    MemoryPreferences preferences;
    preferences.setString(sloganKey, u"旧的"_s);
    const int writes = preferences.writeCount();
    QVERIFY(store.exec("CREATE TRIGGER refuse " + trigger + " BEGIN SELECT RAISE(ABORT, 'refused'); END;"));

    const auto decoded = SupervisionImporter::decode(SupervisionFixtures::goldenBytes());
    const auto *file = std::get_if<SupervisionExport>(&decoded);
    QVERIFY(file);
    QCOMPARE(SupervisionImporter::apply(*file, context, preferences), SupervisionApplyResult::storeFailed);

    QCOMPARE(describe(context), pending);
    QCOMPARE(store.describeSaved(), saved);
    QCOMPARE(preferences.stringValue(sloganKey), u"旧的"_s);
    QCOMPARE(preferences.writeCount(), writes);

    // The earlier edits are still pending, and a later save writes them.
    QVERIFY(store.exec("DROP TRIGGER refuse;"));
    QVERIFY(context.hasChanges());
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(store.describeSaved(), pending);

    // And the same import succeeds now.
    QCOMPARE(SupervisionImporter::apply(*file, context, preferences), SupervisionApplyResult::applied);
    QCOMPARE(preferences.stringValue(sloganKey), file->blockedSlogan);
    QCOMPARE(store.describeSaved(), describe(context));
    QCOMPARE(context.count<RestrictionRule>(), 2);
}

void TestSupervisionImporter::failedImportAfterAnEarlierFailedSave_data()
{
    QTest::addColumn<QByteArray>("earlier"); // what refused the earlier save, dropped before the import
    QTest::addColumn<QByteArray>("trigger"); // what refuses the import
    QTest::addColumn<bool>("earlierWritten"); // whether the import's save writes the earlier edit
    // The earlier edit shares no record with the import, so the import's save writes it on its own.
    QTest::newRow("an app record, then a rule refused") << "BEFORE UPDATE ON \"AppMeta\""_ba
                                                        << "BEFORE INSERT ON \"RestrictionRule\""_ba << true;
    QTest::newRow("an app record, then a deletion refused") << "BEFORE UPDATE ON \"AppMeta\""_ba
                                                            << "BEFORE DELETE ON \"QuitPlan\""_ba << true;
    // The earlier edit renames a group that the import deletes: both go to the file together, or neither.
    QTest::newRow("a group the import replaces") << "BEFORE UPDATE ON \"AppGroup\""_ba
                                                 << "BEFORE INSERT ON \"RestrictionRule\""_ba << false;
}

void TestSupervisionImporter::failedImportAfterAnEarlierFailedSave()
{
    QFETCH(QByteArray, earlier);
    QFETCH(QByteArray, trigger);
    QFETCH(bool, earlierWritten);
    FileStore store;
    QVERIFY(store.isOpen());
    StoreContext &context = store.context();
    fill(context);
    QVERIFY(context.save() == SaveResult::saved);
    const QStringList saved = describe(context);

    // An earlier edit whose save failed, still pending.
    QVERIFY(store.exec("CREATE TRIGGER earlier " + earlier + " BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    if (earlier.contains("AppMeta"))
        context.meta(u"c.chat"_s)->setLaunchCount(41);
    else
        context.fetch<AppGroup>().first()->setName(u"renamed, not saved"_s);
    QVERIFY(context.save() == SaveResult::failed);
    QVERIFY(store.exec("DROP TRIGGER earlier;"));
    const QStringList pending = describe(context);

    MemoryPreferences preferences;
    preferences.setString(sloganKey, u"旧的"_s);
    QVERIFY(store.exec("CREATE TRIGGER refuse " + trigger + " BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    const auto decoded = SupervisionImporter::decode(SupervisionFixtures::goldenBytes());
    const auto *file = std::get_if<SupervisionExport>(&decoded);
    QVERIFY(file);
    QCOMPARE(SupervisionImporter::apply(*file, context, preferences), SupervisionApplyResult::storeFailed);

    // Exactly the import is gone: in memory the earlier edit stands on the old set-up.
    QCOMPARE(describe(context), pending);
    QCOMPARE(store.describeSaved(), earlierWritten ? pending : saved);
    QCOMPARE(preferences.stringValue(sloganKey), u"旧的"_s);

    // The next unrelated save writes no part of the import.
    QVERIFY(store.exec("DROP TRIGGER refuse;"));
    context.insert(std::make_unique<AdHocBlock>(u"a.app"_s, utc(2026, 3, 7, 12)));
    QVERIFY(context.save() == SaveResult::saved);
    QVERIFY(!context.hasChanges());
    const QStringList after = describe(context);
    QCOMPARE(after.mid(0, pending.size()), pending);
    QCOMPARE(after.size(), pending.size() + 1);
    QCOMPARE(store.describeSaved(), after);
}

QTEST_GUILESS_MAIN(TestSupervisionImporter)
#include "tst_supervisionimporter.moc"
