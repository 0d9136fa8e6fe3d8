#pragma once

#include "instant.h"
#include "storeid.h"
#include "storerecord.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class AppMeta;
class SqliteStore;

enum class [[nodiscard]] SaveResult { saved, failed };

// The unit of work over the store: every record of the file is loaded once and kept here, and every change stays
// pending until save() writes all of them in one transaction.
//
// Reads see the pending state: a fetch includes records inserted and not saved yet, leaves out records deleted and
// not saved yet, and shows every write at once. Each save writes, in one transaction, the changes made since the
// save before it together with any older changes still pending; when that fails, nothing is written and they all
// stay pending for the next save. So that one change the file refuses for good cannot hold every later change back
// with it, a save that fails so splits the pending saves into groups that touch no common record and writes each
// group in a transaction of its own, its own group first: every save's changes are written whole or not at all,
// and only the groups the file refuses stay pending. A file that another connection holds gets no second try:
// nothing could be written. mark() and rollback() take back only what changed after the mark
// (an import that fails undoes its own work and keeps older pending changes, also when its save wrote older ones);
// discardPendingChanges() goes back to the last saved state of every record.
//
// AppMeta rows are unique by bundle identifier among the live rows: inserting a second row for an identifier that
// a live row holds (saved or pending) does not add it, and insert() returns the row that holds it instead; the
// caller writes through the returned pointer. fetchOrCreateMeta() is the usual way to get a row. So no save can
// fail on the store's uniqueness constraint.
//
// After a change, changed(type) is emitted once per record type on the next turn of the event loop, only for types
// that did change (a write of the value a column already holds is no change; a save changes nothing that a fetch
// shows, so it emits nothing). Main thread only; owned by its StoreContainer for the whole run.
//
//     AppMeta *meta = context.fetchOrCreateMeta(bundleID);      // appmeta.h
//     meta->setLaunchCount(meta->launchCount() + 1);
//     std::ignore = context.save();                             // a failed save stays pending for the next one
//
//     const auto mark = context.mark();                         // an all-or-nothing edit
//     for (RestrictionRule *rule : context.fetch<RestrictionRule>())
//         context.remove(rule);
//     context.insert(std::make_unique<RestrictionRule>(...));
//     if (context.save() == SaveResult::failed)
//         std::ignore = context.rollback(mark);
class StoreContext : public QObject
{
    Q_OBJECT
public:
    using NowFunction = std::function<Instant()>;
    template <class R>
    using Filter = std::function<bool(const R &)>;
    template <class R>
    using LessThan = std::function<bool(const R &, const R &)>;

    // A point in the pending changes to roll back to. Stale once a save writes a change made after it.
    struct Mark
    {
        quint64 serial = 0;
    };

    ~StoreContext() override;

    // The live records of a type, in insertion order (ascending store number) unless `lessThan` is given; the sort
    // is stable. Never fails: every row is in memory.
    template <class R>
    [[nodiscard]] QList<R *> fetch(const Filter<R> &filter = {}, const LessThan<R> &lessThan = {}) const
    {
        static_assert(std::is_base_of_v<StoreRecord, R>);
        QList<R *> out;
        const auto &live = m_live[int(R::type)];
        out.reserve(qsizetype(live.size()));
        for (StoreRecord *r : live) {
            auto *typed = static_cast<R *>(r);
            if (!filter || filter(*typed))
                out.append(typed);
        }
        if (lessThan)
            std::stable_sort(out.begin(), out.end(), [&](const R *a, const R *b) { return lessThan(*a, *b); });
        return out;
    }

    template <class R>
    [[nodiscard]] qsizetype count() const
    {
        return qsizetype(m_live[int(R::type)].size());
    }

    // The live record with that identifier, else null (also for a deleted one).
    [[nodiscard]] StoreRecord *record(const StoreID &id) const;
    template <class R>
    [[nodiscard]] R *record(const StoreID &id) const
    {
        return id.type == R::type ? static_cast<R *>(record(id)) : nullptr;
    }

    // Takes a detached record and makes it live, with its permanent store identifier. Returns the live record: the
    // given one, or for an AppMeta whose bundle identifier a live row already holds, that row (the given record is
    // then kept inert and its values are dropped). Null for a null argument.
    template <class R>
    R *insert(std::unique_ptr<R> record)
    {
        static_assert(std::is_base_of_v<StoreRecord, R>);
        return static_cast<R *>(insertRecord(std::unique_ptr<StoreRecord>(record.release())));
    }

    // Deletes a live record: fetches stop finding it, the next save removes its row. The object stays valid and
    // keeps its values; writes to it are ignored from now on. Nothing happens for a record that is not live here.
    void remove(StoreRecord *record);

    // The live AppMeta row of that app, else null. Constant time.
    [[nodiscard]] AppMeta *meta(const QString &bundleID) const;
    // The live AppMeta row of that app; when there is none, a new one (first seen now) is inserted. Not saved.
    AppMeta *fetchOrCreateMeta(const QString &bundleID);

    // Writes the pending changes as the class comment says. `saved` when the changes made since the previous save
    // were written (older ones that the file still refuses may stay pending), or, when there were none, when
    // nothing is left pending; on failure none of this save's changes was written and they stay pending.
    [[nodiscard]] SaveResult save();
    // Whether anything changed since the last successful save (also writes that were set back by hand).
    [[nodiscard]] bool hasChanges() const { return !m_journal.empty(); }

    [[nodiscard]] Mark mark() const { return Mark{m_serial}; }
    // Undoes every change made after the mark, newest first: inserted records turn inert, deleted ones are live
    // again, written columns get back their values. Changes made before the mark stay pending, and so does what a
    // save wrote of them meanwhile. A stale mark (a save has written some change made after it) undoes nothing and
    // gives false: that change could not be taken back whole.
    [[nodiscard]] bool rollback(const Mark &mark);
    // Undoes every change still pending.
    void discardPendingChanges();

    // "Now" for new records (firstSeenAt).
    [[nodiscard]] Instant now() const;

Q_SIGNALS:
    void changed(RecordType type);

private:
    friend class StoreContainer;
    friend class StoreRecord;
    friend class AppMeta;

    struct JournalEntry
    {
        enum class Kind : quint8 { insert, remove, write, rename };
        Kind kind;
        quint64 serial;
        quint64 batch; // the number of save() calls made before this change
        StoreRecord *record;
        std::function<void()> undo; // write and rename
        QString oldBundleID;        // rename
    };

    StoreContext(SqliteStore &backend, NowFunction now);
    // Loading: a row of the file, and the highest numbers the tables gave out.
    void adopt(qint64 number, std::unique_ptr<StoreRecord> record);
    void setSequences(const std::array<qint64, recordTypeCount> &sequences);

    StoreRecord *insertRecord(std::unique_ptr<StoreRecord> record);
    void noteWrite(StoreRecord &record, std::function<void()> undo);
    [[nodiscard]] bool renameMeta(AppMeta &meta, const QString &bundleID);
    void journal(JournalEntry::Kind kind, StoreRecord *record, std::function<void()> undo = {},
                 QString oldBundleID = {});
    void undo(JournalEntry &entry);
    void addLive(StoreRecord *record);
    void removeLive(StoreRecord *record);
    void noteChange(RecordType type);
    void emitChanges();

    SqliteStore &m_backend;
    NowFunction m_now;
    std::vector<std::unique_ptr<StoreRecord>> m_owned;
    std::array<std::vector<StoreRecord *>, recordTypeCount> m_live; // ascending number
    QHash<QString, AppMeta *> m_metaByBundleID;
    std::array<qint64, recordTypeCount> m_lastNumber{};  // highest number given out
    std::array<qint64, recordTypeCount> m_savedNumber{}; // highest number the file knows as given out
    std::vector<JournalEntry> m_journal;                  // every change not written yet
    quint64 m_saveCalls = 0;
    quint64 m_serial = 0;        // of the newest journal entry
    quint64 m_writtenSerial = 0; // of the newest change a save has written
    unsigned m_changedTypes = 0;
    bool m_emitQueued = false;
};
