#pragma once

#include "supervisionexport.h"
#include "supervisionimporterror.h"

#include <QByteArrayView>
#include <QStringView>

#include <optional>
#include <variant>

class Preferences;
class StoreContext;

enum class [[nodiscard]] SupervisionApplyResult { applied, storeFailed };

// Reads a rules file, checks its group references and replaces the stored supervision set-up with it. Main thread
// (the settings sheet is the caller); decode and validate are pure.
namespace SupervisionImporter {

// The file's content, or invalidFile when the bytes are not a rules file of this format and version: not strict JSON
// (RFC 8259, UTF-8, an optional byte order mark), a required key missing, a value of the wrong type, an integer with
// a fraction or exponent or beyond 32 bits, a date not in the internet date-time form. Values the supervision engine
// cannot take are refused as well: minutes of day outside 0 to 1439, weekdays outside 1 to 7, negative block lengths,
// and group ids that are empty or repeated. Keys it does not know are ignored; of a repeated key the last one counts.
[[nodiscard]] std::variant<SupervisionExport, SupervisionImportError> decode(QByteArrayView bytes);

// None when every group rule and group plan names a group of the file, else brokenReferences.
[[nodiscard]] std::optional<SupervisionImportError> validate(const SupervisionExport &file);

// The preference that holds the blocked-app message.
inline constexpr QStringView blockedSloganKey = u"blockedSlogan";

// Replaces every group, restriction rule and timed-quit plan of the store with the file's, as the file gives them,
// and then the blocked-app message. All or nothing: the store's changes are taken back to where they stood before
// the call when the save fails, and the message is written only after the save succeeded, so a failure leaves the
// stored set-up and the message as they were. Changes pending from before the call are neither lost nor rolled back;
// a successful save writes them too. App records, ad-hoc blocks and all other preferences are not touched. Expects a
// file that decode() gave and validate() passed.
SupervisionApplyResult apply(const SupervisionExport &file, StoreContext &context, Preferences &preferences);

} // namespace SupervisionImporter
