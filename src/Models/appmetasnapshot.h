#pragma once

#include "instant.h"

#include <QString>

#include <optional>

// The ordering-relevant copy of one AppMeta record, so that ordering and filtering never touch the store. An app
// without a record has no snapshot: not pinned, no sort index, no first-seen date.
struct AppMetaSnapshot
{
    bool isPinned = false;
    Instant firstSeenAt{};
    std::optional<int> sortIndex;
    bool isHidden = false; // an absent stored value is copied as false
    std::optional<QString> aliasName;

    friend bool operator==(const AppMetaSnapshot &, const AppMetaSnapshot &) = default;
};
