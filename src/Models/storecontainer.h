#pragma once

#include "storecontext.h"

#include <QString>

#include <memory>
#include <optional>

class SqliteStore;
class StoreContainer;

// Why a store could not be opened. Every one leaves the file as it was.
enum class StoreOpenError {
    folderUnavailable,  // the data folder could not be created (say, a regular file stands in its path)
    cannotOpen,         // the database file could not be opened or created there
    notAStore,          // a non-empty file that is no database, or a database of some other program
    unsupportedVersion, // a store of this program with another schema version
    damaged,            // a store of this program that fails the full check of its pages and indexes
    readOnly,           // the file or its folder cannot be written, so no save could ever succeed
    inUse,              // another open store (another running program) holds the file
};

// The reason as one line for the user, naming the file (or, for folderUnavailable, the folder that could not be
// made, given as `path`).
[[nodiscard]] QString storeOpenErrorMessage(StoreOpenError error, const QString &path);

// Either an open container or the reason why none could be opened.
struct [[nodiscard]] ContainerResult
{
    std::unique_ptr<StoreContainer> container;
    std::optional<StoreOpenError> error;
    QString message; // storeOpenErrorMessage() of the error; empty on success
};

// How the store file is opened. `readOnly` makes the file behave as one on a read-only mount (tests cannot take
// write permission away, they run as root); the program always asks for readWrite.
enum class StoreFileAccess { readWrite, readOnly };

// An opened store: the database connection and its one main context, through which the whole program reads and
// writes. Made by PersistenceController::makeContainer; kept by the state object for the whole run and handed to
// the views. Main thread only.
class StoreContainer
{
public:
    StoreContainer(const StoreContainer &) = delete;
    StoreContainer &operator=(const StoreContainer &) = delete;
    ~StoreContainer();

    // Opens or creates the store file at `filePath` (its folder must exist); an empty path gives a store held only
    // in memory. The whole file is checked first; a damaged, read-only or foreign file, or one that another open
    // store holds, is refused and left as it was. While the container lives it holds "<filePath>-lock" locked.
    [[nodiscard]] static ContainerResult open(const QString &filePath, StoreContext::NowFunction now,
                                              StoreFileAccess access = StoreFileAccess::readWrite);
    // The file beside the store whose lock marks it as open.
    [[nodiscard]] static QString lockFilePath(const QString &filePath);

    [[nodiscard]] StoreContext &mainContext() { return *m_context; }
    [[nodiscard]] bool isInMemory() const { return m_filePath.isEmpty(); }
    [[nodiscard]] const QString &filePath() const { return m_filePath; } // empty in memory

private:
    StoreContainer() = default;

    std::unique_ptr<SqliteStore> m_backend; // declared first: outlives the context
    QString m_filePath;
    std::unique_ptr<StoreContext> m_context;
};
