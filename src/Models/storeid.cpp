#include "storeid.h"

#include <QHashFunctions>

QString recordTypeName(RecordType type)
{
    switch (type) {
    case RecordType::appMeta:
        return u"AppMeta"_qs;
    case RecordType::appGroup:
        return u"AppGroup"_qs;
    case RecordType::restrictionRule:
        return u"RestrictionRule"_qs;
    case RecordType::quitPlan:
        return u"QuitPlan"_qs;
    case RecordType::adHocBlock:
        return u"AdHocBlock"_qs;
    }
    return {};
}

QString StoreID::text() const
{
    if (!isValid())
        return {};
    return u"x-tarnwick://"_qs + recordTypeName(type) + u"/p"_qs + QString::number(number);
}

size_t qHash(const StoreID &id, size_t seed)
{
    return qHashMulti(seed, int(id.type), id.number);
}
