#pragma once

#include <QString>

// The preference keys the supervision panel reads and writes, shared by the files that make up its model.
namespace SupervisionPanelKeys {

inline const QString slogan = QStringLiteral("blockedSlogan");
inline const QString focusApps = QStringLiteral("focusControlBundleIDs");
inline const QString searchPageApps = QStringLiteral("searchPageEnabledBundleIDs");

} // namespace SupervisionPanelKeys
