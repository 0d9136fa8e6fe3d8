#pragma once

#include "supervisionstatus.h"

#include <QString>
#include <QTimeZone>

// The footer's one line on supervision, and whether its dot shows that something is in force.
namespace SupervisionStatusText {

// "未设置禁启规则" without an active rule (whatever comes next); else "N 条规则生效中", and the next event with its
// time of day ("HH:mm") in `zone` when one comes.
[[nodiscard]] QString text(const SupervisionStatus &status, const QTimeZone &zone = QTimeZone::systemTimeZone());
[[nodiscard]] bool isActive(const SupervisionStatus &status);

} // namespace SupervisionStatusText
