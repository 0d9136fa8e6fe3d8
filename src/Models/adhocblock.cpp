#include "adhocblock.h"

AdHocBlock::AdHocBlock(QString bundleID, Instant until)
    : StoreRecord(type)
    , m_bundleID(std::move(bundleID))
    , m_until(until)
{
}
