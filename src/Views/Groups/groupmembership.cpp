#include "groupmembership.h"

#include <QSet>

QStringList GroupMembership::batchAdd(const QStringList &existing, const QStringList &adding)
{
    QStringList result = existing;
    QSet<QString> seen(existing.cbegin(), existing.cend());
    for (const QString &id : adding) {
        if (!seen.contains(id)) {
            seen.insert(id);
            result.append(id);
        }
    }
    return result;
}
