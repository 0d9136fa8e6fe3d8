#pragma once

#include "storerecord.h"

#include <QString>
#include <QStringList>

#include <optional>

// A named group of apps, shown as a tab. Rules, plans, the rules file and the views refer to it by refID(). Made
// detached; owned by its StoreContext once inserted; main thread only.
class AppGroup final : public StoreRecord
{
public:
    static constexpr RecordType type = RecordType::appGroup;

    // The given values and a fresh stable identifier.
    AppGroup(QString name, int sortIndex, QStringList bundleIDs);

    [[nodiscard]] const QString &name() const { return m_name; }
    void setName(QString value) { write(m_name, std::move(value)); }

    [[nodiscard]] int sortIndex() const { return m_sortIndex; }
    void setSortIndex(int value) { write(m_sortIndex, value); }

    // The members in the group's own order; repeats are kept as they are.
    [[nodiscard]] const QStringList &bundleIDs() const { return m_bundleIDs; }
    void setBundleIDs(QStringList value) { write(m_bundleIDs, std::move(value)); }

    [[nodiscard]] const std::optional<QString> &stableID() const { return m_stableID; }
    void setStableID(std::optional<QString> value) { write(m_stableID, std::move(value)); }

    // The stable identifier when there is one, else the text of the store identifier (empty before insert).
    [[nodiscard]] QString refID() const;

    // Ascending sortIndex: the order in which views list groups. Fetches sort stably, so equal indexes keep the
    // order of insertion.
    [[nodiscard]] static bool bySortIndex(const AppGroup &a, const AppGroup &b)
    {
        return a.m_sortIndex < b.m_sortIndex;
    }

    // A new random UUID in its canonical 36-character upper-case form.
    [[nodiscard]] static QString newStableID();

private:
    QString m_name;
    int m_sortIndex = 0;
    QStringList m_bundleIDs;
    std::optional<QString> m_stableID;
};
