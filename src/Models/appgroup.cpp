#include "appgroup.h"

#include <QUuid>

AppGroup::AppGroup(QString name, int sortIndex, QStringList bundleIDs)
    : StoreRecord(type)
    , m_name(std::move(name))
    , m_sortIndex(sortIndex)
    , m_bundleIDs(std::move(bundleIDs))
    , m_stableID(newStableID())
{
}

QString AppGroup::refID() const
{
    return m_stableID ? *m_stableID : storeID().text();
}

QString AppGroup::newStableID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}
