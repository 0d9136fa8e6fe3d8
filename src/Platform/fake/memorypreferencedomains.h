#pragma once

#include "preferencedomains.h"

#include <QHash>
#include <QPair>

// Preference domains in memory, with the platform's two layers: what this process wrote, and the store that a
// synchronize writes it to. A failing synchronize (setSynchronizeSucceeds(false)) keeps the written values visible
// to value(), as the platform's in-process cache does, and leaves the store as it was.
class MemoryPreferenceDomains : public PreferenceDomains
{
public:
    [[nodiscard]] std::optional<QVariant> value(const QString &domain, const QString &key) const override;
    void setValue(const QString &domain, const QString &key, const std::optional<QVariant> &value) override;
    [[nodiscard]] bool synchronize(const QString &domain) override;

    // Test controls.
    void setSynchronizeSucceeds(bool succeeds) { m_synchronizeSucceeds = succeeds; }
    // Puts a value straight into the store, as the other application would have written it.
    void setStoredValue(const QString &domain, const QString &key, const QVariant &value);
    [[nodiscard]] std::optional<QVariant> storedValue(const QString &domain, const QString &key) const;
    [[nodiscard]] int writeCount() const { return m_writes; }
    [[nodiscard]] int synchronizeCount() const { return m_synchronizes; }

private:
    using Key = QPair<QString, QString>;
    QHash<Key, QVariant> m_stored;
    QHash<Key, std::optional<QVariant>> m_unsynchronized; // none: removed
    bool m_synchronizeSucceeds = true;
    int m_writes = 0;
    int m_synchronizes = 0;
};
