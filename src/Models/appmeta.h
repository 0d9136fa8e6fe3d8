#pragma once

#include "appmetasnapshot.h"
#include "instant.h"
#include "storerecord.h"

#include <QString>

#include <optional>

// The persisted data of one app: pin, launch statistics, custom position, hidden flag and alias. A context holds at
// most one live row per bundle identifier (StoreContext::insert and fetchOrCreateMeta keep it so). Made detached;
// owned by its StoreContext once inserted; main thread only.
class AppMeta final : public StoreRecord
{
public:
    static constexpr RecordType type = RecordType::appMeta;

    // Not pinned, never launched, first seen at `now`, not missing, no sort index, not hidden, no alias.
    AppMeta(QString bundleID, Instant now);

    [[nodiscard]] const QString &bundleID() const { return m_bundleID; }
    // Refused (false, nothing changes) while another live row of the context holds that identifier, and on an
    // inert record.
    [[nodiscard]] bool setBundleID(const QString &bundleID);

    [[nodiscard]] bool isPinned() const { return m_isPinned; }
    void setIsPinned(bool value) { write(m_isPinned, value); }

    [[nodiscard]] int launchCount() const { return m_launchCount; }
    void setLaunchCount(int value) { write(m_launchCount, value); }

    [[nodiscard]] const std::optional<Instant> &lastLaunchedAt() const { return m_lastLaunchedAt; }
    void setLastLaunchedAt(std::optional<Instant> value) { write(m_lastLaunchedAt, value); }

    [[nodiscard]] Instant firstSeenAt() const { return m_firstSeenAt; }
    void setFirstSeenAt(Instant value) { write(m_firstSeenAt, value); }

    [[nodiscard]] const std::optional<Instant> &missingSince() const { return m_missingSince; }
    void setMissingSince(std::optional<Instant> value) { write(m_missingSince, value); }

    [[nodiscard]] const std::optional<int> &sortIndex() const { return m_sortIndex; }
    void setSortIndex(std::optional<int> value) { write(m_sortIndex, value); }

    // The stored flag as it is; an absent value counts as not hidden (snapshot() does that).
    [[nodiscard]] const std::optional<bool> &isHidden() const { return m_isHidden; }
    void setIsHidden(std::optional<bool> value) { write(m_isHidden, value); }

    [[nodiscard]] const std::optional<QString> &aliasName() const { return m_aliasName; }
    void setAliasName(std::optional<QString> value) { write(m_aliasName, std::move(value)); }

    // The ordering-relevant copy; an absent hidden flag is copied as false.
    [[nodiscard]] AppMetaSnapshot snapshot() const;

private:
    friend class StoreContext;

    QString m_bundleID;
    bool m_isPinned = false;
    int m_launchCount = 0;
    std::optional<Instant> m_lastLaunchedAt;
    Instant m_firstSeenAt{};
    std::optional<Instant> m_missingSince;
    std::optional<int> m_sortIndex;
    std::optional<bool> m_isHidden = false;
    std::optional<QString> m_aliasName;

    QString m_storedBundleID; // the identifier the file holds for this row, as of the last successful save
};
