#include "sqlitestore.h"

#include "adhocblock.h"
#include "appgroup.h"
#include "appmeta.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <sqlite3.h>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

// "Trnw": marks a database file as this program's store.
constexpr int applicationID = 0x54726e77;

// The smallest page SQLite writes: a file of fewer bytes that is not empty holds no database, and SQLite would take
// it for an empty one and write over it.
constexpr qint64 smallestDatabase = 512;

// How long a read or a save waits while another connection holds the file (another run of the program finishing its
// last save, a backup reading it) before it gives up. Short: the wait blocks the main thread.
constexpr int busyTimeoutMilliseconds = 1000;

struct Column
{
    const char *name;
    const char *declaration;
};

// Columns in declaration order; the "id" column comes first in every table.
const std::vector<Column> &columns(RecordType type)
{
    static const std::vector<Column> appMeta{
        {"bundleID", "TEXT NOT NULL UNIQUE"}, {"isPinned", "INTEGER NOT NULL"}, {"launchCount", "INTEGER NOT NULL"},
        {"lastLaunchedAt", "INTEGER"},        {"firstSeenAt", "INTEGER NOT NULL"}, {"missingSince", "INTEGER"},
        {"sortIndex", "INTEGER"},             {"isHidden", "INTEGER"},            {"aliasName", "TEXT"},
    };
    static const std::vector<Column> appGroup{
        {"name", "TEXT NOT NULL"},
        {"sortIndex", "INTEGER NOT NULL"},
        {"bundleIDs", "TEXT NOT NULL"},
        {"stableID", "TEXT"},
    };
    static const std::vector<Column> restrictionRule{
        {"targetKindRaw", "INTEGER NOT NULL"}, {"targetID", "TEXT NOT NULL"}, {"startMinute", "INTEGER NOT NULL"},
        {"endMinute", "INTEGER NOT NULL"},     {"weekdays", "TEXT NOT NULL"}, {"isEnabled", "INTEGER NOT NULL"},
        {"pausedUntil", "INTEGER"},            {"onceDate", "INTEGER"},
    };
    static const std::vector<Column> quitPlan{
        {"targetKindRaw", "INTEGER NOT NULL"}, {"groupID", "TEXT NOT NULL"},
        {"bundleIDs", "TEXT NOT NULL"},        {"quitMinute", "INTEGER NOT NULL"},
        {"weekdays", "TEXT NOT NULL"},         {"blockModeRaw", "INTEGER NOT NULL"},
        {"blockMinutes", "INTEGER NOT NULL"},  {"blockUntilMinute", "INTEGER NOT NULL"},
        {"isEnabled", "INTEGER NOT NULL"},     {"pausedUntil", "INTEGER"},
    };
    static const std::vector<Column> adHocBlock{
        {"bundleID", "TEXT NOT NULL"},
        {"until", "INTEGER NOT NULL"},
    };
    switch (type) {
    case RecordType::appMeta:
        return appMeta;
    case RecordType::appGroup:
        return appGroup;
    case RecordType::restrictionRule:
        return restrictionRule;
    case RecordType::quitPlan:
        return quitPlan;
    case RecordType::adHocBlock:
        break;
    }
    return adHocBlock;
}

QByteArray quoted(const char *name)
{
    return '"' + QByteArray(name) + '"';
}

QByteArray tableName(RecordType type)
{
    return recordTypeName(type).toUtf8();
}

QByteArray createTableSql(RecordType type)
{
    QByteArray sql = "CREATE TABLE " + quoted(tableName(type)) + " (\"id\" INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const auto &c : columns(type))
        sql += ", " + quoted(c.name) + ' ' + c.declaration;
    return sql + ')';
}

QByteArray selectSql(RecordType type)
{
    QByteArray sql = "SELECT \"id\"";
    for (const auto &c : columns(type))
        sql += ", " + quoted(c.name);
    return sql + " FROM " + quoted(tableName(type)) + " ORDER BY \"id\"";
}

QByteArray insertSql(RecordType type)
{
    QByteArray names = "\"id\"";
    QByteArray values = "?1";
    int i = 2;
    for (const auto &c : columns(type)) {
        names += ", " + quoted(c.name);
        values += ", ?" + QByteArray::number(i++);
    }
    return "INSERT INTO " + quoted(tableName(type)) + " (" + names + ") VALUES (" + values + ')';
}

QByteArray updateSql(RecordType type)
{
    QByteArray sets;
    int i = 2;
    for (const auto &c : columns(type)) {
        if (!sets.isEmpty())
            sets += ", ";
        sets += quoted(c.name) + " = ?" + QByteArray::number(i++);
    }
    return "UPDATE " + quoted(tableName(type)) + " SET " + sets + " WHERE \"id\" = ?1";
}

QByteArray deleteSql(RecordType type)
{
    return "DELETE FROM " + quoted(tableName(type)) + " WHERE \"id\" = ?1";
}

// Binds a record's columns from parameter 2 on (parameter 1 is the id).
class Binder
{
public:
    explicit Binder(sqlite3_stmt *statement)
        : m_statement(statement)
    {
    }
    [[nodiscard]] bool ok() const { return m_ok; }

    void integer(qint64 v) { check(sqlite3_bind_int64(m_statement, m_index++, v)); }
    void boolean(bool v) { integer(v ? 1 : 0); }
    void text(const QString &v)
    {
        const QByteArray utf8 = v.toUtf8();
        check(sqlite3_bind_text(m_statement, m_index++, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
    }
    void date(Instant v) { integer(v.time_since_epoch().count()); }
    void null() { check(sqlite3_bind_null(m_statement, m_index++)); }
    template <class T, class F>
    void optional(const std::optional<T> &v, F bindValue)
    {
        if (v)
            (this->*bindValue)(*v);
        else
            null();
    }
    void stringList(const QStringList &v) { json(QJsonArray::fromStringList(v)); }
    void intList(const QList<int> &v)
    {
        QJsonArray a;
        for (int i : v)
            a.append(i);
        json(a);
    }

private:
    void json(const QJsonArray &a) { text(QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact))); }
    void check(int rc) { m_ok = m_ok && rc == SQLITE_OK; }

    sqlite3_stmt *m_statement;
    int m_index = 2;
    bool m_ok = true;
};

// Reads a row's columns from column 1 on (column 0 is the id).
class Reader
{
public:
    explicit Reader(sqlite3_stmt *statement)
        : m_statement(statement)
    {
    }

    [[nodiscard]] bool isNull() const { return sqlite3_column_type(m_statement, m_index) == SQLITE_NULL; }
    qint64 integer64() { return sqlite3_column_int64(m_statement, m_index++); }
    int integer()
    {
        return int(std::clamp<qint64>(integer64(), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    bool boolean() { return integer64() != 0; }
    QString text()
    {
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, m_index));
        const int size = sqlite3_column_bytes(m_statement, m_index);
        ++m_index;
        return bytes ? QString::fromUtf8(bytes, size) : QString();
    }
    Instant date() { return Instant{Duration{integer64()}}; }
    template <class F>
    auto optional(F readValue) -> std::optional<decltype((this->*readValue)())>
    {
        if (isNull()) {
            ++m_index;
            return std::nullopt;
        }
        return (this->*readValue)();
    }
    // Lists are written by this program only; elements of another type are left out.
    QStringList stringList()
    {
        QStringList out;
        for (const auto &v : json()) {
            if (v.isString())
                out.append(v.toString());
        }
        return out;
    }
    QList<int> intList()
    {
        QList<int> out;
        for (const auto &v : json()) {
            const double d = v.toDouble(std::nan(""));
            if (v.isDouble() && d == std::trunc(d) && d >= std::numeric_limits<int>::min()
                && d <= std::numeric_limits<int>::max())
                out.append(int(d));
        }
        return out;
    }

private:
    QJsonArray json() { return QJsonDocument::fromJson(text().toUtf8()).array(); }

    sqlite3_stmt *m_statement;
    int m_index = 1;
};

void bindRecord(Binder &b, const StoreRecord &record)
{
    switch (record.recordType()) {
    case RecordType::appMeta: {
        const auto &r = static_cast<const AppMeta &>(record);
        b.text(r.bundleID());
        b.boolean(r.isPinned());
        b.integer(r.launchCount());
        b.optional(r.lastLaunchedAt(), &Binder::date);
        b.date(r.firstSeenAt());
        b.optional(r.missingSince(), &Binder::date);
        if (r.sortIndex())
            b.integer(*r.sortIndex());
        else
            b.null();
        b.optional(r.isHidden(), &Binder::boolean);
        b.optional(r.aliasName(), &Binder::text);
        return;
    }
    case RecordType::appGroup: {
        const auto &r = static_cast<const AppGroup &>(record);
        b.text(r.name());
        b.integer(r.sortIndex());
        b.stringList(r.bundleIDs());
        b.optional(r.stableID(), &Binder::text);
        return;
    }
    case RecordType::restrictionRule: {
        const auto &r = static_cast<const RestrictionRule &>(record);
        b.integer(r.targetKindRaw());
        b.text(r.targetID());
        b.integer(r.startMinute());
        b.integer(r.endMinute());
        b.intList(r.weekdays());
        b.boolean(r.isEnabled());
        b.optional(r.pausedUntil(), &Binder::date);
        b.optional(r.onceDate(), &Binder::date);
        return;
    }
    case RecordType::quitPlan: {
        const auto &r = static_cast<const QuitPlan &>(record);
        b.integer(r.targetKindRaw());
        b.text(r.groupID());
        b.stringList(r.bundleIDs());
        b.integer(r.quitMinute());
        b.intList(r.weekdays());
        b.integer(r.blockModeRaw());
        b.integer(r.blockMinutes());
        b.integer(r.blockUntilMinute());
        b.boolean(r.isEnabled());
        b.optional(r.pausedUntil(), &Binder::date);
        return;
    }
    case RecordType::adHocBlock: {
        const auto &r = static_cast<const AdHocBlock &>(record);
        b.text(r.bundleID());
        b.date(r.until());
        return;
    }
    }
}

// Reads in column order; the records are detached while they are filled, so their setters only store.
std::unique_ptr<StoreRecord> readRecord(RecordType type, Reader &in)
{
    switch (type) {
    case RecordType::appMeta: {
        auto r = std::make_unique<AppMeta>(in.text(), Instant{});
        r->setIsPinned(in.boolean());
        r->setLaunchCount(in.integer());
        r->setLastLaunchedAt(in.optional(&Reader::date));
        r->setFirstSeenAt(in.date());
        r->setMissingSince(in.optional(&Reader::date));
        r->setSortIndex(in.optional(&Reader::integer));
        r->setIsHidden(in.optional(&Reader::boolean));
        r->setAliasName(in.optional(&Reader::text));
        return r;
    }
    case RecordType::appGroup: {
        QString name = in.text();
        const int sortIndex = in.integer();
        auto r = std::make_unique<AppGroup>(std::move(name), sortIndex, in.stringList());
        r->setStableID(in.optional(&Reader::text));
        return r;
    }
    case RecordType::restrictionRule: {
        const int kind = in.integer();
        QString targetID = in.text();
        const int start = in.integer();
        const int end = in.integer();
        QList<int> weekdays = in.intList();
        const bool enabled = in.boolean();
        const auto pausedUntil = in.optional(&Reader::date);
        const auto onceDate = in.optional(&Reader::date);
        auto r = std::make_unique<RestrictionRule>(RestrictionTarget::app, std::move(targetID), start, end,
                                                   std::move(weekdays), enabled, onceDate);
        r->setTargetKindRaw(kind);
        r->setPausedUntil(pausedUntil);
        return r;
    }
    case RecordType::quitPlan: {
        const int kind = in.integer();
        QString groupID = in.text();
        QStringList bundleIDs = in.stringList();
        const int quitMinute = in.integer();
        QList<int> weekdays = in.intList();
        const int blockMode = in.integer();
        const int blockMinutes = in.integer();
        const int blockUntil = in.integer();
        const bool enabled = in.boolean();
        const auto pausedUntil = in.optional(&Reader::date);
        auto r = std::make_unique<QuitPlan>(QuitPlanTarget::group, std::move(groupID), std::move(bundleIDs),
                                            quitMinute, std::move(weekdays), QuitPlanBlockMode::none, blockMinutes,
                                            blockUntil, enabled);
        r->setTargetKindRaw(kind);
        r->setBlockModeRaw(blockMode);
        r->setPausedUntil(pausedUntil);
        return r;
    }
    case RecordType::adHocBlock: {
        QString bundleID = in.text();
        return std::make_unique<AdHocBlock>(std::move(bundleID), in.date());
    }
    }
    return nullptr;
}

// Finalizes a one-off statement when it goes out of scope.
class Statement
{
public:
    Statement(sqlite3 *db, const QByteArray &sql)
    {
        m_rc = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_statement, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    [[nodiscard]] int prepareResult() const { return m_rc; }
    [[nodiscard]] sqlite3_stmt *get() const { return m_statement; }

private:
    sqlite3_stmt *m_statement = nullptr;
    int m_rc = SQLITE_ERROR;
};

// Runs a prepared statement once and makes it ready for the next use; SQLITE_DONE when it ran.
int runOnce(sqlite3_stmt *statement)
{
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return rc;
}

StoreOpenError classify(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return StoreOpenError::notAStore;
    case SQLITE_CORRUPT:
        return StoreOpenError::damaged;
    case SQLITE_READONLY:
        return StoreOpenError::readOnly;
    default:
        return StoreOpenError::cannotOpen;
    }
}

bool isBusy(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

} // namespace

QString SqliteStore::lockFilePath(const QString &path)
{
    return path + u"-lock"_qs;
}

std::unique_ptr<SqliteStore> SqliteStore::open(const QString &path, StoreFileAccess access, StoreOpenError *error)
{
    std::unique_ptr<SqliteStore> store(new SqliteStore);
    const QByteArray file = path.isEmpty() ? QByteArray(":memory:") : QFile::encodeName(path);
    if (!path.isEmpty()) {
        if (const auto failure = store->lock(path)) {
            *error = *failure;
            return nullptr;
        }
        struct stat info{};
        if (::stat(file.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0
            && info.st_size < smallestDatabase) {
            *error = StoreOpenError::notAStore;
            return nullptr;
        }
    }
    int flags = access == StoreFileAccess::readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (path.isEmpty())
        flags |= SQLITE_OPEN_MEMORY;
    if (sqlite3_open_v2(file.constData(), &store->m_db, flags, nullptr) != SQLITE_OK) {
        *error = StoreOpenError::cannotOpen;
        return nullptr;
    }
    sqlite3_extended_result_codes(store->m_db, 1);
    sqlite3_busy_timeout(store->m_db, busyTimeoutMilliseconds);
    // SQLite falls back to reading only, without a word, when the file cannot be opened for writing (a read-only
    // mount, an immutable file); every save would then fail. The folder must take the journal of each save.
    if (sqlite3_db_readonly(store->m_db, "main") == 1
        || (!path.isEmpty() && ::access(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), W_OK) != 0)) {
        *error = StoreOpenError::readOnly;
        return nullptr;
    }
    if (const auto failure = store->setUp()) {
        *error = *failure;
        return nullptr;
    }
    return store;
}

// A second store on one file would hand out the same record numbers as the first and fail every save. The lock
// lives on a file of its own: a descriptor opened and closed on the database file itself would drop the locks
// SQLite holds on it. flock() locks belong to the open file, so two stores in one process exclude each other too,
// and the kernel releases the lock when the process ends however it ends.
std::optional<StoreOpenError> SqliteStore::lock(const QString &path)
{
    const QByteArray name = QFile::encodeName(lockFilePath(path));
    m_lockFile = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lockFile < 0 && (errno == EROFS || errno == EACCES || errno == EPERM))
        m_lockFile = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (m_lockFile < 0)
        return errno == EROFS || errno == EACCES || errno == EPERM ? StoreOpenError::readOnly
                                                                   : StoreOpenError::cannotOpen;
    int rc;
    do {
        rc = ::flock(m_lockFile, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return errno == EWOULDBLOCK ? StoreOpenError::inUse : StoreOpenError::cannotOpen;
    return std::nullopt;
}

SqliteStore::~SqliteStore()
{
    for (auto *s : m_insert)
        sqlite3_finalize(s);
    for (auto *s : m_update)
        sqlite3_finalize(s);
    for (auto *s : m_delete)
        sqlite3_finalize(s);
    sqlite3_finalize(m_raiseSequence);
    sqlite3_finalize(m_addSequence);
    sqlite3_close_v2(m_db);
    if (m_lockFile >= 0)
        ::close(m_lockFile);
}

bool SqliteStore::exec(const char *sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<StoreOpenError> SqliteStore::setUp()
{
    qint64 objects = 0;
    {
        Statement count(m_db, "SELECT count(*) FROM sqlite_master");
        if (count.prepareResult() != SQLITE_OK)
            return classify(count.prepareResult());
        const int rc = sqlite3_step(count.get());
        if (rc != SQLITE_ROW)
            return classify(rc);
        objects = sqlite3_column_int64(count.get(), 0);
    }

    Statement id(m_db, "PRAGMA application_id");
    if (id.prepareResult() != SQLITE_OK || sqlite3_step(id.get()) != SQLITE_ROW)
        return StoreOpenError::notAStore;
    const int fileApplicationID = sqlite3_column_int(id.get(), 0);

    if (objects == 0) {
        // An empty database that another program marked as its own is not ours to fill.
        if (fileApplicationID != 0 && fileApplicationID != applicationID)
            return StoreOpenError::notAStore;
        if (!createSchema())
            return StoreOpenError::cannotOpen;
    } else {
        if (fileApplicationID != applicationID)
            return StoreOpenError::notAStore;

        Statement version(m_db, "SELECT \"value\" FROM \"StoreInfo\" WHERE \"key\" = 'schemaVersion'");
        if (version.prepareResult() != SQLITE_OK)
            return StoreOpenError::notAStore;
        const int rc = sqlite3_step(version.get());
        if ((rc & 0xff) == SQLITE_CORRUPT)
            return StoreOpenError::damaged;
        if (rc != SQLITE_ROW)
            return StoreOpenError::notAStore;
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(version.get(), 0));
        if (!text || QString::fromUtf8(text) != schemaVersion)
            return StoreOpenError::unsupportedVersion;

        // A file cut short by less than a page reads as if the missing bytes were zeros, and no check of the pages
        // would see it where they fell in a value that no index repeats.
        {
            Statement pages(m_db, "PRAGMA page_count");
            Statement pageSize(m_db, "PRAGMA page_size");
            if (pages.prepareResult() != SQLITE_OK || sqlite3_step(pages.get()) != SQLITE_ROW
                || pageSize.prepareResult() != SQLITE_OK || sqlite3_step(pageSize.get()) != SQLITE_ROW)
                return StoreOpenError::damaged;
            const qint64 expected = sqlite3_column_int64(pages.get(), 0) * sqlite3_column_int64(pageSize.get(), 0);
            struct stat info{};
            if (::stat(sqlite3_db_filename(m_db, "main"), &info) == 0 && info.st_size < expected)
                return StoreOpenError::damaged;
        }

        // The full check, not the quick one: a flipped byte in a row or a file cut short by a few bytes passes the
        // quick check, loads with garbage and then fails every save on an index that no longer matches its table.
        Statement check(m_db, "PRAGMA integrity_check(1)");
        if (check.prepareResult() != SQLITE_OK || sqlite3_step(check.get()) != SQLITE_ROW)
            return StoreOpenError::damaged;
        const auto *verdict = reinterpret_cast<const char *>(sqlite3_column_text(check.get(), 0));
        if (!verdict || qstrcmp(verdict, "ok") != 0)
            return StoreOpenError::damaged;
    }

    if (!prepareStatements())
        return StoreOpenError::notAStore;
    return std::nullopt;
}

bool SqliteStore::createSchema()
{
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    bool ok = exec(("PRAGMA application_id = " + QByteArray::number(applicationID)).constData())
              && exec("CREATE TABLE \"StoreInfo\" (\"key\" TEXT PRIMARY KEY NOT NULL, \"value\" TEXT NOT NULL)");
    if (ok) {
        const QByteArray insert = "INSERT INTO \"StoreInfo\" (\"key\", \"value\") VALUES ('schemaVersion', '"
                                  + schemaVersion.toUtf8() + "')";
        ok = exec(insert.constData());
    }
    for (int t = 0; ok && t < recordTypeCount; ++t)
        ok = exec(createTableSql(RecordType(t)).constData());
    if (ok && exec("COMMIT"))
        return true;
    std::ignore = exec("ROLLBACK"); // nothing more to do when even this fails
    return false;
}

bool SqliteStore::prepareStatements()
{
    auto prepare = [this](const QByteArray &sql, sqlite3_stmt **out) {
        return sqlite3_prepare_v3(m_db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, out, nullptr)
               == SQLITE_OK;
    };
    for (int t = 0; t < recordTypeCount; ++t) {
        const auto type = RecordType(t);
        if (!prepare(insertSql(type), &m_insert[t]) || !prepare(updateSql(type), &m_update[t])
            || !prepare(deleteSql(type), &m_delete[t]))
            return false;
    }
    return prepare("UPDATE sqlite_sequence SET seq = max(seq, ?2) WHERE name = ?1", &m_raiseSequence)
           && prepare("INSERT INTO sqlite_sequence (name, seq) VALUES (?1, ?2)", &m_addSequence);
}

std::optional<SqliteStore::Loaded> SqliteStore::load()
{
    Loaded loaded;
    for (int t = 0; t < recordTypeCount; ++t) {
        const auto type = RecordType(t);
        Statement select(m_db, selectSql(type));
        if (select.prepareResult() != SQLITE_OK)
            return std::nullopt;
        int rc;
        while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
            const qint64 number = sqlite3_column_int64(select.get(), 0);
            Reader in(select.get());
            loaded.records.push_back(LoadedRecord{number, readRecord(type, in)});
        }
        if (rc != SQLITE_DONE)
            return std::nullopt;
    }

    Statement sequences(m_db, "SELECT name, seq FROM sqlite_sequence");
    if (sequences.prepareResult() != SQLITE_OK)
        return std::nullopt;
    int rc;
    while ((rc = sqlite3_step(sequences.get())) == SQLITE_ROW) {
        const auto *name = reinterpret_cast<const char *>(sqlite3_column_text(sequences.get(), 0));
        for (int t = 0; name && t < recordTypeCount; ++t) {
            if (tableName(RecordType(t)) == name)
                loaded.sequences[t] = std::max(loaded.sequences[t], sqlite3_column_int64(sequences.get(), 1));
        }
    }
    if (rc != SQLITE_DONE)
        return std::nullopt;
    return loaded;
}

SqliteStore::WriteResult SqliteStore::write(const ChangeSet &changes)
{
    int rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        rc = writeAll(changes);
        if (rc == SQLITE_OK) {
            rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK)
                return WriteResult::written;
        }
        if (!sqlite3_get_autocommit(m_db))
            std::ignore = exec("ROLLBACK"); // nothing more to do when even this fails
    }
    return isBusy(rc) ? WriteResult::busy : WriteResult::failed;
}

// SQLITE_OK, or the code of the first statement that failed.
int SqliteStore::writeAll(const ChangeSet &changes)
{
    auto bindAll = [](sqlite3_stmt *statement, const StoreRecord *record) {
        if (sqlite3_bind_int64(statement, 1, record->storeID().number) != SQLITE_OK)
            return false;
        Binder b(statement);
        bindRecord(b, *record);
        return b.ok();
    };
    auto insert = [&](const StoreRecord *record) {
        sqlite3_stmt *statement = m_insert[int(record->recordType())];
        return bindAll(statement, record) ? runOnce(statement) : SQLITE_MISUSE;
    };

    for (const StoreRecord *record : changes.deletes) {
        sqlite3_stmt *statement = m_delete[int(record->recordType())];
        if (sqlite3_bind_int64(statement, 1, record->storeID().number) != SQLITE_OK)
            return SQLITE_MISUSE;
        if (const int rc = runOnce(statement); rc != SQLITE_DONE)
            return rc;
    }
    for (const StoreRecord *record : changes.updates) {
        sqlite3_stmt *statement = m_update[int(record->recordType())];
        if (!bindAll(statement, record))
            return SQLITE_MISUSE;
        if (const int rc = runOnce(statement); rc != SQLITE_DONE)
            return rc;
        // A row that went missing from the file behind our back is written again rather than lost.
        if (sqlite3_changes(m_db) == 0) {
            if (const int rc = insert(record); rc != SQLITE_DONE)
                return rc;
        }
    }
    for (const StoreRecord *record : changes.inserts) {
        if (const int rc = insert(record); rc != SQLITE_DONE)
            return rc;
    }
    for (int t = 0; t < recordTypeCount; ++t) {
        if (!changes.sequences[t])
            continue;
        const QByteArray name = tableName(RecordType(t));
        for (sqlite3_stmt *statement : {m_raiseSequence, m_addSequence}) {
            if (sqlite3_bind_text(statement, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT) != SQLITE_OK
                || sqlite3_bind_int64(statement, 2, *changes.sequences[t]) != SQLITE_OK)
                return SQLITE_MISUSE;
            if (const int rc = runOnce(statement); rc != SQLITE_DONE)
                return rc;
            if (sqlite3_changes(m_db) > 0)
                break;
        }
    }
    return SQLITE_OK;
}
