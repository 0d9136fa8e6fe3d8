#pragma once

#include "runningapps.h"
#include "linux/appinstancemapping.h"
#include "linux/desktopentrylookup.h"
#include "linux/procfs.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The app instances running now, kept current by refresh(): a listing of /proc whose new pids are read once and
// mapped to instances (AppInstanceMapping) and whose vanished pids leave theirs. An instance starts with its first
// process and ends with its last. The program's own instance is never reported. The root is injectable for fixture
// trees. Main thread; owned by main.cpp and shared by LinuxRunningApps and LinuxWorkspaceEvents.
class LinuxAppInstances
{
public:
    explicit LinuxAppInstances(DesktopEntryLookup entries = {}, QString procRoot = QStringLiteral("/proc"),
                               qint64 ownPid = -1);

    // New entries apply to processes seen from now on, and every running process that has no app yet is mapped
    // again with them (the ones that ran before the first entries came, above all). Running processes that have an
    // app keep the instance they were given. What the new entries map is no launch: it ran before, and no event
    // comes for it; it ends as any instance does.
    void setEntries(DesktopEntryLookup entries);
    // Whether entries were set at least once: until then only launcher units and launched entries map to apps.
    [[nodiscard]] bool hasEntries() const { return m_hasEntries; }

    struct Changes
    {
        QList<RunningApp> launched;   // in the order their first processes started
        QList<RunningApp> terminated; // as they were last seen
    };
    // Reads /proc anew. The first call (made by the constructor) takes what runs as the starting point and reports
    // nothing. A listing that fails changes nothing. While the table's counters (ProcFs::tableMarks) stand still the
    // listing is skipped, but never more than a few times in a row, and not when a young process has run its real
    // program since it was read (see recheckListings).
    // With `Listing::always`, the table is listed whatever its counters say.
    enum class Listing { whenMoved, always };
    Changes refresh(Listing when = Listing::whenMoved);
    static constexpr int defaultQuietScansAtMost = 99; // a listing at least every 5 s at 50 ms a scan
    // A new process read between its fork and its exec shows its parent's program and environment. One that maps to
    // no app, or runs its parent's executable, has its executable looked at again in this many scans (a quiet scan
    // reads just those links), and is read and mapped anew once it runs another one.
    static constexpr int recheckListings = 20;
    void setQuietScansAtMost(int scans) { m_quietScansAtMost = scans; }
    // Whether a young process still has its executable looked at again in the coming scans.
    [[nodiscard]] bool hasUnsettledProcesses() const { return !m_unsettled.isEmpty(); }

    // The instances of other programs, in the order they were first seen.
    [[nodiscard]] QList<RunningApp> instances() const;
    [[nodiscard]] std::optional<RunningApp> instance(const QString &instanceID) const;
    [[nodiscard]] std::optional<RunningApp> instanceOfProcess(qint64 pid) const;
    // The processes of an instance, oldest first.
    [[nodiscard]] QList<qint64> processesOf(const QString &instanceID) const;
    [[nodiscard]] bool knowsProcess(qint64 pid) const { return m_processes.contains(pid); }
    [[nodiscard]] std::optional<QString> bundleIDForDesktopFile(const QString &path) const
    {
        return m_entries.bundleIDForDesktopFile(path);
    }
    // The main process of the newest instance of the app whose entry a window's WM_CLASS names
    // (DesktopEntryLookup::bundleIDForWindowClass); none when no entry or no instance fits.
    [[nodiscard]] std::optional<qint64> processForWindowClass(const QString &instanceName,
                                                              const QString &className) const;
    [[nodiscard]] QString procRoot() const { return m_root; }
    // How many new processes the scans have read so far (what a scan costs beyond the listing).
    [[nodiscard]] quint64 processesRead() const { return m_processesRead; }
    // How many scans listed the table (the others found its counters unmoved).
    [[nodiscard]] quint64 listings() const { return m_scan; }

private:
    struct Process
    {
        quint64 inode = 0;
        quint64 listedIn = 0; // the scan that last listed it
        int rechecks = 0;     // scans left in which its executable is looked at again
        ProcessFacts facts;
        std::optional<AppInstanceMapping::Membership> membership;
    };
    struct Instance
    {
        QString bundleID;
        qint64 rootPid = 0;
        QList<qint64> members; // oldest first
        quint64 firstSeen = 0;
        RunningApp lastSeen;
        bool own = false;
    };

    DesktopEntryLookup m_entries;
    QString m_root;
    qint64 m_ownPid = -1;
    QHash<qint64, Process> m_processes;
    QHash<QString, Instance> m_instances;
    quint64 m_seenCounter = 0;
    quint64 m_processesRead = 0;
    quint64 m_scan = 0;
    ProcFs::TableMarksReader m_marksReader;
    std::optional<ProcFs::TableMarks> m_marks;
    int m_quietScans = 0;
    int m_quietScansAtMost = defaultQuietScansAtMost;
    QList<qint64> m_unsettled; // the processes with rechecks left
    bool m_started = false;
    bool m_hasEntries = false;

    // For a scan that finds the table's counters unmoved: whether one of the unsettled processes runs another
    // executable now (each one checked counts as one of its rechecks).
    [[nodiscard]] bool unsettledProcessExeced();
    void mapUnmappedAgain();
    [[nodiscard]] RunningApp describe(const QString &instanceID, const Instance &instance) const;
    void addMember(const QString &instanceID, qint64 pid, const AppInstanceMapping::Membership &m,
                   QList<QString> &newInstances);
    void removeMember(qint64 pid, const Process &process, QList<RunningApp> &terminated);
};
