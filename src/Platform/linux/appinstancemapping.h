#pragma once

#include "linux/desktopentrylookup.h"
#include "linux/procfs.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// Which app instance a process belongs to, decided from what /proc shows of it and of its parent. Pure functions;
// any thread.
//
// An instance is, in this order of precedence:
//  - the processes of one systemd scope or service that a desktop launcher made for an entry
//    ("app-<launcher>-<id>-<n>.scope", "app-<id>@<n>.service", ...), except a process in it that runs the executable
//    of one other entry (a program started from a terminal's shell in the terminal's scope is that program);
//  - the process whose pid equals its GIO_LAUNCHED_DESKTOP_FILE_PID, for the entry GIO_LAUNCHED_DESKTOP_FILE names;
//  - a process that runs the executable of exactly one entry (no interpreter, shell or wrapper);
//  - a child of a member of one of the last two that runs the same executable as its parent, or whose parent is a
//    wrapper (a launch script's program). A terminal's shell, which inherited the terminal's GIO variables, is none
//    of these, and neither is what the user starts from it unless it is an entry's own executable.
// A process that fits none of them is no app.
namespace AppInstanceMapping {

enum class Source { appUnit, launchedEntry, executable };

struct Membership
{
    QString bundleID;
    QString instanceID;
    Source source = Source::appUnit;
    qint64 rootPid = 0; // the process the instance started with; 0 for a unit, whose first process is its root

    friend bool operator==(const Membership &, const Membership &) = default;
};

struct AppUnit
{
    QString bundleID;
    QString unitName;
};

// Undoes systemd's unit-name escaping ("\x2d" for "-" and the like).
[[nodiscard]] QString unescapeUnitName(QStringView name);
// The unit of a launched app that a single unit name stands for, if it is one.
[[nodiscard]] std::optional<AppUnit> appUnit(QStringView unitName);
// The innermost app unit on a cgroup path.
[[nodiscard]] std::optional<AppUnit> appUnitOfCgroup(QStringView cgroupPath);

// The membership of `process`, given its parent's facts and membership (both absent when unknown).
[[nodiscard]] std::optional<Membership> membership(const ProcessFacts &process, const ProcessFacts *parent,
                                                   const std::optional<Membership> &parentMembership,
                                                   const DesktopEntryLookup &entries);

// Memberships of a whole set of processes: parents are decided before their children (by start time), and `known`
// memberships (of processes seen earlier) are kept as they are.
[[nodiscard]] QHash<qint64, Membership> mapAll(const QList<ProcessFacts> &processes, const DesktopEntryLookup &entries,
                                               const QHash<qint64, ProcessFacts> &knownFacts = {},
                                               const QHash<qint64, Membership> &known = {});

} // namespace AppInstanceMapping
