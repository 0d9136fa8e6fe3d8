#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

// A program to start detached from this one, as desktop launchers start apps: in a session of its own, not a child
// of this process (nothing is left to reap), holding none of this process's descriptors but the standard three, with
// the argument list handed over as it is (no shell), and, when `ownPidVariable` is set, its own process id in that
// variable of its environment. QProcess::startDetached cannot do the last: it runs no code in the new process, and
// the id is known only there. A plain value; start() may be called from any thread.
struct DetachedProcess
{
    QString executable;    // the file to run, an absolute path
    QStringList arguments; // the whole argument vector, the program's name as written first
    QString workingDirectory; // empty: this process's
    QProcessEnvironment environment;
    QString ownPidVariable;

    // The new process's id; nothing when it could not be started (the file cannot be run, the working directory
    // cannot be entered, no process could be made).
    [[nodiscard]] std::optional<qint64> start() const;
};
