#pragma once

#include "instant.h"

#include <optional>

// The one-line state of supervision: how many restriction rules and timed-quit plans are in force, and what comes
// next. A value, computed by SupervisionStatusEngine; the state object holds the published copy.
struct SupervisionStatus
{
    enum class NextEventKind { restriction, quit };

    struct NextEvent
    {
        NextEventKind kind = NextEventKind::restriction;
        Instant date;

        friend bool operator==(const NextEvent &, const NextEvent &) = default;
    };

    int activeCount = 0;
    std::optional<NextEvent> nextEvent;

    friend bool operator==(const SupervisionStatus &, const SupervisionStatus &) = default;
};
