#pragma once

#include "storecontext.h"

#include <QString>

#include <memory>
#include <optional>

class SqliteStore;
class StoreContainer;

enum class StoreOpenError {
    folderUnavailable,  // the data folder could not be created (say, a regular file stands in its path)
    cannotOpen,         // the database file could not be opened or created there
    notAStore,          // the file is damaged, is no database, or is a database of some other program
    unsupportedVersion, // a store of this program with another schema version
};

// Either an open container or the reason why none could be opened.
struct [[nodiscard]] ContainerResult
{
    std::unique_ptr<StoreContainer> container;
    std::optional<StoreOpenError> error;
};

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
    // in memory.
    [[nodiscard]] static ContainerResult open(const QString &filePath, StoreContext::NowFunction now);

    [[nodiscard]] StoreContext &mainContext() { return *m_context; }
    [[nodiscard]] bool isInMemory() const { return m_filePath.isEmpty(); }
    [[nodiscard]] const QString &filePath() const { return m_filePath; } // empty in memory

private:
    StoreContainer() = default;

    std::unique_ptr<SqliteStore> m_backend; // declared first: outlives the context
    QString m_filePath;
    std::unique_ptr<StoreContext> m_context;
};
