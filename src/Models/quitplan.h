#pragma once

#include "instant.h"
#include "storerecord.h"
#include "supervisionkinds.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A timed quit of one group or of a list of apps at a minute of the day, optionally followed by a block. Kinds are
// stored as their raw numbers; targetKind() and blockMode() read them. Made detached; owned by its StoreContext once
// inserted; main thread only.
class QuitPlan final : public StoreRecord
{
public:
    static constexpr RecordType type = RecordType::quitPlan;

    // Every column from its argument (the kinds as their raw numbers), not paused.
    QuitPlan(QuitPlanTarget targetKind, QString groupID, QStringList bundleIDs, int quitMinute, QList<int> weekdays,
             QuitPlanBlockMode blockMode, int blockMinutes, int blockUntilMinute, bool isEnabled);

    [[nodiscard]] int targetKindRaw() const { return m_targetKindRaw; }
    void setTargetKindRaw(int value) { write(m_targetKindRaw, value); }
    // Group for raw 0, apps for every other value (the opposite numbering to rules).
    [[nodiscard]] QuitPlanTarget targetKind() const;

    // The target group's refID (group plans).
    [[nodiscard]] const QString &groupID() const { return m_groupID; }
    void setGroupID(QString value) { write(m_groupID, std::move(value)); }

    // The target apps (app plans), in stored order, repeats kept.
    [[nodiscard]] const QStringList &bundleIDs() const { return m_bundleIDs; }
    void setBundleIDs(QStringList value) { write(m_bundleIDs, std::move(value)); }

    [[nodiscard]] int quitMinute() const { return m_quitMinute; }
    void setQuitMinute(int value) { write(m_quitMinute, value); }

    [[nodiscard]] const QList<int> &weekdays() const { return m_weekdays; }
    void setWeekdays(QList<int> value) { write(m_weekdays, std::move(value)); }

    [[nodiscard]] int blockModeRaw() const { return m_blockModeRaw; }
    void setBlockModeRaw(int value) { write(m_blockModeRaw, value); }
    // Until for raw 2, minutes for raw 1, none for every other value.
    [[nodiscard]] QuitPlanBlockMode blockMode() const;

    [[nodiscard]] int blockMinutes() const { return m_blockMinutes; }
    void setBlockMinutes(int value) { write(m_blockMinutes, value); }

    [[nodiscard]] int blockUntilMinute() const { return m_blockUntilMinute; }
    void setBlockUntilMinute(int value) { write(m_blockUntilMinute, value); }

    [[nodiscard]] bool isEnabled() const { return m_isEnabled; }
    void setIsEnabled(bool value) { write(m_isEnabled, value); }

    [[nodiscard]] const std::optional<Instant> &pausedUntil() const { return m_pausedUntil; }
    void setPausedUntil(std::optional<Instant> value) { write(m_pausedUntil, value); }

private:
    int m_targetKindRaw = 0;
    QString m_groupID;
    QStringList m_bundleIDs;
    int m_quitMinute = 0;
    QList<int> m_weekdays;
    int m_blockModeRaw = 0;
    int m_blockMinutes = 0;
    int m_blockUntilMinute = 0;
    bool m_isEnabled = false;
    std::optional<Instant> m_pausedUntil;
};
