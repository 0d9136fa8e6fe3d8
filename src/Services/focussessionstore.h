#pragma once

#include "datalocation.h"
#include "focussession.h"
#include "instant.h"

#include <QList>
#include <QString>
#include <QUuid>

// The running focus sessions on disk: "sessions.json", a compact JSON array in the order the sessions were added,
// in the program's data folder (tests pass a folder of their own). Each element is read on its own, so a damaged
// entry costs only itself; a file that cannot be read as an array at all is renamed "sessions.json.corrupt" before
// the next write replaces it. Writes are atomic; a failed write leaves the previous file as it was. The folder is
// created at the first write, not here. Main thread; owned by the state object (or a test).
class FocusSessionStore
{
public:
    enum class WriteResult { written, failed };

    explicit FocusSessionStore(QString directory = DataLocation::dataFolder());

    [[nodiscard]] const QString &directory() const { return m_directory; }
    [[nodiscard]] QString filePath() const;

    // The stored sessions whose deadline lies strictly after `now`; the file is rewritten with exactly them.
    [[nodiscard]] QList<FocusSession> activeSessions(Instant now);
    // Every readable entry, expired or not, in file order; missing or unreadable: none.
    [[nodiscard]] QList<FocusSession> load();

    // Read, change, write back; a failed write is ignored (the caller's list in memory is what counts).
    void append(const FocusSession &session);
    void replace(const FocusSession &session); // every entry with its id
    void remove(const QUuid &id);

    [[nodiscard]] WriteResult saveAll(const QList<FocusSession> &sessions);

private:
    QString m_directory;
    bool m_keepAsideBeforeWrite = false;
};
