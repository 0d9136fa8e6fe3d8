#pragma once

#include "instant.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The rules file as a plain value: every app group, restriction rule and timed-quit plan and the blocked-app
// message. Each field is a key of the file's JSON object, spelled as the field. Compared field by field. A value;
// made by SupervisionExporter or SupervisionImporter and kept by the caller.
struct SupervisionExport
{
    static constexpr QStringView formatIdentifier = u"tarnwick-supervision";
    static constexpr int currentFormatVersion = 1;

    struct GroupEntry
    {
        QString id; // the group's refID
        QString name;
        int sortIndex = 0;
        QStringList bundleIDs; // member order, repeats kept

        friend bool operator==(const GroupEntry &, const GroupEntry &) = default;
    };

    struct RuleEntry
    {
        QString targetKind; // "app" or "group"
        QString targetID;
        int startMinute = 0;
        int endMinute = 0;
        QList<int> weekdays;
        bool isEnabled = true;
        std::optional<Instant> pausedUntil;
        std::optional<Instant> onceDate;

        friend bool operator==(const RuleEntry &, const RuleEntry &) = default;
    };

    struct PlanEntry
    {
        QString targetKind; // "group" or "apps"
        QString groupID;
        QStringList bundleIDs;
        int quitMinute = 0;
        QList<int> weekdays;
        QString blockMode; // "none", "minutes" or "until"
        int blockMinutes = 0;
        int blockUntilMinute = 0;
        bool isEnabled = true;
        std::optional<Instant> pausedUntil;

        friend bool operator==(const PlanEntry &, const PlanEntry &) = default;
    };

    QString format = formatIdentifier.toString();
    int formatVersion = currentFormatVersion;
    Instant exportedAt;
    QString blockedSlogan;
    QList<GroupEntry> groups;
    QList<RuleEntry> restrictionRules;
    QList<PlanEntry> quitPlans;

    friend bool operator==(const SupervisionExport &, const SupervisionExport &) = default;
};
