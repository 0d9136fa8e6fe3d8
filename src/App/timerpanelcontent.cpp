#include "timerpanelcontent.h"

#include <cmath>
#include <limits>

namespace TimerPanelContent {

QString format(double seconds)
{
    qint64 s = 0;
    if (std::isfinite(seconds) && seconds > 0) {
        // Beyond 64 bits the truncation itself would be undefined; such a span shows the largest count.
        constexpr double limit = 9.2e18;
        s = seconds >= limit ? std::numeric_limits<qint64>::max() : qint64(seconds);
    }
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
}

} // namespace TimerPanelContent
