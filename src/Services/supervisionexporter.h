#pragma once

#include "instant.h"
#include "supervisionexport.h"

#include <QByteArray>
#include <QString>
#include <QTimeZone>

#include <optional>

// Builds the rules file from the stored records and writes its bytes. Pure functions; main thread (the settings
// sheet is the caller).
namespace SupervisionExporter {

// UTF-8, one member per line, two spaces per level, the keys of every object in ascending order, dates in UTC with
// whole seconds, optional dates left out when absent; ends with a line break. None when a text holds half of a
// surrogate pair or a date lies outside the years 0000 to 9999: such a value has no faithful form in the file, and
// the caller then writes nothing.
[[nodiscard]] std::optional<QByteArray> encode(const SupervisionExport &file);

// "Tarnwick监督规则-" and the calendar date of `at` in `zone` as year-month-day, then ".json".
[[nodiscard]] QString defaultFileName(Instant at, const QTimeZone &zone = QTimeZone::systemTimeZone());

} // namespace SupervisionExporter
