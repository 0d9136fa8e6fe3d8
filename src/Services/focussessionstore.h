#pragma once

#include "datalocation.h"
#include "focussession.h"
#include "instant.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// The running focus sessions on disk: "sessions.json", a compact JSON array in the order the sessions were added,
// in the program's data folder (tests pass a folder of their own). Each element is read on its own, so a damaged
// entry costs only itself, and bytes that are no UTF-8 read as U+FFFD, costing only the text they are in. Entries
// that cannot be read, and keys of readable ones that this version does not know (a newer version wrote them), are
// written back as they were. A file that cannot be read as an array at all is kept aside (AtomicFile::keepAside)
// before the next write replaces it. Writes are atomic; a failed write leaves the previous file as it was. The
// folder is created at the first write, not here. Main thread; owned by the state object (or a test).
class FocusSessionStore
{
public:
    enum class WriteResult { written, failed };

    explicit FocusSessionStore(QString directory = DataLocation::dataFolder());

    [[nodiscard]] const QString &directory() const { return m_directory; }
    [[nodiscard]] QString filePath() const;

    // The stored sessions whose deadline lies strictly after `now`; the file is rewritten with exactly them and the
    // entries that cannot be read. Called once at start: removes the temporary files a killed write left first.
    [[nodiscard]] QList<FocusSession> activeSessions(Instant now);
    // Every readable entry, expired or not, in file order; missing or unreadable: none.
    [[nodiscard]] QList<FocusSession> load();

    // Read, change, write back; a failed write is ignored (the caller's list in memory is what counts).
    void append(const FocusSession &session);
    void replace(const FocusSession &session); // every entry with its id
    void remove(const QUuid &id);

    // Writes exactly these sessions, in place of everything the file holds.
    [[nodiscard]] WriteResult saveAll(const QList<FocusSession> &sessions);

private:
    struct Entry
    {
        QJsonValue json;                      // as read, or as made from `session`
        std::optional<FocusSession> session;  // none: the entry cannot be read
    };
    [[nodiscard]] QList<Entry> loadEntries();
    [[nodiscard]] WriteResult write(const QList<Entry> &entries);

    QString m_directory;
    bool m_keepAsideBeforeWrite = false;
};
