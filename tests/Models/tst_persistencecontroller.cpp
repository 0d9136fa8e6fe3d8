#include "adhocblock.h"
#include "appgroup.h"
#include "appmeta.h"
#include "datalocation.h"
#include "persistencecontroller.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <thread>

namespace {

const Instant now = Instants::fromSecondsSince1970(1772452800.5);

Instant micros(qint64 count)
{
    return Instant{Duration{count}};
}

// A second, plain connection to a store file: what another process would see, and a way to get in the store's way.
class RawDatabase
{
public:
    explicit RawDatabase(const QString &path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr);
    }
    ~RawDatabase() { sqlite3_close_v2(m_db); }
    RawDatabase(const RawDatabase &) = delete;
    RawDatabase &operator=(const RawDatabase &) = delete;

    bool exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    // The first column of the first row as text; a null string when the query fails or yields nothing.
    QString value(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        QString out;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) == SQLITE_OK
            && sqlite3_step(statement) == SQLITE_ROW)
            out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return out;
    }

private:
    sqlite3 *m_db = nullptr;
};

QString text(bool v)
{
    return v ? u"true"_qs : u"false"_qs;
}
QString text(Instant t)
{
    return QString::number(t.time_since_epoch().count());
}
QString text(const std::optional<Instant> &t)
{
    return t ? QString::number(t->time_since_epoch().count()) : u"none"_qs;
}
QString text(const std::optional<int> &v)
{
    return v ? QString::number(*v) : u"none"_qs;
}
QString text(const std::optional<bool> &v)
{
    return v ? (*v ? u"true"_qs : u"false"_qs) : u"none"_qs;
}
QString text(const std::optional<QString> &v)
{
    return v ? u'"' + *v + u'"' : u"none"_qs;
}
QString text(const QList<int> &v)
{
    QStringList parts;
    for (int i : v)
        parts.append(QString::number(i));
    return u'[' + parts.join(u',') + u']';
}
QString text(const QStringList &v)
{
    return u'[' + v.join(u',') + u']';
}

// Every column of every live record, with its store identifier: two stores with equal lines hold the same data.
QStringList describe(StoreContext &context)
{
    QStringList out;
    for (const AppMeta *r : context.fetch<AppMeta>())
        out << (QStringList{r->storeID().text(), r->bundleID(), text(r->isPinned()), QString::number(r->launchCount()),
                            text(r->lastLaunchedAt()), text(r->firstSeenAt()), text(r->missingSince()),
                            text(r->sortIndex()), text(r->isHidden()), text(r->aliasName())})
                   .join(u" | ");
    for (const AppGroup *r : context.fetch<AppGroup>())
        out << (QStringList{r->storeID().text(), r->name(), QString::number(r->sortIndex()), text(r->bundleIDs()),
                            text(r->stableID()), r->refID()})
                   .join(u" | ");
    for (const RestrictionRule *r : context.fetch<RestrictionRule>())
        out << (QStringList{r->storeID().text(), QString::number(r->targetKindRaw()), r->targetID(),
                            QString::number(r->startMinute()), QString::number(r->endMinute()), text(r->weekdays()),
                            text(r->isEnabled()), text(r->pausedUntil()), text(r->onceDate())})
                   .join(u" | ");
    for (const QuitPlan *r : context.fetch<QuitPlan>())
        out << (QStringList{r->storeID().text(), QString::number(r->targetKindRaw()), r->groupID(),
                            text(r->bundleIDs()), QString::number(r->quitMinute()), text(r->weekdays()),
                            QString::number(r->blockModeRaw()), QString::number(r->blockMinutes()),
                            QString::number(r->blockUntilMinute()), text(r->isEnabled()), text(r->pausedUntil())})
                   .join(u" | ");
    for (const AdHocBlock *r : context.fetch<AdHocBlock>())
        out << (QStringList{r->storeID().text(), r->bundleID(), text(r->until())}).join(u" | ");
    return out;
}

class TempBase
{
public:
    TempBase() { QVERIFY(m_dir.isValid()); }
    QString path() const { return m_dir.path(); }
    QString storeFile() const { return m_dir.path() + u"/Tarnwick/Tarnwick.store"_qs; }
    ContainerResult open() const { return PersistenceController::makeContainer(false, [] { return now; }, path()); }
    void writeFile(const QString &relative, const QByteArray &bytes) const
    {
        const QString full = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(full).path());
        QFile f(full);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private:
    QTemporaryDir m_dir;
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A store file with one saved row of each type, through the store itself.
void makeStoreWithRows(const TempBase &base)
{
    auto opened = base.open();
    QVERIFY(opened.container);
    StoreContext &context = opened.container->mainContext();
    context.fetchOrCreateMeta(u"com.example.a"_qs);
    context.insert(std::make_unique<AppGroup>(u"g"_qs, 0, QStringList{u"com.example.a"_qs}));
    context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"com.example.a"_qs, 0, 60,
                                                     QList<int>{1}, true, std::nullopt));
    context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{u"com.example.a"_qs}, 0,
                                              QList<int>{1}, QuitPlanBlockMode::none, 0, 0, true));
    context.insert(std::make_unique<AdHocBlock>(u"com.example.a"_qs, now));
    QVERIFY(context.save() == SaveResult::saved);
}

} // namespace

class TestPersistenceController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstStartCreatesFolderAndFile();
    void defaultFolderIsTheUsersDataFolder();
    void unusableLocation_data();
    void unusableLocation();
    void unreadableFile_data();
    void unreadableFile();
    void readOnlyFileIsRefused();
    void secondStoreOnOneFileIsRefused();
    void inMemoryTouchesNoDisk();
    void reopenShowsEveryValue();
    void datesSurviveReopen_data();
    void datesSurviveReopen();
    void failedSaveKeepsChangesPending_data();
    void failedSaveKeepsChangesPending();
    void refusedChangeHoldsBackOnlyWhatItTouches_data();
    void refusedChangeHoldsBackOnlyWhatItTouches();
    void discardAfterAPartlyWrittenSave();
    void laterSaveAlsoWritesOlderUnrelatedChanges();
    void waitsForAnotherConnectionsWrite_data();
    void waitsForAnotherConnectionsWrite();
    void numbersAreNeverReusedAcrossStarts();
    void migration_data();
    void migration();
    void migrationAcrossStarts();
    void storeOfVersion1();
};

void TestPersistenceController::firstStartCreatesFolderAndFile()
{
    TempBase temp;
    const QString base = temp.path() + u"/missing/parents"_qs;
    auto opened = PersistenceController::makeContainer(false, [] { return now; }, base);
    QVERIFY(opened.container);
    QVERIFY(!opened.error);
    QCOMPARE(opened.container->filePath(), base + u"/Tarnwick/Tarnwick.store"_qs);
    QVERIFY(!opened.container->isInMemory());
    QVERIFY(QFileInfo(opened.container->filePath()).isFile());

    StoreContext &context = opened.container->mainContext();
    PersistenceController::migrateGroupReferencesToStableID(context);
    QVERIFY(!context.hasChanges());
    QCOMPARE(context.count<AppGroup>(), 0);
    RawDatabase raw(opened.container->filePath());
    QCOMPARE(raw.value("SELECT value FROM StoreInfo WHERE key = 'schemaVersion'"), u"1.0.0"_qs);
    QCOMPARE(raw.value("SELECT (SELECT count(*) FROM AppMeta) + (SELECT count(*) FROM AppGroup) + "
                       "(SELECT count(*) FROM RestrictionRule) + (SELECT count(*) FROM QuitPlan) + "
                       "(SELECT count(*) FROM AdHocBlock)"),
             u"0"_qs);
    opened.container.reset();

    // The folder being there already is fine.
    auto again = PersistenceController::makeContainer(false, [] { return now; }, base);
    QVERIFY(again.container);
}

void TestPersistenceController::defaultFolderIsTheUsersDataFolder()
{
    const QString root = qEnvironmentVariable("TARNWICK_TEST_ROOT");
    if (root.isEmpty() || !qEnvironmentVariable("XDG_DATA_HOME").startsWith(root))
        QSKIP("runs only in the private home the test runner makes");
    auto opened = PersistenceController::makeContainer(false, [] { return now; });
    QVERIFY(opened.container);
    QCOMPARE(opened.container->filePath(), qEnvironmentVariable("XDG_DATA_HOME") + u"/Tarnwick/Tarnwick.store"_qs);
    QCOMPARE(opened.container->filePath(), DataLocation::dataFolder() + u"/Tarnwick.store"_qs);
}

void TestPersistenceController::unusableLocation_data()
{
    QTest::addColumn<QString>("file");    // a regular file made first, relative to the temporary folder
    QTest::addColumn<QString>("base");    // the base folder handed in
    QTest::addColumn<QString>("folder");  // made as a folder first, if any
    QTest::addColumn<StoreOpenError>("error");
    QTest::newRow("the base is a regular file") << "base" << "base" << "" << StoreOpenError::folderUnavailable;
    QTest::newRow("the base lies under a regular file") << "file" << "file/base" << ""
                                                        << StoreOpenError::folderUnavailable;
    QTest::newRow("a regular file is named Tarnwick") << "base/Tarnwick" << "base" << ""
                                                      << StoreOpenError::folderUnavailable;
    QTest::newRow("the store file is a folder") << "" << "base" << "base/Tarnwick/Tarnwick.store"
                                                << StoreOpenError::cannotOpen;
}

void TestPersistenceController::unusableLocation()
{
    QFETCH(QString, file);
    QFETCH(QString, base);
    QFETCH(QString, folder);
    QFETCH(StoreOpenError, error);
    TempBase temp;
    if (!file.isEmpty())
        temp.writeFile(file, "not a folder");
    if (!folder.isEmpty())
        QVERIFY(QDir(temp.path()).mkpath(folder));
    auto opened = PersistenceController::makeContainer(false, [] { return now; }, temp.path() + u'/' + base);
    QVERIFY(!opened.container);
    QCOMPARE(opened.error, std::optional(error));
    if (!file.isEmpty())
        QCOMPARE(fileBytes(temp.path() + u'/' + file), QByteArray("not a folder"));
}

void TestPersistenceController::unreadableFile_data()
{
    QTest::addColumn<QString>("damage"); // what is done to a store file with rows (or instead of one)
    QTest::addColumn<std::optional<StoreOpenError>>("error");
    QTest::newRow("bytes of no database") << "garbage" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("a database of another program") << "foreign" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("a store of another schema version")
        << "version" << std::optional(StoreOpenError::unsupportedVersion);
    QTest::newRow("a store without its version") << "no version" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("a store missing a table") << "drop table" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("a store with a column missing") << "drop column" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("a store with damaged pages") << "overwrite page" << std::optional(StoreOpenError::damaged);
    QTest::newRow("a truncated store") << "truncate" << std::optional(StoreOpenError::damaged);
    // These two pass SQLite's quick check and load rows of garbage whose index no longer matches.
    QTest::newRow("a flipped bit in an app's identifier") << "flip" << std::optional(StoreOpenError::damaged);
    QTest::newRow("a store cut short by one byte") << "cut 1" << std::optional(StoreOpenError::damaged);
    QTest::newRow("a store cut short by 67 bytes") << "cut 67" << std::optional(StoreOpenError::damaged);
    QTest::newRow("a file of one letter") << "x" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("a file of one newline") << "newline" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("a file of 511 zero bytes") << "zeros" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("an empty database another program marked as its own")
        << "foreign empty" << std::optional(StoreOpenError::notAStore);
    QTest::newRow("an empty file becomes a new store") << "empty" << std::optional<StoreOpenError>();
}

void TestPersistenceController::unreadableFile()
{
    QFETCH(QString, damage);
    QFETCH(std::optional<StoreOpenError>, error);
    TempBase temp;
    const QString path = temp.storeFile();
    if (damage == u"garbage") {
        QByteArray bytes;
        for (int i = 0; i < 8192; ++i)
            bytes.append(char((i * 7919) % 251));
        temp.writeFile(u"Tarnwick/Tarnwick.store"_qs, bytes);
    } else if (damage == u"foreign") {
        QDir().mkpath(QFileInfo(path).path());
        RawDatabase raw(path);
        QVERIFY(raw.exec("CREATE TABLE notes (body TEXT); INSERT INTO notes VALUES ('hello')"));
    } else if (damage == u"foreign empty") {
        QDir().mkpath(QFileInfo(path).path());
        RawDatabase raw(path);
        QVERIFY(raw.exec("PRAGMA application_id = 1234; CREATE TABLE t (x); DROP TABLE t"));
    } else if (damage == u"empty" || damage == u"x" || damage == u"newline" || damage == u"zeros") {
        temp.writeFile(u"Tarnwick/Tarnwick.store"_qs, damage == u"x"         ? QByteArray("x")
                                                      : damage == u"newline" ? QByteArray("\n")
                                                      : damage == u"zeros"   ? QByteArray(511, '\0')
                                                                             : QByteArray());
    } else {
        makeStoreWithRows(temp);
        if (damage == u"version" || damage == u"no version" || damage == u"drop table" || damage == u"drop column") {
            RawDatabase raw(path);
            const char *sql = damage == u"version"      ? "UPDATE StoreInfo SET value = '2.0.0'"
                              : damage == u"no version" ? "DELETE FROM StoreInfo"
                              : damage == u"drop table" ? "DROP TABLE QuitPlan"
                                                        : "ALTER TABLE AppGroup DROP COLUMN stableID";
            QVERIFY(raw.exec(sql));
        } else {
            QByteArray bytes = fileBytes(path);
            QVERIFY(bytes.size() > 3 * 4096);
            if (damage == u"truncate") {
                bytes.truncate(2 * 4096 + 100);
            } else if (damage.startsWith(u"cut ")) {
                bytes.chop(damage.mid(4).toInt());
            } else if (damage == u"flip") {
                // The first copy of the identifier, in the table or in its index: either way the two disagree.
                const qsizetype at = bytes.indexOf("com.example.a");
                QVERIFY(at > 0);
                bytes[at + 12] = char(bytes[at + 12] ^ 0x02);
            } else
                bytes.replace(2 * 4096, 4096, QByteArray(4096, '\x5a'));
            temp.writeFile(u"Tarnwick/Tarnwick.store"_qs, bytes);
        }
    }

    const QByteArray before = fileBytes(path);
    auto opened = temp.open();
    QCOMPARE(opened.error, error);
    QCOMPARE(bool(opened.container), !error);
    if (error) {
        QVERIFY(opened.message.contains(path)); // the program stops with this line
        QCOMPARE(opened.message, storeOpenErrorMessage(*error, path));
        opened.container.reset();
        QCOMPARE(fileBytes(path), before); // a file that cannot be opened is left as it was
    } else {
        QVERIFY(opened.message.isEmpty());
    }
}

void TestPersistenceController::readOnlyFileIsRefused()
{
    // What SQLite does when the file cannot be opened for writing (a read-only mount, an immutable file): it opens
    // it for reading only. Made here with the open flag, since tests run as root.
    TempBase temp;
    makeStoreWithRows(temp);
    const QByteArray before = fileBytes(temp.storeFile());
    auto opened = StoreContainer::open(temp.storeFile(), [] { return now; }, StoreFileAccess::readOnly);
    QVERIFY(!opened.container);
    QCOMPARE(opened.error, std::optional(StoreOpenError::readOnly));
    QCOMPARE(opened.message, u"数据文件 "_qs + temp.storeFile() + u" 或它所在的文件夹无法写入。"_qs);
    QCOMPARE(fileBytes(temp.storeFile()), before);
    QVERIFY(temp.open().container); // and nothing of it stays in the way
}

void TestPersistenceController::secondStoreOnOneFileIsRefused()
{
    TempBase temp;
    auto first = temp.open();
    QVERIFY(first.container);
    first.container->mainContext().fetchOrCreateMeta(u"com.example.a"_qs);
    QVERIFY(first.container->mainContext().save() == SaveResult::saved);

    auto second = temp.open();
    QVERIFY(!second.container);
    QCOMPARE(second.error, std::optional(StoreOpenError::inUse));
    QCOMPARE(second.message, u"数据文件 "_qs + temp.storeFile() + u" 正被另一个运行中的 Tarnwick 使用。"_qs);
    // The refusal costs the first store nothing.
    first.container->mainContext().fetchOrCreateMeta(u"com.example.b"_qs);
    QVERIFY(first.container->mainContext().save() == SaveResult::saved);

    // An in-memory store is no file and never in the way.
    QVERIFY(PersistenceController::makeContainer(true, [] { return now; }).container);
    first.container.reset();
    auto third = temp.open();
    QVERIFY(third.container);
    QCOMPARE(third.container->mainContext().count<AppMeta>(), 2);
}

void TestPersistenceController::inMemoryTouchesNoDisk()
{
    TempBase temp;
    auto opened = PersistenceController::makeContainer(true, [] { return now; }, temp.path() + u"/base"_qs);
    QVERIFY(opened.container);
    QVERIFY(opened.container->isInMemory());
    QVERIFY(opened.container->filePath().isEmpty());
    StoreContext &context = opened.container->mainContext();
    context.insert(std::make_unique<AppGroup>(u"g"_qs, 0, QStringList{}));
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});

    // Another in-memory store starts empty.
    auto other = PersistenceController::makeContainer(true, [] { return now; });
    QCOMPARE(other.container->mainContext().count<AppGroup>(), 0);
}

void TestPersistenceController::reopenShowsEveryValue()
{
    TempBase temp;
    QStringList before;
    {
        auto opened = temp.open();
        QVERIFY(opened.container);
        StoreContext &context = opened.container->mainContext();

        AppMeta *full = context.fetchOrCreateMeta(u"com.example.full"_qs);
        full->setIsPinned(true);
        full->setLaunchCount(42);
        full->setLastLaunchedAt(micros(1772452800123457));
        full->setMissingSince(micros(1769904000000001));
        full->setSortIndex(-3);
        full->setIsHidden(true);
        full->setAliasName(u"名字 with\ttab"_qs);
        AppMeta *bare = context.fetchOrCreateMeta(u"com.example.bare"_qs);
        bare->setIsHidden(std::nullopt);
        AppMeta *empty = context.fetchOrCreateMeta(u"com.example.empty-alias"_qs);
        empty->setAliasName(QString(u""_qs));

        auto *legacy = context.insert(std::make_unique<AppGroup>(
            u"工作/学习"_qs, 2, QStringList{u"com.example.x"_qs, u"com.example.y"_qs, u"com.example.x"_qs}));
        legacy->setStableID(std::nullopt);
        context.insert(std::make_unique<AppGroup>(u"empty"_qs, -1, QStringList{}));

        auto *odd = context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"com.example.x"_qs,
                                                                     1439, 0, QList<int>{7, 1, 7, 3}, false,
                                                                     std::nullopt));
        odd->setTargetKindRaw(7);
        odd->setPausedUntil(micros(1772460000000009));
        context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, legacy->refID(), 60, 120,
                                                         QList<int>{}, true, micros(1772409600000000)));

        auto *plan = context.insert(std::make_unique<QuitPlan>(
            QuitPlanTarget::apps, QString(), QStringList{u"b"_qs, u"a"_qs, u"b"_qs}, 1380, QList<int>{},
            QuitPlanBlockMode::minutes, -1, 2000, true));
        plan->setBlockModeRaw(9);
        plan->setTargetKindRaw(5);
        plan->setPausedUntil(micros(-1));
        context.insert(std::make_unique<AdHocBlock>(u"com.example.full"_qs, micros(1772456400250000)));

        before = describe(context);
        QVERIFY(context.save() == SaveResult::saved);
        QCOMPARE(describe(context), before);
    }

    auto reopened = temp.open();
    QVERIFY(reopened.container);
    StoreContext &context = reopened.container->mainContext();
    QCOMPARE(describe(context), before);
    // The lines cover these; spelled out where a mix-up would be easy.
    QCOMPARE(context.meta(u"com.example.bare"_qs)->isHidden(), std::nullopt);
    QCOMPARE(context.meta(u"com.example.bare"_qs)->snapshot().isHidden, false);
    QCOMPARE(context.meta(u"com.example.bare"_qs)->aliasName(), std::nullopt);
    QCOMPARE(context.meta(u"com.example.empty-alias"_qs)->aliasName(), std::optional(QString()));
    QCOMPARE(context.meta(u"com.example.full"_qs)->firstSeenAt(), now);
    const AppGroup *legacy = context.fetch<AppGroup>().first();
    QCOMPARE(legacy->refID(), u"x-tarnwick://AppGroup/p1"_qs);
    QCOMPARE(context.fetch<RestrictionRule>().last()->targetID(), legacy->refID());
    QCOMPARE(context.fetch<QuitPlan>().first()->blockMode(), QuitPlanBlockMode::none);
    QCOMPARE(context.fetch<QuitPlan>().first()->blockModeRaw(), 9);
}

void TestPersistenceController::datesSurviveReopen_data()
{
    QTest::addColumn<Instant>("date");
    QTest::newRow("microseconds") << micros(1772452800123456);
    QTest::newRow("the 1970 epoch") << micros(0);
    QTest::newRow("one microsecond before 1970") << micros(-1);
    QTest::newRow("the distant past") << Instants::distantPast();
    QTest::newRow("the last microsecond of 9999") << micros(253402300799999999);
}

void TestPersistenceController::datesSurviveReopen()
{
    QFETCH(Instant, date);
    TempBase temp;
    {
        auto opened = temp.open();
        StoreContext &context = opened.container->mainContext();
        context.insert(std::make_unique<AdHocBlock>(u"a"_qs, date));
        context.fetchOrCreateMeta(u"a"_qs)->setLastLaunchedAt(date);
        QVERIFY(context.save() == SaveResult::saved);
    }
    auto reopened = temp.open();
    StoreContext &context = reopened.container->mainContext();
    QCOMPARE(context.fetch<AdHocBlock>().first()->until(), date);
    QCOMPARE(context.meta(u"a"_qs)->lastLaunchedAt(), std::optional(date));
}

void TestPersistenceController::failedSaveKeepsChangesPending_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("the file refuses a row") << "trigger";
    QTest::newRow("another connection holds the file") << "lock";
    QTest::newRow("another connection reads while the save commits") << "read";
}

void TestPersistenceController::failedSaveKeepsChangesPending()
{
    QFETCH(QString, obstacle);
    TempBase temp;
    auto opened = temp.open();
    QVERIFY(opened.container);
    StoreContext &context = opened.container->mainContext();
    AppMeta *meta = context.fetchOrCreateMeta(u"com.example.a"_qs);
    QVERIFY(context.save() == SaveResult::saved);

    RawDatabase raw(temp.storeFile());
    if (obstacle == u"trigger") {
        QVERIFY(raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON QuitPlan BEGIN SELECT RAISE(ABORT, 'no'); END"));
    } else if (obstacle == u"lock") {
        QVERIFY(raw.exec("BEGIN EXCLUSIVE"));
    } else {
        // An open read keeps the commit from taking the file: the writes went through and the commit fails.
        QVERIFY(raw.exec("BEGIN"));
        QCOMPARE(raw.value("SELECT count(*) FROM AppMeta"), u"1"_qs);
    }

    // Rows of several tables, the plan last: a failure on it must take the others with it.
    context.insert(std::make_unique<AppGroup>(u"g"_qs, 0, QStringList{}));
    meta->setIsPinned(true);
    context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::group, u"G"_qs, QStringList{}, 0, QList<int>{},
                                              QuitPlanBlockMode::none, 0, 0, true));
    const auto mark = context.mark();
    QVERIFY(context.save() == SaveResult::failed);
    QVERIFY(context.hasChanges());
    QCOMPARE(context.count<AppGroup>(), 1);
    QCOMPARE(meta->isPinned(), true);
    QVERIFY(context.save() == SaveResult::failed); // and again, while the obstacle stays

    // A failed save leaves marks usable: what came after one is taken back, what came before stays.
    context.insert(std::make_unique<AdHocBlock>(u"com.example.a"_qs, now));
    QVERIFY(context.rollback(mark));
    QCOMPARE(context.count<AdHocBlock>(), 0);
    QCOMPARE(context.count<QuitPlan>(), 1);

    if (obstacle == u"trigger") {
        QCOMPARE(raw.value("SELECT count(*) FROM AppGroup"), u"0"_qs);
        QCOMPARE(raw.value("SELECT isPinned FROM AppMeta"), u"0"_qs);
        QVERIFY(raw.exec("DROP TRIGGER refuse"));
    } else {
        QVERIFY(raw.exec("ROLLBACK"));
    }
    QCOMPARE(raw.value("SELECT count(*) FROM AppGroup"), u"0"_qs);
    context.fetchOrCreateMeta(u"com.example.b"_qs); // a change made after the failure
    QVERIFY(context.save() == SaveResult::saved);
    QVERIFY(!context.hasChanges());
    const QStringList saved = describe(context);
    opened.container.reset();

    auto reopened = temp.open();
    QCOMPARE(describe(reopened.container->mainContext()), saved);
    QCOMPARE(reopened.container->mainContext().count<QuitPlan>(), 1);
    QCOMPARE(reopened.container->mainContext().meta(u"com.example.a"_qs)->isPinned(), true);
}

void TestPersistenceController::refusedChangeHoldsBackOnlyWhatItTouches_data()
{
    QTest::addColumn<QString>("later");  // what the save after the refused one changes
    QTest::addColumn<bool>("written");   // whether that save writes it
    QTest::newRow("another app") << "other app" << true;
    QTest::newRow("a new group") << "new group" << true;
    QTest::newRow("the refused plan itself") << "plan" << false;
    QTest::newRow("an app the refused save also changed") << "same app" << false;
    QTest::newRow("the refused plan and another app in one save") << "plan and other app" << false;
}

void TestPersistenceController::refusedChangeHoldsBackOnlyWhatItTouches()
{
    // A save the file refuses for good (here a trigger; a damaged page would do the same) is ignored by its caller.
    // It stays pending, and must not take every later save down with it.
    QFETCH(QString, later);
    QFETCH(bool, written);
    TempBase temp;
    auto opened = temp.open();
    StoreContext &context = opened.container->mainContext();
    AppMeta *a = context.fetchOrCreateMeta(u"com.example.a"_qs);
    AppMeta *b = context.fetchOrCreateMeta(u"com.example.b"_qs);
    QVERIFY(context.save() == SaveResult::saved);
    RawDatabase raw(temp.storeFile());
    QVERIFY(raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON QuitPlan BEGIN SELECT RAISE(ABORT, 'no'); END"));

    auto *plan = context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{}, 0,
                                                           QList<int>{1}, QuitPlanBlockMode::none, 0, 0, true));
    a->setIsPinned(true);
    QVERIFY(context.save() == SaveResult::failed);

    if (later.contains(u"plan"))
        plan->setQuitMinute(90);
    if (later.contains(u"other app"))
        b->setLaunchCount(3);
    if (later == u"same app")
        a->setLaunchCount(5);
    if (later == u"new group")
        context.insert(std::make_unique<AppGroup>(u"g"_qs, 0, QStringList{}));
    QCOMPARE(context.save(), written ? SaveResult::saved : SaveResult::failed);
    QVERIFY(context.hasChanges()); // the refused plan stays pending either way
    QCOMPARE(raw.value("SELECT count(*) FROM QuitPlan"), u"0"_qs);
    QCOMPARE(raw.value("SELECT isPinned FROM AppMeta WHERE bundleID = 'com.example.a'"), u"0"_qs);
    const QString launches = raw.value("SELECT launchCount FROM AppMeta WHERE bundleID = 'com.example.b'");
    const QString groups = raw.value("SELECT count(*) FROM AppGroup");
    if (later == u"other app")
        QCOMPARE(launches, u"3"_qs);
    else if (later == u"new group")
        QCOMPARE(groups, u"1"_qs);
    else
        QCOMPARE(launches + groups, u"00"_qs);

    // Once the file takes it, the next save writes whatever is still pending.
    QVERIFY(raw.exec("DROP TRIGGER refuse"));
    QVERIFY(context.save() == SaveResult::saved);
    QVERIFY(!context.hasChanges());
    const QStringList saved = describe(context);
    opened.container.reset();
    QCOMPARE(describe(temp.open().container->mainContext()), saved);
}

void TestPersistenceController::discardAfterAPartlyWrittenSave()
{
    // Going back to the saved state undoes the refused change only: what a later save wrote is the saved state.
    TempBase temp;
    auto opened = temp.open();
    StoreContext &context = opened.container->mainContext();
    AppMeta *a = context.fetchOrCreateMeta(u"com.example.a"_qs);
    QVERIFY(context.save() == SaveResult::saved);
    RawDatabase raw(temp.storeFile());
    QVERIFY(raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON QuitPlan BEGIN SELECT RAISE(ABORT, 'no'); END"));
    context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{}, 0, QList<int>{1},
                                              QuitPlanBlockMode::none, 0, 0, true));
    QVERIFY(context.save() == SaveResult::failed);
    const auto markBefore = context.mark();
    a->setIsPinned(true);
    QVERIFY(context.save() == SaveResult::saved);
    QVERIFY(!context.rollback(markBefore)); // stale: the save wrote something

    context.discardPendingChanges();
    QVERIFY(!context.hasChanges());
    QCOMPARE(context.count<QuitPlan>(), 0);
    QCOMPARE(a->isPinned(), true);
    QVERIFY(raw.exec("DROP TRIGGER refuse"));
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(raw.value("SELECT count(*) FROM QuitPlan"), u"0"_qs);
    QCOMPARE(raw.value("SELECT isPinned FROM AppMeta"), u"1"_qs);
}

void TestPersistenceController::laterSaveAlsoWritesOlderUnrelatedChanges()
{
    // Three saves pending at once: a plan the file refuses for good, an app's change the file refused only for a
    // while, and a new group. The third save writes its own group and the app's change, and leaves the plan.
    TempBase temp;
    auto opened = temp.open();
    StoreContext &context = opened.container->mainContext();
    AppMeta *b = context.fetchOrCreateMeta(u"com.example.b"_qs);
    QVERIFY(context.save() == SaveResult::saved);
    RawDatabase raw(temp.storeFile());
    QVERIFY(raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON QuitPlan BEGIN SELECT RAISE(ABORT, 'no'); END"));
    QVERIFY(raw.exec("CREATE TRIGGER refuseForNow BEFORE UPDATE ON AppMeta BEGIN SELECT RAISE(ABORT, 'no'); END"));

    context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{}, 0, QList<int>{1},
                                              QuitPlanBlockMode::none, 0, 0, true));
    QVERIFY(context.save() == SaveResult::failed);
    b->setLaunchCount(7);
    QVERIFY(context.save() == SaveResult::failed);
    QVERIFY(raw.exec("DROP TRIGGER refuseForNow"));
    context.insert(std::make_unique<AppGroup>(u"g"_qs, 0, QStringList{}));
    QVERIFY(context.save() == SaveResult::saved);

    QCOMPARE(raw.value("SELECT count(*) FROM AppGroup"), u"1"_qs);
    QCOMPARE(raw.value("SELECT launchCount FROM AppMeta"), u"7"_qs);
    QCOMPARE(raw.value("SELECT count(*) FROM QuitPlan"), u"0"_qs);
    QVERIFY(context.hasChanges());
    QVERIFY(context.save() == SaveResult::failed); // nothing of its own, and the plan is still refused
    QVERIFY(raw.exec("DROP TRIGGER refuse"));
    QVERIFY(context.save() == SaveResult::saved);
    QCOMPARE(raw.value("SELECT count(*) FROM QuitPlan"), u"1"_qs);
}

void TestPersistenceController::waitsForAnotherConnectionsWrite_data()
{
    QTest::addColumn<bool>("whileOpening");
    QTest::newRow("opening the store") << true;
    QTest::newRow("saving") << false;
}

void TestPersistenceController::waitsForAnotherConnectionsWrite()
{
    // Another connection writes for a moment (say, the previous run of the program finishing its last save).
    QFETCH(bool, whileOpening);
    TempBase temp;
    makeStoreWithRows(temp);
    ContainerResult opened;
    if (!whileOpening) {
        opened = temp.open();
        QVERIFY(opened.container);
        opened.container->mainContext().fetchOrCreateMeta(u"com.example.b"_qs);
    }
    RawDatabase raw(temp.storeFile());
    QVERIFY(raw.exec("BEGIN EXCLUSIVE"));
    std::thread writer([&raw] {
        std::this_thread::sleep_for(50ms);
        std::ignore = raw.exec("COMMIT");
    });
    bool done = false;
    if (whileOpening) {
        opened = temp.open();
        done = bool(opened.container);
    } else {
        done = opened.container->mainContext().save() == SaveResult::saved;
    }
    writer.join();
    QVERIFY(done);
    if (!whileOpening)
        QCOMPARE(raw.value("SELECT count(*) FROM AppMeta"), u"2"_qs);
}

void TestPersistenceController::numbersAreNeverReusedAcrossStarts()
{
    TempBase temp;
    {
        auto opened = temp.open();
        StoreContext &context = opened.container->mainContext();
        for (const auto &name : {u"1"_qs, u"2"_qs, u"3"_qs})
            context.insert(std::make_unique<AppGroup>(name, 0, QStringList{}));
        AppMeta *meta = context.fetchOrCreateMeta(u"a"_qs);
        QVERIFY(context.save() == SaveResult::saved);
        context.remove(context.fetch<AppGroup>().last());
        context.remove(meta);
        QVERIFY(context.save() == SaveResult::saved);
        // Given out and taken back before any save: still never given again.
        const auto mark = context.mark();
        context.insert(std::make_unique<AdHocBlock>(u"a"_qs, now));
        QVERIFY(context.rollback(mark));
        QVERIFY(context.save() == SaveResult::saved);
    }
    auto reopened = temp.open();
    StoreContext &context = reopened.container->mainContext();
    QCOMPARE(context.insert(std::make_unique<AppGroup>(u"4"_qs, 0, QStringList{}))->storeID().number, 4);
    QCOMPARE(context.fetchOrCreateMeta(u"a"_qs)->storeID().number, 2);
    QCOMPARE(context.insert(std::make_unique<AdHocBlock>(u"a"_qs, now))->storeID().number, 2);
}

void TestPersistenceController::migration_data()
{
    QTest::addColumn<QString>("record");      // "rule" or "plan"
    QTest::addColumn<int>("kindRaw");
    QTest::addColumn<bool>("groupHasStableID");
    QTest::addColumn<QString>("reference");   // "store text", "stable id", "deleted group", "bundle"
    QTest::addColumn<bool>("rewritten");

    QTest::newRow("group rule by store text") << "rule" << 1 << false << "store text" << true;
    QTest::newRow("group rule by store text of a group with a stable id") << "rule" << 1 << true << "store text"
                                                                          << true;
    QTest::newRow("group rule already holding the stable id") << "rule" << 1 << true << "stable id" << false;
    QTest::newRow("group rule naming a deleted group") << "rule" << 1 << false << "deleted group" << false;
    QTest::newRow("group rule naming an app") << "rule" << 1 << false << "bundle" << false;
    QTest::newRow("app rule holding the store text") << "rule" << 0 << false << "store text" << false;
    QTest::newRow("rule of raw kind 7 holding the store text") << "rule" << 7 << false << "store text" << false;
    QTest::newRow("group plan by store text") << "plan" << 0 << false << "store text" << true;
    QTest::newRow("group plan already holding the stable id") << "plan" << 0 << true << "stable id" << false;
    QTest::newRow("group plan naming a deleted group") << "plan" << 0 << true << "deleted group" << false;
    QTest::newRow("app plan holding the store text") << "plan" << 1 << false << "store text" << false;
    QTest::newRow("plan of raw kind 7 holding the store text") << "plan" << 7 << true << "store text" << false;
}

void TestPersistenceController::migration()
{
    QFETCH(QString, record);
    QFETCH(int, kindRaw);
    QFETCH(bool, groupHasStableID);
    QFETCH(QString, reference);
    QFETCH(bool, rewritten);
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    StoreContext &context = opened.container->mainContext();
    AppGroup *group = context.insert(std::make_unique<AppGroup>(u"g"_qs, 0, QStringList{}));
    if (!groupHasStableID)
        group->setStableID(std::nullopt);
    AppGroup *deleted = context.insert(std::make_unique<AppGroup>(u"deleted"_qs, 1, QStringList{}));
    deleted->setStableID(std::nullopt);
    const QString deletedText = deleted->storeID().text();
    context.remove(deleted);
    const QString stableBefore = group->stableID().value_or(QString());

    const QString target = reference == u"store text"      ? group->storeID().text()
                           : reference == u"stable id"     ? stableBefore
                           : reference == u"deleted group" ? deletedText
                                                           : u"com.example.a"_qs;
    RestrictionRule *rule = nullptr;
    QuitPlan *plan = nullptr;
    if (record == u"rule") {
        rule = context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, target, 0, 60, QList<int>{1},
                                                                true, std::nullopt));
        rule->setTargetKindRaw(kindRaw);
    } else {
        plan = context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::group, target, QStringList{}, 0,
                                                         QList<int>{1}, QuitPlanBlockMode::none, 0, 0, true));
        plan->setTargetKindRaw(kindRaw);
    }
    QVERIFY(context.save() == SaveResult::saved);
    context.fetchOrCreateMeta(u"unrelated"_qs); // pending: written only if the migration saves

    PersistenceController::migrateGroupReferencesToStableID(context);

    QVERIFY(group->stableID());
    if (groupHasStableID)
        QCOMPARE(*group->stableID(), stableBefore);
    const QString after = rule ? rule->targetID() : plan->groupID();
    QCOMPARE(after, rewritten ? *group->stableID() : target);
    const bool changed = !groupHasStableID || rewritten;
    QCOMPARE(context.hasChanges(), !changed);
    QVERIFY(deleted->isDeleted());

    // Run again: nothing left to do, nothing saved.
    const QString stableAfter = *group->stableID();
    PersistenceController::migrateGroupReferencesToStableID(context);
    QCOMPARE(*group->stableID(), stableAfter);
    QCOMPARE(rule ? rule->targetID() : plan->groupID(), after);
}

void TestPersistenceController::migrationAcrossStarts()
{
    TempBase temp;
    QString storeText;
    {
        auto opened = temp.open();
        StoreContext &context = opened.container->mainContext();
        AppGroup *group = context.insert(std::make_unique<AppGroup>(u"g"_qs, 0, QStringList{}));
        group->setStableID(std::nullopt);
        storeText = group->refID();
        context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, storeText, 0, 60, QList<int>{1},
                                                         true, std::nullopt));
        QVERIFY(context.save() == SaveResult::saved);
    }

    // A start whose save fails: the work is lost and done again next time.
    {
        RawDatabase raw(temp.storeFile());
        QVERIFY(raw.exec("CREATE TRIGGER refuse BEFORE UPDATE ON AppGroup BEGIN SELECT RAISE(ABORT, 'no'); END"));
        auto opened = temp.open();
        StoreContext &context = opened.container->mainContext();
        PersistenceController::migrateGroupReferencesToStableID(context);
        QVERIFY(context.hasChanges());
        QVERIFY(context.fetch<AppGroup>().first()->stableID()); // in memory it is done
        QVERIFY(raw.exec("DROP TRIGGER refuse"));
    }
    QString stableID;
    {
        auto opened = temp.open();
        StoreContext &context = opened.container->mainContext();
        QCOMPARE(context.fetch<AppGroup>().first()->stableID(), std::nullopt);
        PersistenceController::migrateGroupReferencesToStableID(context);
        QVERIFY(!context.hasChanges());
        stableID = context.fetch<AppGroup>().first()->stableID().value_or(QString());
        QCOMPARE(context.fetch<RestrictionRule>().first()->targetID(), stableID);
    }
    {
        auto opened = temp.open();
        StoreContext &context = opened.container->mainContext();
        QCOMPARE(context.fetch<AppGroup>().first()->stableID(), std::optional(stableID));
        QCOMPARE(context.fetch<AppGroup>().first()->storeID().text(), storeText);
        QCOMPARE(context.fetch<RestrictionRule>().first()->targetID(), stableID);
        context.fetchOrCreateMeta(u"unrelated"_qs);
        PersistenceController::migrateGroupReferencesToStableID(context);
        QVERIFY(context.hasChanges()); // nothing to migrate: nothing saved
    }
    auto opened = temp.open();
    QCOMPARE(opened.container->mainContext().count<AppMeta>(), 0);
}

void TestPersistenceController::storeOfVersion1()
{
    // Made by the first version of the store; it must open, unchanged in meaning, in every later one.
    TempBase temp;
    QVERIFY(QDir(temp.path()).mkpath(u"Tarnwick"_qs));
    QVERIFY(QFile::copy(QStringLiteral(TARNWICK_TEST_DATA_DIR "/store-1.0.0.store"), temp.storeFile()));
    QVERIFY(QFile::setPermissions(temp.storeFile(), QFile::ReadOwner | QFile::WriteOwner));
    auto opened = temp.open();
    QVERIFY(opened.container);
    StoreContext &context = opened.container->mainContext();
    const QString work = u"0F8FAD5B-D9CB-469F-A165-70867728950E"_qs;
    const QStringList expected{
        u"x-tarnwick://AppMeta/p1 | com.example.editor | true | 12 | 1772452800123456 | 1767225600500000 | none | 3 "
        "| false | \"编辑器\""_qs,
        u"x-tarnwick://AppMeta/p2 | com.example.old | false | 0 | none | 1700000000000001 | 1769904000750000 | none "
        "| none | none"_qs,
        u"x-tarnwick://AppGroup/p1 | 工作 | 0 | [com.example.editor,com.example.b,com.example.editor] | \""_qs + work
            + u"\" | "_qs + work,
        u"x-tarnwick://AppGroup/p2 | Legacy | 1 | [] | none | x-tarnwick://AppGroup/p2"_qs,
        u"x-tarnwick://RestrictionRule/p1 | 1 | "_qs + work + u" | 1320 | 420 | [2,3,4,5,6] | true | 1772460000500000 "
                                                              "| none"_qs,
        u"x-tarnwick://RestrictionRule/p2 | 7 | com.example.old | 60 | 120 | [] | false | none | 1772409600000000"_qs,
        u"x-tarnwick://QuitPlan/p1 | 0 | x-tarnwick://AppGroup/p2 | [] | 1380 | [1,7,7] | 1 | 30 | 0 | true | none"_qs,
        u"x-tarnwick://QuitPlan/p2 | 1 |  | [com.example.b,com.example.a] | 600 | [3] | 9 | 0 | 720 | false | none"_qs,
        u"x-tarnwick://AdHocBlock/p1 | com.example.editor | 1772456400250000"_qs,
    };
    QCOMPARE(describe(context), expected);

    // The start-up migration gives the old group its identifier and points the plan at it.
    PersistenceController::migrateGroupReferencesToStableID(context);
    const AppGroup *legacy = context.record<AppGroup>(StoreID{RecordType::appGroup, 2});
    QVERIFY(legacy && legacy->stableID());
    QCOMPARE(context.fetch<QuitPlan>().first()->groupID(), *legacy->stableID());
    QCOMPARE(context.fetch<RestrictionRule>().first()->targetID(), work);
    // Numbers deleted or taken back in the old file are not given again.
    QCOMPARE(context.fetchOrCreateMeta(u"com.example.new"_qs)->storeID().number, 4);
    QCOMPARE(context.insert(std::make_unique<AppGroup>(u"new"_qs, 2, QStringList{}))->storeID().number, 4);
    QVERIFY(context.save() == SaveResult::saved);
}

QTEST_GUILESS_MAIN(TestPersistenceController)
#include "tst_persistencecontroller.moc"
