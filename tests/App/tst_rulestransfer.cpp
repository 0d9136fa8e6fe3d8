#include "appgroup.h"
#include "appstatefixture.h"
#include "fake/fakesystemsettings.h"
#include "quitplan.h"
#include "../support/recordingrearm.h"
#include "restrictionrule.h"
#include "rulestransfer.h"
#include "settingsactions.h"
#include "supervisionexporter.h"
#include "../Services/supervisionfixtures.h"
#include "supervisionimporter.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/types.h>

using namespace Qt::StringLiterals;

namespace {

const QString sloganKey = SupervisionImporter::blockedSloganKey.toString();

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// One group with a rule and a plan on it, one app rule, disabled and paused records among them.
void fillStore(StoreContext &context)
{
    auto *group = context.insert(std::make_unique<AppGroup>(u"旧分组"_s, 0, QStringList{u"a.old"_s}));
    context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, group->refID(), 60, 120,
                                                     QList<int>{1, 2}, false, std::nullopt));
    auto *rule = context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"a.old"_s, 0, 30,
                                                                  QList<int>{}, true, std::nullopt));
    rule->setPausedUntil(SupervisionFixtures::utc(2030, 1, 1));
    context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::group, group->refID(), QStringList{}, 600,
                                              QList<int>{3}, QuitPlanBlockMode::none, 0, 0, false));
}

} // namespace

class TestRulesTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts();
    void exports_data();
    void exports();
    void proposedName();
    void existingFileIsReplacedOnlyOnYes_data();
    void existingFileIsReplacedOnlyOnYes();
    void refusedFiles_data();
    void refusedFiles();
    void importReplacesAndRearmsInOrder();
    void cancelLeavesEverything();
    void failedSaveLeavesEverythingAndRearmsNothing();
    void notificationSettingsFallBack_data();
    void notificationSettingsFallBack();
};

void TestRulesTransfer::texts()
{
    QCOMPARE(RulesTransfer::confirmationText(5, 2, 3, 1, 0, 12),
             u"将覆盖当前的 5 条禁启规则、2 条计划、3 个分组与禁启标语，替换为文件中的 1 条规则、0 条计划、12 个分组。此操作不可撤销。"_s);
    QCOMPARE(RulesTransfer::importedLine(u"backup.json"_s, 3, 2, 4), u"已导入：backup.json（规则 3 · 计划 2 · 分组 4）"_s);
    // A file name that looks like a placeholder stays as it is.
    QCOMPARE(RulesTransfer::importedLine(u"%2%1.json"_s, 1, 2, 3), u"已导入：%2%1.json（规则 1 · 计划 2 · 分组 3）"_s);
}

void TestRulesTransfer::exports_data()
{
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QString>("slogan"); // "-" for none stored
    QTest::addColumn<QString>("groupName");
    QTest::addColumn<QString>("target"); // relative to the temp folder
    QTest::addColumn<bool>("dialogOpens");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("an empty store writes") << false << u"-"_s << QString() << u"out.json"_s << true
                                           << u"已导出：out.json"_s;
    QTest::newRow("the store and the slogan") << true << u"专注"_s << QString() << u"sub/备份.json"_s << true
                                              << u"已导出：备份.json"_s;
    QTest::newRow("half a surrogate pair opens no dialog")
        << true << u"-"_s << QString(QChar(0xD83D)) << u"out.json"_s << false << QString();
    QTest::newRow("a folder under a regular file writes nothing")
        << true << u"-"_s << QString() << u"plain/out.json"_s << true << QString();
}

void TestRulesTransfer::exports()
{
    QFETCH(bool, filled);
    QFETCH(QString, slogan);
    QFETCH(QString, groupName);
    QFETCH(QString, target);
    QFETCH(bool, dialogOpens);
    QFETCH(QString, outcome);

    AppStateFixture f;
    if (slogan != u"-"_s)
        f.preferences.setString(sloganKey, slogan);
    AppState &state = f.start();
    StoreContext &context = state.container().mainContext();
    if (filled)
        fillStore(context);
    if (!groupName.isEmpty())
        context.fetch<AppGroup>().first()->setName(groupName);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"plain"_s), "x"));

    RecordingRearm rearm;
    RulesTransfer transfer(state, rearm);
    transfer.finishExport(QUrl::fromLocalFile(dir.filePath(u"early.json"_s))); // nothing prepared: nothing written
    QVERIFY(!QFile::exists(dir.filePath(u"early.json"_s)));
    QCOMPARE(transfer.prepareExport(), dialogOpens);
    if (!dialogOpens)
        return;
    const QString path = dir.filePath(target);
    // Qt's own dialog gives a typed name as a URL without a scheme.
    transfer.finishExport(filled ? QUrl(path) : QUrl::fromLocalFile(path));
    QCOMPARE(transfer.outcomeLine(), outcome);
    QVERIFY(rearm.calls.isEmpty());
    if (outcome.isEmpty()) {
        QVERIFY(!QFile::exists(path));
        return;
    }
    const QJsonObject written = QJsonDocument::fromJson(readAll(path)).object();
    QCOMPARE(written.value(u"blockedSlogan"_s).toString(u"absent"_s), slogan == u"-"_s ? QString() : slogan);
    auto decoded = SupervisionImporter::decode(readAll(path));
    const auto *file = std::get_if<SupervisionExport>(&decoded);
    QVERIFY(file);
    QCOMPARE(file->groups.size(), filled ? 1 : 0);
    QCOMPARE(file->restrictionRules.size(), filled ? 2 : 0);
    QCOMPARE(file->quitPlans.size(), filled ? 1 : 0);
}

void TestRulesTransfer::proposedName()
{
    AppStateFixture f;
    f.clock.advanceTo(SupervisionFixtures::utc(2026, 3, 7, 12));
    AppState &state = f.start();
    RecordingRearm rearm;
    RulesTransfer transfer(state, rearm);
    QVERIFY(transfer.prepareExport());
    QCOMPARE(transfer.proposedFile().fileName(), u"Tarnwick监督规则-2026-03-07.json"_s);
    QCOMPARE(transfer.proposedFile().adjusted(QUrl::RemoveFilename | QUrl::StripTrailingSlash),
             RulesTransfer::startFolder().adjusted(QUrl::StripTrailingSlash));
    // The prepared bytes go when the dialog is cancelled.
    transfer.cancelExport();
    QTemporaryDir dir;
    transfer.finishExport(QUrl::fromLocalFile(dir.filePath(u"x.json"_s)));
    QVERIFY(transfer.outcomeLine().isEmpty());
}

void TestRulesTransfer::existingFileIsReplacedOnlyOnYes_data()
{
    QTest::addColumn<QString>("answer"); // "replace", "cancel" or "export again"
    QTest::newRow("yes replaces") << u"replace"_s;
    QTest::newRow("no keeps the earlier file") << u"cancel"_s;
    QTest::newRow("a new export drops the question") << u"export again"_s;
}

void TestRulesTransfer::existingFileIsReplacedOnlyOnYes()
{
    QFETCH(QString, answer);
    AppStateFixture f;
    f.clock.advanceTo(SupervisionFixtures::utc(2026, 3, 7, 12));
    AppState &state = f.start();
    fillStore(state.container().mainContext());
    QTemporaryDir dir;
    // The first export of the day, kept as a backup.
    const QString path = dir.filePath(u"Tarnwick监督规则-2026-03-07.json"_s);
    QVERIFY(writeFile(path, "earlier backup"));

    RecordingRearm rearm;
    RulesTransfer transfer(state, rearm);
    QSignalSpy asked(&transfer, &RulesTransfer::pendingReplaceChanged);
    QVERIFY(transfer.prepareExport());
    transfer.finishExport(QUrl::fromLocalFile(path));
    QVERIFY(transfer.hasPendingReplace());
    QCOMPARE(asked.count(), 1);
    QCOMPARE(transfer.replaceQuestion(), u"「Tarnwick监督规则-2026-03-07.json」已存在，要替换它吗？"_s);
    QCOMPARE(readAll(path), QByteArray("earlier backup")); // nothing written while it asks
    QVERIFY(transfer.outcomeLine().isEmpty());

    if (answer == u"replace") {
        transfer.confirmReplace();
        QVERIFY(std::holds_alternative<SupervisionExport>(SupervisionImporter::decode(readAll(path))));
        QCOMPARE(transfer.outcomeLine(), u"已导出：Tarnwick监督规则-2026-03-07.json"_s);
    } else if (answer == u"cancel") {
        transfer.cancelReplace();
        QCOMPARE(readAll(path), QByteArray("earlier backup"));
        QVERIFY(transfer.outcomeLine().isEmpty());
    } else {
        QVERIFY(transfer.prepareExport());
        transfer.finishExport(QUrl::fromLocalFile(dir.filePath(u"other.json"_s)));
        QCOMPARE(transfer.outcomeLine(), u"已导出：other.json"_s);
        QCOMPARE(readAll(path), QByteArray("earlier backup"));
    }
    QVERIFY(!transfer.hasPendingReplace());
    transfer.cancelReplace();
    transfer.confirmReplace(); // nothing pending: nothing happens
    if (answer != u"replace")
        QCOMPARE(readAll(path), QByteArray("earlier backup"));
    QVERIFY(rearm.calls.isEmpty());
}

void TestRulesTransfer::refusedFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("toast");

    QTest::newRow("cancelled") << u"cancel"_s << QString();
    QTest::newRow("missing file") << u"missing"_s << QString();
    QTest::newRow("folder") << u"folder"_s << QString();
    QTest::newRow("FIFO") << u"fifo"_s << QString();
    QTest::newRow("version 2") << u"version"_s << u"不是有效的Tarnwick监督规则文件"_s;
    QTest::newRow("another identifier") << u"format"_s << u"不是有效的Tarnwick监督规则文件"_s;
    QTest::newRow("broken group reference") << u"broken"_s << u"文件中的分组引用不完整"_s;
}

void TestRulesTransfer::refusedFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, toast);

    AppStateFixture f;
    AppState &state = f.start();
    QTemporaryDir dir;
    QString path = dir.filePath(u"rules.json"_s);
    QByteArray golden = SupervisionFixtures::goldenBytes();
    if (kind == u"folder"_s)
        QVERIFY(QDir(dir.path()).mkdir(u"rules.json"_s));
    else if (kind == u"fifo"_s)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == u"version"_s)
        QVERIFY(writeFile(path, golden.replace("\"formatVersion\": 1", "\"formatVersion\": 2")));
    else if (kind == u"format"_s)
        QVERIFY(writeFile(path, golden.replace("\"tarnwick-supervision\"", "\"other-supervision\"")));
    else if (kind == u"broken"_s)
        QVERIFY(writeFile(path, golden.replace(SupervisionFixtures::workID.toUtf8(), "0F6B2D4C-0000-0000-0000-000000000000")
                                    .replace("\"0F6B2D4C-0000-0000-0000-000000000000\",\n      \"name\"",
                                             "\"" + SupervisionFixtures::workID.toUtf8() + "\",\n      \"name\"")));
    RecordingRearm rearm;
    RulesTransfer transfer(state, rearm);
    transfer.beginImport(kind == u"cancel"_s ? QUrl() : QUrl::fromLocalFile(path));
    QVERIFY(!transfer.hasPendingImport());
    QCOMPARE(state.toast().message(), toast);
    QVERIFY(transfer.outcomeLine().isEmpty());
    QVERIFY(rearm.calls.isEmpty());
}

void TestRulesTransfer::importReplacesAndRearmsInOrder()
{
    AppStateFixture f;
    f.preferences.setString(sloganKey, u"旧标语"_s);
    AppState &state = f.start();
    StoreContext &context = state.container().mainContext();
    fillStore(context);
    QVERIFY(context.save() == SaveResult::saved);
    state.setSelectedGroupID(context.fetch<AppGroup>().first()->storeID());

    QTemporaryDir dir;
    const QString path = dir.filePath(u"backup.json"_s);
    QVERIFY(writeFile(path, SupervisionFixtures::goldenBytes()));

    RecordingRearm rearm;
    RulesTransfer transfer(state, rearm);
    connect(&state, &AppState::changed, this, [&] { rearm.calls.append(u"changed"_s); });
    connect(&state, &AppState::selectedGroupIDChanged, this, [&] { rearm.calls.append(u"selection cleared"_s); });
    connect(&transfer, &RulesTransfer::outcomeLineChanged, this, [&] { rearm.calls.append(u"outcome"_s); });
    connect(&transfer, &RulesTransfer::pendingImportChanged, this,
            [&] { rearm.calls.append(transfer.hasPendingImport() ? u"pending"_s : u"pending cleared"_s); });

    for (int round = 0; round < 2; ++round) {
        transfer.beginImport(QUrl::fromLocalFile(path));
        QVERIFY(transfer.hasPendingImport());
        const QString storeSide = round == 0 ? u"将覆盖当前的 2 条禁启规则、1 条计划、1 个分组"_s
                                             : u"将覆盖当前的 2 条禁启规则、2 条计划、2 个分组"_s;
        QCOMPARE(transfer.confirmationTitle(),
                 storeSide + u"与禁启标语，替换为文件中的 2 条规则、2 条计划、2 个分组。此操作不可撤销。"_s);
        rearm.take();
        transfer.confirmImport();
        QStringList expected{u"pending cleared"_s, u"refresh"_s, u"sweepRunningBlocked"_s,
                             u"scheduleNextWindowSweep"_s, u"refreshSupervisionStatus"_s, u"reschedule"_s,
                             u"changed"_s};
        if (round == 0) // the stale selection goes after the announcement, and the line comes last
            expected << u"selection cleared"_s << u"changed"_s << u"outcome"_s;
        // The setters' observers may announce more than once; repeats in a row count as one.
        QStringList seen;
        for (const QString &call : rearm.take())
            if (seen.isEmpty() || seen.last() != call)
                seen.append(call);
        QCOMPARE(seen, expected);
        QCOMPARE(transfer.outcomeLine(), u"已导入：backup.json（规则 2 · 计划 2 · 分组 2）"_s);
        QVERIFY(!transfer.hasPendingImport());
        QVERIFY(!state.selectedGroupID());
    }

    // The store holds the file, group ids included, and the slogan.
    QStringList ids;
    for (AppGroup *group : context.fetch<AppGroup>({}, &AppGroup::bySortIndex))
        ids.append(group->refID());
    QCOMPARE(ids, (QStringList{SupervisionFixtures::entertainmentID, SupervisionFixtures::workID}));
    QCOMPARE(f.preferences.stringValue(sloganKey), SupervisionFixtures::goldenDocument().blockedSlogan);
    QVERIFY(!context.hasChanges());
}

void TestRulesTransfer::cancelLeavesEverything()
{
    AppStateFixture f;
    f.preferences.setString(sloganKey, u"旧标语"_s);
    AppState &state = f.start();
    StoreContext &context = state.container().mainContext();
    fillStore(context);
    QVERIFY(context.save() == SaveResult::saved);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"backup.json"_s);
    QVERIFY(writeFile(path, SupervisionFixtures::goldenBytes()));

    RecordingRearm rearm;
    RulesTransfer transfer(state, rearm);
    QVERIFY(transfer.prepareExport());
    transfer.finishExport(QUrl::fromLocalFile(dir.filePath(u"earlier.json"_s)));
    transfer.beginImport(QUrl::fromLocalFile(path));
    QVERIFY(transfer.hasPendingImport());
    transfer.cancelImport();
    QVERIFY(!transfer.hasPendingImport());
    transfer.confirmImport(); // nothing pending: nothing happens
    QCOMPARE(context.fetch<AppGroup>().first()->name(), u"旧分组"_s);
    QCOMPARE(context.fetch<RestrictionRule>().size(), 2);
    QCOMPARE(f.preferences.stringValue(sloganKey), u"旧标语"_s);
    QCOMPARE(transfer.outcomeLine(), u"已导出：earlier.json"_s);
    QVERIFY(rearm.calls.isEmpty());
}

void TestRulesTransfer::failedSaveLeavesEverythingAndRearmsNothing()
{
    AppStateFixture f;
    f.preferences.setString(sloganKey, u"旧标语"_s);
    f.seedStore(fillStore);
    AppState &state = f.start();
    StoreContext &context = state.container().mainContext();
    QCOMPARE(context.fetch<RestrictionRule>().size(), 2);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"backup.json"_s);
    QVERIFY(writeFile(path, SupervisionFixtures::goldenBytes()));
    RecordingRearm rearm;
    RulesTransfer transfer(state, rearm);
    transfer.beginImport(QUrl::fromLocalFile(path));
    QVERIFY(transfer.hasPendingImport());
    // The store file refuses every new group, through a second connection to it.
    sqlite3 *probe = nullptr;
    QCOMPARE(sqlite3_open_v2(state.container().filePath().toUtf8().constData(), &probe, SQLITE_OPEN_READWRITE,
                             nullptr),
             SQLITE_OK);
    const char *trigger = "CREATE TRIGGER refuse BEFORE INSERT ON \"AppGroup\" BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    const int created = sqlite3_exec(probe, trigger, nullptr, nullptr, nullptr);
    sqlite3_close(probe);
    QCOMPARE(created, SQLITE_OK);
    transfer.confirmImport();
    QCOMPARE(state.toast().message(), u"导入失败，数据未改动"_s);
    QVERIFY(!transfer.hasPendingImport());
    QVERIFY(transfer.outcomeLine().isEmpty());
    QVERIFY(rearm.calls.isEmpty());
    QCOMPARE(context.fetch<RestrictionRule>().size(), 2);
    QCOMPARE(context.fetch<AppGroup>().first()->name(), u"旧分组"_s);
    QCOMPARE(f.preferences.stringValue(sloganKey), u"旧标语"_s);
}

void TestRulesTransfer::notificationSettingsFallBack_data()
{
    QTest::addColumn<bool>("refuseNotifications");
    QTest::addColumn<bool>("refuseSettings");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("the notification page opens") << false << false << QStringList{u"notifications"_s};
    QTest::newRow("refused: the settings program")
        << true << false << QStringList{u"notifications"_s, u"settings"_s};
    QTest::newRow("both refused: nothing more") << true << true << QStringList{u"notifications"_s, u"settings"_s};
}

void TestRulesTransfer::notificationSettingsFallBack()
{
    QFETCH(bool, refuseNotifications);
    QFETCH(bool, refuseSettings);
    QFETCH(QStringList, calls);
    FakeSystemSettings settings;
    settings.refuseNotificationSettings(refuseNotifications);
    settings.refuseSettings(refuseSettings);
    SettingsActions::openNotificationSettings(settings);
    QCOMPARE(settings.calls(), calls);
}

QTEST_GUILESS_MAIN(TestRulesTransfer)
#include "tst_rulestransfer.moc"
