#include "storecontext.h"

#include "appmeta.h"
#include "sqlitestore.h"

#include <QMetaObject>
#include <QHash>

#include <numeric>

namespace {

auto byNumber(const StoreRecord *a, qint64 number)
{
    return a->storeID().number < number;
}

} // namespace

StoreContext::StoreContext(SqliteStore &backend, NowFunction now)
    : m_backend(backend)
    , m_now(std::move(now))
{
}

StoreContext::~StoreContext() = default;

void StoreContext::adopt(qint64 number, std::unique_ptr<StoreRecord> record)
{
    StoreRecord *r = record.get();
    const int t = int(r->m_type);
    r->m_number = number;
    r->m_state = StoreRecord::State::live;
    r->m_persisted = true;
    r->m_context = this;
    m_owned.push_back(std::move(record));
    addLive(r);
    if (r->m_type == RecordType::appMeta) {
        auto *meta = static_cast<AppMeta *>(r);
        meta->m_storedBundleID = meta->m_bundleID;
        m_metaByBundleID.insert(meta->m_bundleID, meta);
    }
    m_lastNumber[t] = std::max(m_lastNumber[t], number);
}

void StoreContext::setSequences(const std::array<qint64, recordTypeCount> &sequences)
{
    for (int t = 0; t < recordTypeCount; ++t) {
        m_savedNumber[t] = sequences[t];
        m_lastNumber[t] = std::max(m_lastNumber[t], sequences[t]);
    }
}

StoreRecord *StoreContext::record(const StoreID &id) const
{
    const auto &live = m_live[int(id.type)];
    const auto it = std::lower_bound(live.begin(), live.end(), id.number, byNumber);
    return it != live.end() && (*it)->m_number == id.number ? *it : nullptr;
}

AppMeta *StoreContext::meta(const QString &bundleID) const
{
    return m_metaByBundleID.value(bundleID, nullptr);
}

AppMeta *StoreContext::fetchOrCreateMeta(const QString &bundleID)
{
    if (AppMeta *existing = meta(bundleID))
        return existing;
    return insert(std::make_unique<AppMeta>(bundleID, now()));
}

StoreRecord *StoreContext::insertRecord(std::unique_ptr<StoreRecord> record)
{
    if (!record || record->m_state != StoreRecord::State::detached)
        return nullptr;
    StoreRecord *r = record.get();
    r->m_context = this;
    m_owned.push_back(std::move(record));
    AppMeta *meta = r->m_type == RecordType::appMeta ? static_cast<AppMeta *>(r) : nullptr;
    if (meta) {
        if (AppMeta *existing = this->meta(meta->m_bundleID)) {
            // A second row for one app would break the store's uniqueness and fail every later save.
            r->m_state = StoreRecord::State::discarded;
            return existing;
        }
    }
    r->m_number = ++m_lastNumber[int(r->m_type)];
    r->m_state = StoreRecord::State::live;
    addLive(r);
    if (meta)
        m_metaByBundleID.insert(meta->m_bundleID, meta);
    journal(JournalEntry::Kind::insert, r);
    noteChange(r->m_type);
    return r;
}

void StoreContext::remove(StoreRecord *record)
{
    if (!record || record->m_context != this || !record->isLive())
        return;
    record->m_state = StoreRecord::State::deleted;
    removeLive(record);
    if (record->m_type == RecordType::appMeta)
        m_metaByBundleID.remove(static_cast<AppMeta *>(record)->m_bundleID);
    journal(JournalEntry::Kind::remove, record);
    noteChange(record->m_type);
}

void StoreContext::noteWrite(StoreRecord &record, std::function<void()> undo)
{
    journal(JournalEntry::Kind::write, &record, std::move(undo));
    noteChange(record.m_type);
}

bool StoreContext::renameMeta(AppMeta &meta, const QString &bundleID)
{
    if (meta.m_bundleID == bundleID)
        return true;
    if (m_metaByBundleID.contains(bundleID))
        return false;
    QString old = meta.m_bundleID;
    m_metaByBundleID.remove(old);
    meta.m_bundleID = bundleID;
    m_metaByBundleID.insert(bundleID, &meta);
    journal(JournalEntry::Kind::rename, &meta, {}, std::move(old));
    noteChange(RecordType::appMeta);
    return true;
}

void StoreContext::journal(JournalEntry::Kind kind, StoreRecord *record, std::function<void()> undo,
                           QString oldBundleID)
{
    m_journal.push_back(JournalEntry{kind, ++m_serial, m_saveCalls, record, std::move(undo), std::move(oldBundleID)});
}

void StoreContext::undo(JournalEntry &entry)
{
    StoreRecord *r = entry.record;
    auto *meta = r->m_type == RecordType::appMeta ? static_cast<AppMeta *>(r) : nullptr;
    switch (entry.kind) {
    case JournalEntry::Kind::insert:
        r->m_state = StoreRecord::State::discarded;
        removeLive(r);
        if (meta)
            m_metaByBundleID.remove(meta->m_bundleID);
        break;
    case JournalEntry::Kind::remove:
        r->m_state = StoreRecord::State::live;
        addLive(r);
        if (meta)
            m_metaByBundleID.insert(meta->m_bundleID, meta);
        break;
    case JournalEntry::Kind::write:
        entry.undo();
        break;
    case JournalEntry::Kind::rename:
        m_metaByBundleID.remove(meta->m_bundleID);
        meta->m_bundleID = entry.oldBundleID;
        m_metaByBundleID.insert(meta->m_bundleID, meta);
        break;
    }
    noteChange(r->m_type);
}

bool StoreContext::rollback(const Mark &mark)
{
    if (mark.serial < m_writtenSerial)
        return false;
    while (!m_journal.empty() && m_journal.back().serial > mark.serial) {
        undo(m_journal.back());
        m_journal.pop_back();
    }
    return true;
}

void StoreContext::discardPendingChanges()
{
    while (!m_journal.empty()) {
        undo(m_journal.back());
        m_journal.pop_back();
    }
}

SaveResult StoreContext::save()
{
    const quint64 batch = m_saveCalls++;
    bool numbersAhead = false;
    for (int t = 0; t < recordTypeCount; ++t)
        numbersAhead = numbersAhead || m_lastNumber[t] > m_savedNumber[t];
    if (m_journal.empty() && !numbersAhead)
        return SaveResult::saved;

    // Writes the journal entries `chosen` picks (all of them when it is empty) and, on success, drops them.
    auto writeChosen = [this](const std::function<bool(const JournalEntry &)> &chosen) {
        SqliteStore::ChangeSet changes;
        for (int t = 0; t < recordTypeCount; ++t) {
            if (m_lastNumber[t] > m_savedNumber[t])
                changes.sequences[t] = m_lastNumber[t];
        }
        std::vector<StoreRecord *> touched;
        quint64 newestSerial = 0;
        for (const auto &entry : m_journal) {
            if (chosen && !chosen(entry))
                continue;
            newestSerial = std::max(newestSerial, entry.serial);
            if (!entry.record->m_collected) {
                entry.record->m_collected = true;
                touched.push_back(entry.record);
            }
        }
        for (StoreRecord *r : touched) {
            r->m_collected = false;
            if (r->isLive()) {
                if (!r->m_persisted) {
                    changes.inserts.push_back(r);
                } else if (r->m_type == RecordType::appMeta
                           && static_cast<AppMeta *>(r)->m_bundleID != static_cast<AppMeta *>(r)->m_storedBundleID) {
                    // Rewritten as delete and insert under the same number, so that rows that trade identifiers
                    // never meet on the uniqueness constraint halfway through the transaction.
                    changes.deletes.push_back(r);
                    changes.inserts.push_back(r);
                } else {
                    changes.updates.push_back(r);
                }
            } else if (r->m_persisted) {
                changes.deletes.push_back(r);
            }
        }

        const auto result = m_backend.write(changes);
        if (result != SqliteStore::WriteResult::written)
            return result;
        for (StoreRecord *r : touched) {
            r->m_persisted = r->isLive();
            if (r->m_type == RecordType::appMeta)
                static_cast<AppMeta *>(r)->m_storedBundleID = static_cast<AppMeta *>(r)->m_bundleID;
        }
        m_savedNumber = m_lastNumber;
        if (chosen)
            std::erase_if(m_journal, chosen);
        else
            m_journal.clear();
        m_writtenSerial = std::max(m_writtenSerial, newestSerial);
        return result;
    };

    const bool olderPending = !m_journal.empty() && m_journal.front().batch < batch;
    const auto result = writeChosen({});
    if (result == SqliteStore::WriteResult::written)
        return SaveResult::saved;
    if (result == SqliteStore::WriteResult::busy || !olderPending)
        return SaveResult::failed;

    // Older pending changes may be what the file refuses. Split the pending saves into groups that share no record
    // (a row is written whole, with every pending change of it, so saves that touch one record go together) and
    // write each group in a transaction of its own: this save's group first, then the others, oldest first. A
    // save's changes still reach the file together or not at all.
    std::vector<quint64> parent(batch + 1);
    std::iota(parent.begin(), parent.end(), quint64(0));
    auto root = [&parent](quint64 b) {
        while (parent[b] != b)
            b = parent[b] = parent[parent[b]];
        return b;
    };
    QHash<const StoreRecord *, quint64> batchOfRecord;
    for (const auto &entry : m_journal) {
        const auto it = batchOfRecord.constFind(entry.record);
        if (it == batchOfRecord.constEnd())
            batchOfRecord.insert(entry.record, entry.batch);
        else
            parent[root(entry.batch)] = root(*it);
    }
    const bool thisSaveHasChanges = m_journal.back().batch == batch;
    const quint64 thisGroup = root(batch);
    std::vector<quint64> groups;
    if (thisSaveHasChanges)
        groups.push_back(thisGroup);
    for (const auto &entry : m_journal) { // in the order of the changes, so oldest first
        const quint64 group = root(entry.batch);
        if (std::find(groups.begin(), groups.end(), group) == groups.end())
            groups.push_back(group);
    }
    if (groups.size() < 2)
        return SaveResult::failed; // one group: just tried

    bool thisSaveWritten = false;
    for (const quint64 group : groups) {
        const auto written = writeChosen([&](const JournalEntry &e) { return root(e.batch) == group; });
        if (written == SqliteStore::WriteResult::busy)
            break;
        thisSaveWritten = thisSaveWritten || (written == SqliteStore::WriteResult::written && group == thisGroup);
    }
    if (!thisSaveHasChanges)
        return m_journal.empty() ? SaveResult::saved : SaveResult::failed;
    return thisSaveWritten ? SaveResult::saved : SaveResult::failed;
}

Instant StoreContext::now() const
{
    if (m_now)
        return m_now();
    return std::chrono::floor<Duration>(std::chrono::system_clock::now());
}

void StoreContext::addLive(StoreRecord *record)
{
    auto &live = m_live[int(record->m_type)];
    const auto it = std::lower_bound(live.begin(), live.end(), record->m_number, byNumber);
    live.insert(it, record);
}

void StoreContext::removeLive(StoreRecord *record)
{
    auto &live = m_live[int(record->m_type)];
    const auto it = std::lower_bound(live.begin(), live.end(), record->m_number, byNumber);
    if (it != live.end() && *it == record)
        live.erase(it);
}

void StoreContext::noteChange(RecordType type)
{
    m_changedTypes |= 1u << int(type);
    if (m_emitQueued)
        return;
    m_emitQueued = true;
    QMetaObject::invokeMethod(this, &StoreContext::emitChanges, Qt::QueuedConnection);
}

void StoreContext::emitChanges()
{
    m_emitQueued = false;
    const unsigned types = std::exchange(m_changedTypes, 0);
    for (int t = 0; t < recordTypeCount; ++t) {
        if (types & (1u << t))
            Q_EMIT changed(RecordType(t));
    }
}
