#pragma once

#include "bundlereader.h"

#include <QHash>

// Bundles held in memory by path, with the creation dates the test gives. Only reads once set up, so a rebuild on
// another thread may use it.
class FakeBundleReader : public BundleReader
{
public:
    void addBundle(Bundle bundle) { m_bundles.insert(bundle.path, std::move(bundle)); }
    void setCreationDate(const QString &path, Instant date) { m_dates.insert(path, date); }

    [[nodiscard]] std::optional<Bundle> open(const QString &path) const override
    {
        const auto it = m_bundles.constFind(path);
        if (it == m_bundles.constEnd())
            return std::nullopt;
        return *it;
    }
    [[nodiscard]] std::optional<Instant> creationDate(const QString &path) const override
    {
        const auto it = m_dates.constFind(path);
        if (it == m_dates.constEnd())
            return std::nullopt;
        return *it;
    }

private:
    QHash<QString, Bundle> m_bundles;
    QHash<QString, Instant> m_dates;
};
