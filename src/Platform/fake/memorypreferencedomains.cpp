#include "fake/memorypreferencedomains.h"

std::optional<QVariant> MemoryPreferenceDomains::value(const QString &domain, const QString &key) const
{
    const Key k{domain, key};
    if (const auto it = m_unsynchronized.constFind(k); it != m_unsynchronized.constEnd())
        return *it;
    return storedValue(domain, key);
}

void MemoryPreferenceDomains::setValue(const QString &domain, const QString &key,
                                       const std::optional<QVariant> &value)
{
    ++m_writes;
    m_unsynchronized.insert(Key{domain, key}, value);
}

bool MemoryPreferenceDomains::synchronize(const QString &domain)
{
    ++m_synchronizes;
    if (!m_synchronizeSucceeds)
        return false;
    for (auto it = m_unsynchronized.begin(); it != m_unsynchronized.end();) {
        if (it.key().first != domain) {
            ++it;
            continue;
        }
        if (it.value())
            m_stored.insert(it.key(), *it.value());
        else
            m_stored.remove(it.key());
        it = m_unsynchronized.erase(it);
    }
    return true;
}

void MemoryPreferenceDomains::setStoredValue(const QString &domain, const QString &key, const QVariant &value)
{
    m_stored.insert(Key{domain, key}, value);
}

std::optional<QVariant> MemoryPreferenceDomains::storedValue(const QString &domain, const QString &key) const
{
    const auto it = m_stored.constFind(Key{domain, key});
    if (it == m_stored.constEnd())
        return std::nullopt;
    return *it;
}
