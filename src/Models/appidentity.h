#pragma once

#include <QString>

// The program's own identity: the identifier it has among the installed apps (its desktop-file id) and its process.
// Supervision never lists, quits, hides or kills either.
namespace AppIdentity {

inline constexpr QStringView bundleIDView = u"tarnwick";
[[nodiscard]] inline QString bundleID() { return bundleIDView.toString(); }
[[nodiscard]] qint64 processID();

} // namespace AppIdentity
