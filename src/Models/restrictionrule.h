#pragma once

#include "instant.h"
#include "storerecord.h"
#include "supervisionkinds.h"

#include <QList>
#include <QString>

#include <optional>

// A window in which one app or the members of one group may not be opened, weekly or on one date. The kind is
// stored as its raw number; targetKind() reads it. Made detached; owned by its StoreContext once inserted; main
// thread only.
class RestrictionRule final : public StoreRecord
{
public:
    static constexpr RecordType type = RecordType::restrictionRule;

    // Every column from its argument (the kind as its raw number), not paused.
    RestrictionRule(RestrictionTarget targetKind, QString targetID, int startMinute, int endMinute, QList<int> weekdays,
                    bool isEnabled, std::optional<Instant> onceDate);

    [[nodiscard]] int targetKindRaw() const { return m_targetKindRaw; }
    void setTargetKindRaw(int value) { write(m_targetKindRaw, value); }
    // Group for raw 1, app for every other value.
    [[nodiscard]] RestrictionTarget targetKind() const;

    // A bundle identifier (app rules) or a group's refID (group rules).
    [[nodiscard]] const QString &targetID() const { return m_targetID; }
    void setTargetID(QString value) { write(m_targetID, std::move(value)); }

    [[nodiscard]] int startMinute() const { return m_startMinute; }
    void setStartMinute(int value) { write(m_startMinute, value); }

    [[nodiscard]] int endMinute() const { return m_endMinute; }
    void setEndMinute(int value) { write(m_endMinute, value); }

    // 1 = Sunday ... 7 = Saturday, in stored order, repeats kept.
    [[nodiscard]] const QList<int> &weekdays() const { return m_weekdays; }
    void setWeekdays(QList<int> value) { write(m_weekdays, std::move(value)); }

    [[nodiscard]] bool isEnabled() const { return m_isEnabled; }
    void setIsEnabled(bool value) { write(m_isEnabled, value); }

    [[nodiscard]] const std::optional<Instant> &pausedUntil() const { return m_pausedUntil; }
    void setPausedUntil(std::optional<Instant> value) { write(m_pausedUntil, value); }

    [[nodiscard]] const std::optional<Instant> &onceDate() const { return m_onceDate; }
    void setOnceDate(std::optional<Instant> value) { write(m_onceDate, value); }

private:
    int m_targetKindRaw = 0;
    QString m_targetID;
    int m_startMinute = 0;
    int m_endMinute = 0;
    QList<int> m_weekdays;
    bool m_isEnabled = false;
    std::optional<Instant> m_pausedUntil;
    std::optional<Instant> m_onceDate;
};
