#pragma once

#include "instant.h"
#include "supervisionexport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTimeZone>

#include <optional>

class AppGroup;
class QuitPlan;
class RestrictionRule;

// Builds the rules file from the stored records and writes its bytes. Pure functions; main thread (the settings
// sheet is the caller).
namespace SupervisionExporter {

// The document of the given records, in the order given, with the blocked-app message and the moment of export.
// Group ids are the groups' refIDs; weekdays and the apps of a plan come sorted ascending, group members as they
// stand. Group rules and group plans whose group is not among `groups` are left out: they act on nothing, and a file
// that held them would be refused on import. Changes nothing.
[[nodiscard]] SupervisionExport makeExport(const QList<AppGroup *> &groups, const QList<RestrictionRule *> &rules,
                                           const QList<QuitPlan *> &plans, const QString &slogan, Instant at);

// UTF-8, one member per line, two spaces per level, the keys of every object in ascending order, dates in UTC with
// whole seconds, optional dates left out when absent; ends with a line break. None when a text holds half of a
// surrogate pair or a date lies outside the years 0000 to 9999: such a value has no faithful form in the file, and
// the caller then writes nothing.
[[nodiscard]] std::optional<QByteArray> encode(const SupervisionExport &file);

// "Tarnwick监督规则-" and the calendar date of `at` in `zone` as year-month-day, then ".json".
[[nodiscard]] QString defaultFileName(Instant at, const QTimeZone &zone = QTimeZone::systemTimeZone());

} // namespace SupervisionExporter
