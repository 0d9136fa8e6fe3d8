#pragma once

#include "storecontainer.h"
#include "storecontext.h"

#include <QString>

#include <optional>

// Opening the store, and the group-reference migration that runs at every start right after it.
namespace PersistenceController {

inline constexpr QStringView storeFileName = u"Tarnwick.store";

// With `inMemory` false: creates "<base>/Tarnwick" with any missing parents (the base is the user's data folder,
// $XDG_DATA_HOME, unless one is given) and opens or creates "Tarnwick.store" in it. With `inMemory` true: an empty
// store of the same schema held only in memory; nothing touches the disk. `now` gives the time for new records. The
// caller treats a failure as fatal.
[[nodiscard]] ContainerResult makeContainer(bool inMemory, StoreContext::NowFunction now,
                                            const std::optional<QString> &baseFolder = std::nullopt);

// Gives every group without a stable identifier a new one, and rewrites group rules (raw kind exactly 1) and group
// plans (raw kind exactly 0) that refer to a group by the text of its store identifier to that group's refID. Saves
// only when something changed, ignoring a failed save; references that match no group are left alone.
void migrateGroupReferencesToStableID(StoreContext &context);

} // namespace PersistenceController
