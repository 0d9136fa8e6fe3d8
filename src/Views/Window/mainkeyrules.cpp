#include "mainkeyrules.h"

#include <QPoint>

namespace MainKeyRules {

ArrowKey arrow(int key, bool autoRepeat, bool hasSelection, bool composing)
{
    ArrowKey result;
    if (autoRepeat || composing)
        return result;
    QPoint step;
    switch (key) {
    case Qt::Key_Down:
        result.consumed = true;
        result.move = QPoint(0, 1);
        return result;
    case Qt::Key_Up:
        step = QPoint(0, -1);
        break;
    case Qt::Key_Left:
        step = QPoint(-1, 0);
        break;
    case Qt::Key_Right:
        step = QPoint(1, 0);
        break;
    default:
        return result;
    }
    if (!hasSelection)
        return result;
    result.consumed = true;
    result.move = step;
    return result;
}

std::optional<int> firstMatch(const QList<AppInfo> &visible, const std::optional<QString> &selectedID)
{
    if (visible.isEmpty())
        return std::nullopt;
    if (selectedID) {
        for (int i = 0; i < visible.size(); ++i) {
            if (visible.at(i).bundleID == *selectedID)
                return i;
        }
    }
    return 0;
}

} // namespace MainKeyRules
