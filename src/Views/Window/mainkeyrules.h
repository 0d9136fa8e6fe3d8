#pragma once

#include "appinfo.h"

#include <QList>
#include <QPoint>

#include <optional>

// The launcher window's keyboard rules: which arrow keys move the selection, and which app Return opens.
namespace MainKeyRules {

struct ArrowKey
{
    bool consumed = false;
    std::optional<QPoint> move; // the selection step (dx, dy) when the key acts
};

// `key` is a Qt::Key. Down always moves and is consumed; Up, Left and Right only while an app is selected. A held
// key's repeats, and any key an input method takes while it composes, act on nothing and go on.
[[nodiscard]] ArrowKey arrow(int key, bool autoRepeat, bool hasSelection, bool composing);

// The app Return opens: the selected one when it is shown, else the first shown; none on an empty list.
[[nodiscard]] std::optional<int> firstMatch(const QList<AppInfo> &visible, const std::optional<QString> &selectedID);

} // namespace MainKeyRules
