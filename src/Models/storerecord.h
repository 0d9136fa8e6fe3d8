#pragma once

#include "storeid.h"

#include <functional>
#include <utility>

class StoreContext;

// What every stored record shares: its identifier and its place in a context. A record is made detached (making
// one never inserts it) and may be changed freely then; it becomes live when a context takes it
// (StoreContext::insert) and inert when it is deleted or its insert is taken back. An inert record keeps its last
// values, ignores every write and is never written to the store again, so a view that still holds one can go on
// reading it. Records are identity objects: two pointers to one row are the same object, and nothing copies them.
// The context owns every record it took or loaded until it goes away, deleted ones included, so a pointer to a
// record stays valid as long as its context lives. Main thread only, like the context.
class StoreRecord
{
public:
    StoreRecord(const StoreRecord &) = delete;
    StoreRecord &operator=(const StoreRecord &) = delete;
    virtual ~StoreRecord();

    [[nodiscard]] RecordType recordType() const { return m_type; }
    // Invalid until the record is inserted; then the same for the record's whole life.
    [[nodiscard]] StoreID storeID() const { return StoreID{m_type, m_number}; }
    // In a context and not deleted: fetches find it and writes to it are kept.
    [[nodiscard]] bool isLive() const { return m_state == State::live; }
    // Deleted, or its insert was taken back or refused: inert.
    [[nodiscard]] bool isDeleted() const { return m_state == State::deleted || m_state == State::discarded; }
    [[nodiscard]] StoreContext *context() const { return m_context; }

protected:
    explicit StoreRecord(RecordType type)
        : m_type(type)
    {
    }

    // Every setter goes through here: a detached record just takes the value, a live one also keeps the old value
    // for rollback and tells its context, an inert one ignores the write. Writing the value a column already holds
    // changes nothing and notifies nobody.
    template <class T, class U>
    void write(T &field, U &&value)
    {
        if (isDeleted() || field == value)
            return;
        if (m_state == State::live)
            noteWrite([&field, old = field]() mutable { field = std::move(old); });
        field = std::forward<U>(value);
    }

    [[nodiscard]] bool acceptsWrites() const { return !isDeleted(); }

private:
    friend class StoreContext;
    enum class State : quint8 { detached, live, deleted, discarded };

    void noteWrite(std::function<void()> undo);

    RecordType m_type;
    State m_state = State::detached;
    bool m_persisted = false; // the store file holds a row with this number (as of the last successful save)
    bool m_collected = false; // scratch flag of StoreContext::save
    qint64 m_number = 0;
    StoreContext *m_context = nullptr;
};
