#pragma once

#include "embeddedapp.h"

#include <QList>
#include <QString>

class ProcessTable;

// Finds the processes of an app that runs inside a host app's bundle (every process whose executable lies inside
// the embedded bundle) and kills them. Holds no state of its own: each call reads the process table anew.
// Main thread; owned by main.cpp (or a test) and shared by the supervision services.
class EmbeddedProcessFamily
{
public:
    struct Member
    {
        qint64 pid = 0;
        QString executable;
        friend bool operator==(const Member &, const Member &) = default;
    };

    explicit EmbeddedProcessFamily(ProcessTable &table);

    // Every process of the machine, in the kernel's order; empty when the table cannot be read.
    [[nodiscard]] QList<qint64> allPIDs() const;
    // The processes of the app, in the order of allPIDs(). Never the program's own process.
    [[nodiscard]] QList<qint64> pids(const EmbeddedApp &app) const;
    [[nodiscard]] QList<Member> members(const EmbeddedApp &app) const;
    // SIGKILL to every process of the app, in order; fire-and-forget.
    void killAll(const EmbeddedApp &app);

    // A bundle path that could stand for an app bundle at all: absolute and not the root. Anything else would
    // turn the prefix rule into "every process".
    [[nodiscard]] static bool isUsableBundlePath(const QString &bundlePath);
    // The executable is the bundle path itself or lies below it ("<B>2/..." is a sibling, not inside).
    [[nodiscard]] static bool isInside(const QString &executable, const QString &bundlePath);

private:
    ProcessTable &m_table;
};
