#pragma once

#include "storecontainer.h"
#include "storeid.h"
#include "storerecord.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The store file on SQLite: one table per record type with its columns in declaration order after an "id" column
// (AUTOINCREMENT, so numbers are never reused), and a StoreInfo table that holds the schema version. Dates are
// integer microseconds since 1970 UTC, lists JSON arrays in text, absent values NULL, Booleans 0 and 1. Reads the
// whole file once at open and writes one change set per transaction. Used by StoreContainer and StoreContext only;
// main thread.
class SqliteStore
{
public:
    static constexpr QStringView schemaVersion = u"1.0.0";

    struct LoadedRecord
    {
        qint64 number = 0;
        std::unique_ptr<StoreRecord> record;
    };
    struct Loaded
    {
        std::vector<LoadedRecord> records;               // ascending number per type
        std::array<qint64, recordTypeCount> sequences{}; // the highest number each table ever gave out
    };

    struct ChangeSet
    {
        std::vector<const StoreRecord *> deletes;
        std::vector<const StoreRecord *> updates;
        std::vector<const StoreRecord *> inserts; // with their numbers
        std::array<std::optional<qint64>, recordTypeCount> sequences; // raised to these where set
    };

    SqliteStore(const SqliteStore &) = delete;
    SqliteStore &operator=(const SqliteStore &) = delete;
    ~SqliteStore();

    // How a write ended. `busy`: another connection held the file past the wait, so no part of any change set
    // could have been written either. `failed`: anything else (a row the file refuses, a full disk, an I/O error).
    enum class WriteResult { written, busy, failed };

    // `path` empty: in memory. Creates the schema in a new or empty file; in an existing one checks the schema and
    // every page and index. Locks the file beside it (lockFilePath) for as long as the store is open.
    [[nodiscard]] static std::unique_ptr<SqliteStore> open(const QString &path, StoreFileAccess access,
                                                           StoreOpenError *error);
    [[nodiscard]] static QString lockFilePath(const QString &path);

    [[nodiscard]] std::optional<Loaded> load();
    [[nodiscard]] WriteResult write(const ChangeSet &changes);

private:
    SqliteStore() = default;
    [[nodiscard]] std::optional<StoreOpenError> lock(const QString &path);
    [[nodiscard]] std::optional<StoreOpenError> setUp();
    [[nodiscard]] bool createSchema();
    [[nodiscard]] bool prepareStatements();
    [[nodiscard]] int writeAll(const ChangeSet &changes);
    [[nodiscard]] bool exec(const char *sql);

    int m_lockFile = -1; // closed after the connection
    sqlite3 *m_db = nullptr;
    std::array<sqlite3_stmt *, recordTypeCount> m_insert{};
    std::array<sqlite3_stmt *, recordTypeCount> m_update{};
    std::array<sqlite3_stmt *, recordTypeCount> m_delete{};
    sqlite3_stmt *m_raiseSequence = nullptr;
    sqlite3_stmt *m_addSequence = nullptr;
};
