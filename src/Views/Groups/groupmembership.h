#pragma once

#include <QStringList>

// How a group's member list grows. Pure functions.
namespace GroupMembership {

// `existing` as it is, then each identifier of `adding` that it does not hold yet, in order and once. Never removes
// or reorders: repeats already in `existing` stay.
[[nodiscard]] QStringList batchAdd(const QStringList &existing, const QStringList &adding);

} // namespace GroupMembership
