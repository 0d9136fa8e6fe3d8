#pragma once

#include "instant.h"

#include <QPointF>
#include <QString>

#include <chrono>
#include <optional>

class Clock;

// Lists of rules and plans update their rows in place: once a click has deleted a record, the next record's row lies
// under the still pointer with its buttons shown, and the second click of a double-click would delete a record the
// user never aimed at. The guard takes a row button's click unless it follows the last taken one within the
// double-click interval, at the same spot (within the double-click distance), on another record. Main thread.
class RowClickGuard
{
public:
    RowClickGuard(const Clock &clock, std::chrono::milliseconds interval, qreal distance);
    // With the platform's double-click interval and distance.
    explicit RowClickGuard(const Clock &clock);

    // Whether the click at `scenePos` (window coordinates) on the row of the record `recordKey` is the user's own;
    // a taken click is the one the next is measured against, a refused one leaves that as it is.
    [[nodiscard]] bool take(const QString &recordKey, QPointF scenePos);

private:
    struct Click
    {
        QString recordKey;
        QPointF scenePos;
        MonotonicInstant at;
    };

    const Clock &m_clock;
    std::chrono::milliseconds m_interval;
    qreal m_distance;
    std::optional<Click> m_last;
};
