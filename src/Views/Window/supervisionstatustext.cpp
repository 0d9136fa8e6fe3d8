#include "supervisionstatustext.h"

#include <QDateTime>

namespace SupervisionStatusText {

bool isActive(const SupervisionStatus &status)
{
    return status.activeCount >= 1;
}

QString text(const SupervisionStatus &status, const QTimeZone &zone)
{
    if (!isActive(status))
        return u"未设置禁启规则"_qs;
    QString result = QString::number(status.activeCount) + u" 条规则生效中"_qs;
    if (status.nextEvent) {
        const bool quit = status.nextEvent->kind == SupervisionStatus::NextEventKind::quit;
        const QDateTime at = Instants::toDateTime(status.nextEvent->date).toTimeZone(zone);
        result += u" · 下一次"_qs + (quit ? u"退出"_qs : u"禁启"_qs) + u' ' + at.toString(u"HH:mm"_qs);
    }
    return result;
}

} // namespace SupervisionStatusText
