#include "instant.h"

#include <cmath>

namespace Instants {

Instant fromSecondsSince1970(double seconds)
{
    return Instant{fromSeconds(seconds)};
}

double secondsSince1970(Instant t)
{
    return seconds(t.time_since_epoch());
}

Instant fromSecondsSinceReferenceDate(double seconds)
{
    return Instant{fromSeconds(seconds)} + referenceDateOffset;
}

double secondsSinceReferenceDate(Instant t)
{
    return seconds(t.time_since_epoch() - referenceDateOffset);
}

double seconds(Duration d)
{
    return double(d.count()) / 1e6;
}

Duration fromSeconds(double seconds)
{
    return Duration{std::llround(seconds * 1e6)};
}

QDateTime toDateTime(Instant t)
{
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(t).time_since_epoch().count();
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

Instant fromDateTime(const QDateTime &dt)
{
    return Instant{std::chrono::milliseconds{dt.toMSecsSinceEpoch()}};
}

} // namespace Instants
