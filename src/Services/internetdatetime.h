#pragma once

#include "instant.h"

#include <QString>
#include <QStringView>

#include <optional>

// The ISO 8601 internet date-time form of the rules file (RFC 3339 without fractions): "YYYY-MM-DDTHH:MM:SS"
// followed by "Z" or an offset "+HH:MM" / "-HH:MM". Upper-case T and Z only; no fractional seconds, no leap second,
// no date that the Gregorian calendar does not have. Pure functions.
namespace InternetDateTime {

// The instant written in UTC with whole seconds (a fraction is dropped towards the past) and the suffix Z; none for
// an instant outside the years 0000 to 9999, which the form cannot hold.
[[nodiscard]] std::optional<QString> format(Instant t);
[[nodiscard]] std::optional<Instant> parse(QStringView text);

} // namespace InternetDateTime
