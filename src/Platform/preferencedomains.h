#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// Other applications' preferences, one domain per application, for the current user on any host. A write is seen
// by this process at once but reaches the store that the other application reads only when the domain is
// synchronized, and that can fail (writing another application's preferences needs the user's permission). Values
// are property-list values: QString, qint64, double, bool, QVariantList and QVariantMap of those. Main thread.
class PreferenceDomains
{
public:
    virtual ~PreferenceDomains() = default;

    [[nodiscard]] virtual std::optional<QVariant> value(const QString &domain, const QString &key) const = 0;
    // Nothing removes the key.
    virtual void setValue(const QString &domain, const QString &key, const std::optional<QVariant> &value) = 0;
    [[nodiscard]] virtual bool synchronize(const QString &domain) = 0;
};
