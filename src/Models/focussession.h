#pragma once

#include "instant.h"

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// One running focus session: the user named a task and a duration before the app opened, and the app is quit at
// the deadline. Its JSON object is the element of the focus-session file: "id" (upper-case UUID text), "bundleID",
// "appName", "taskNote" (only when present), "deadline" (seconds since 2001-01-01 UTC, fraction kept) and
// "blockMinutes" (only when present). A plain value.
struct FocusSession
{
    QUuid id = QUuid::createUuid();
    QString bundleID;
    QString appName;
    std::optional<QString> taskNote; // never empty when present
    Instant deadline{};
    std::optional<int> blockMinutes; // minutes blocked after the deadline; none means no block

    [[nodiscard]] QJsonObject toJson() const;
    // Fails on a missing required key or a value of the wrong type; `error` then names the key. "id" is read in
    // either case, "blockMinutes" as any integral number (5.0 too); a deadline no Instant can hold fails as well.
    // Unknown keys are ignored; a missing or null "taskNote" or "blockMinutes" is none, and so is an empty
    // "taskNote".
    [[nodiscard]] static std::optional<FocusSession> fromJson(const QJsonValue &value, QString *error = nullptr);

    [[nodiscard]] static QString uuidText(const QUuid &id); // canonical, upper-case, no braces

    friend bool operator==(const FocusSession &, const FocusSession &) = default;
};

size_t qHash(const FocusSession &session, size_t seed = 0);
