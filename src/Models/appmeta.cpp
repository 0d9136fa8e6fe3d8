#include "appmeta.h"

#include "storecontext.h"

AppMeta::AppMeta(QString bundleID, Instant now)
    : StoreRecord(type)
    , m_bundleID(std::move(bundleID))
    , m_firstSeenAt(now)
{
}

bool AppMeta::setBundleID(const QString &bundleID)
{
    if (isLive())
        return context()->renameMeta(*this, bundleID);
    if (!acceptsWrites())
        return false;
    m_bundleID = bundleID;
    return true;
}

AppMetaSnapshot AppMeta::snapshot() const
{
    return AppMetaSnapshot{m_isPinned, m_firstSeenAt, m_sortIndex, m_isHidden.value_or(false), m_aliasName};
}
