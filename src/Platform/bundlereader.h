#pragma once

#include "bundle.h"
#include "instant.h"

#include <optional>

// Opens the bundle at a location. Implementations read only the file system and hold no mutable state, so one
// reader may serve several threads at once; owned by main.cpp (or a test) and handed by reference.
class BundleReader
{
public:
    virtual ~BundleReader() = default;

    // The bundle at `path`; nothing when nothing there can be opened as an app (not a bundle, unreadable, or an
    // entry that says it is not to be shown).
    [[nodiscard]] virtual std::optional<Bundle> open(const QString &path) const = 0;
    // When the item at `path` came into being; nothing when the file system keeps no such date.
    [[nodiscard]] virtual std::optional<Instant> creationDate(const QString &path) const = 0;

    // The file's birth time (statx where the file system records one). A birth time at the epoch counts as none:
    // some images carry it for every file.
    [[nodiscard]] static std::optional<Instant> fileBirthTime(const QString &path);
};
