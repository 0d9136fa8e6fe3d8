#include "linux/linuxappinstances.h"

#include "appidentity.h"

#include <QSet>

#include <algorithm>

LinuxAppInstances::LinuxAppInstances(DesktopEntryLookup entries, QString procRoot, qint64 ownPid)
    : m_entries(std::move(entries))
    , m_root(std::move(procRoot))
    , m_ownPid(ownPid >= 0 ? ownPid : AppIdentity::processID())
    , m_marksReader(m_root)
{
    (void)refresh();
}

void LinuxAppInstances::setEntries(DesktopEntryLookup entries)
{
    m_entries = std::move(entries);
    m_hasEntries = true;
    mapUnmappedAgain();
}

void LinuxAppInstances::mapUnmappedAgain()
{
    QList<ProcessFacts> unmapped;
    QHash<qint64, ProcessFacts> knownFacts;
    QHash<qint64, AppInstanceMapping::Membership> known;
    for (auto it = m_processes.cbegin(); it != m_processes.cend(); ++it) {
        if (it->membership) {
            knownFacts.insert(it.key(), it->facts);
            known.insert(it.key(), *it->membership);
        } else {
            unmapped.append(it->facts);
        }
    }
    if (unmapped.isEmpty())
        return;
    // Processes in a launcher's unit always map, so every unmapped one had its GIO variables read.
    const auto mapped = AppInstanceMapping::mapAll(unmapped, m_entries, knownFacts, known);
    std::stable_sort(unmapped.begin(), unmapped.end(), [](const ProcessFacts &a, const ProcessFacts &b) {
        return a.startTime != b.startTime ? a.startTime < b.startTime : a.pid < b.pid;
    });
    QList<QString> newInstances; // not reported: they ran before
    QSet<QString> joined;
    for (const auto &f : std::as_const(unmapped)) {
        const auto m = mapped.constFind(f.pid);
        if (m == mapped.cend())
            continue;
        m_processes[f.pid].membership = *m;
        addMember(m->instanceID, f.pid, *m, newInstances);
        joined.insert(m->instanceID);
    }
    for (const QString &id : std::as_const(joined)) {
        if (auto it = m_instances.find(id); it != m_instances.end())
            it->lastSeen = describe(id, *it);
    }
}

LinuxAppInstances::Changes LinuxAppInstances::refresh(Listing when)
{
    Changes changes;
    // The counters are read before the listing, so that whatever starts or ends while it runs moves them for the
    // next scan.
    const auto marks = m_marksReader.read();
    // An exec moves neither counter, so the processes that may still exec are looked at one by one.
    if (when == Listing::whenMoved && m_started && marks && marks == m_marks && m_quietScans < m_quietScansAtMost &&
        !unsettledProcessExeced()) {
        ++m_quietScans;
        return changes;
    }
    const auto listing = ProcFs::listPids(m_root);
    if (listing.isEmpty())
        return changes; // no /proc at all, not a machine without processes

    m_marks = marks;
    m_quietScans = 0;

    // One pass over the listing marks what is still there; what it did not mark has ended.
    const quint64 scan = ++m_scan;
    QList<ProcFs::PidEntry> fresh;
    QHash<qint64, Process> reread; // read again after an exec; they leave their instance only once mapped anew
    m_unsettled.clear();
    for (const auto &entry : listing) {
        const auto it = m_processes.find(entry.pid);
        if (it == m_processes.end()) {
            fresh.append(entry);
            continue;
        }
        if (it->inode != entry.inode) {
            // A new inode may be a new process under an old pid; the start time tells.
            const auto stat = ProcFs::facts(m_root, entry.pid, false);
            if (!stat || stat->startTime != it->facts.startTime) {
                const Process old = *it;
                m_processes.erase(it);
                removeMember(entry.pid, old, changes.terminated);
                fresh.append(entry);
                continue;
            }
            it->inode = entry.inode;
        }
        if (it->rechecks > 0) {
            --it->rechecks;
            const auto exe = ProcFs::executable(m_root, entry.pid);
            if (exe && *exe != it->facts.executable) {
                // It was read before its exec: what it runs now is read and mapped as a new process.
                reread.insert(entry.pid, *it);
                m_processes.erase(it);
                fresh.append(entry);
                continue;
            }
            if (it->rechecks > 0)
                m_unsettled.append(entry.pid);
        }
        it->listedIn = scan;
    }
    if (m_processes.size() > listing.size() - fresh.size()) {
        for (auto it = m_processes.begin(); it != m_processes.end();) {
            if (it->listedIn == scan) {
                ++it;
                continue;
            }
            const qint64 pid = it.key();
            const Process old = *it;
            it = m_processes.erase(it);
            removeMember(pid, old, changes.terminated);
        }
    }

    QList<ProcessFacts> freshFacts;
    QHash<qint64, quint64> inodes;
    for (const auto &entry : std::as_const(fresh)) {
        const qint64 pid = entry.pid;
        inodes.insert(pid, entry.inode);
        auto facts = ProcFs::facts(m_root, pid, false);
        ++m_processesRead;
        if (!facts)
            continue;
        // A launcher's unit outranks the GIO variables, so they are read only for processes outside one.
        if (!AppInstanceMapping::appUnitOfCgroup(facts->cgroupPath))
            ProcFs::readLaunchEnvironment(m_root, *facts);
        freshFacts.append(std::move(*facts));
    }
    QHash<qint64, ProcessFacts> knownFacts;
    QHash<qint64, AppInstanceMapping::Membership> known;
    // The program is an instance of its own, whatever unit or terminal it was started in, so that the instance it
    // sits in stays an ordinary app and nothing that acts on that app reaches the program.
    for (const auto &f : std::as_const(freshFacts)) {
        if (f.pid == m_ownPid)
            known.insert(f.pid, {AppIdentity::bundleID(), u"own"_qs, AppInstanceMapping::Source::launchedEntry, f.pid});
    }
    // Only the parents of the new processes matter to the mapping.
    for (const auto &f : std::as_const(freshFacts)) {
        if (const auto it = m_processes.constFind(f.parentPid); it != m_processes.cend()) {
            knownFacts.insert(f.parentPid, it->facts);
            if (it->membership)
                known.insert(f.parentPid, *it->membership);
        }
    }
    const auto mapped = AppInstanceMapping::mapAll(freshFacts, m_entries, knownFacts, known);

    std::stable_sort(freshFacts.begin(), freshFacts.end(), [](const ProcessFacts &a, const ProcessFacts &b) {
        return a.startTime != b.startTime ? a.startTime < b.startTime : a.pid < b.pid;
    });
    QList<QString> newInstances;
    QSet<QString> joined;
    for (const auto &f : std::as_const(freshFacts)) {
        Process p;
        p.inode = inodes.value(f.pid);
        p.listedIn = scan;
        p.facts = f;
        if (const auto it = mapped.constFind(f.pid); it != mapped.cend())
            p.membership = *it;
        if (m_started && f.pid != m_ownPid) {
            const auto parent = m_processes.constFind(f.parentPid);
            const bool parentsProgram = parent != m_processes.cend() && parent->facts.executable == f.executable;
            if (!p.membership || parentsProgram) {
                p.rechecks = recheckListings;
                m_unsettled.append(f.pid);
            }
        }
        m_processes.insert(f.pid, p);
        bool stays = false; // an instance that it stays in sees no end and no new start
        if (const auto old = reread.constFind(f.pid); old != reread.cend()) {
            stays = old->membership && p.membership && old->membership->instanceID == p.membership->instanceID;
            if (!stays)
                removeMember(f.pid, *old, changes.terminated);
            reread.erase(old);
        }
        if (p.membership) {
            if (!stays)
                addMember(p.membership->instanceID, f.pid, *p.membership, newInstances);
            joined.insert(p.membership->instanceID);
        }
    }
    // Gone before it could be read again.
    for (auto it = reread.cbegin(); it != reread.cend(); ++it)
        removeMember(it.key(), it.value(), changes.terminated);
    // A process that joins a running instance may be its new main process (its root came back into view).
    for (const QString &id : std::as_const(joined)) {
        if (auto it = m_instances.find(id); it != m_instances.end())
            it->lastSeen = describe(id, *it);
    }
    for (const QString &id : std::as_const(newInstances)) {
        const auto it = m_instances.constFind(id);
        if (it != m_instances.cend() && m_started && !it->own)
            changes.launched.append(it->lastSeen);
    }

    if (!m_started) {
        m_started = true;
        changes = {};
    }
    return changes;
}

bool LinuxAppInstances::unsettledProcessExeced()
{
    for (auto pid = m_unsettled.begin(); pid != m_unsettled.end();) {
        const auto it = m_processes.find(*pid);
        if (it == m_processes.end() || it->rechecks <= 0) {
            pid = m_unsettled.erase(pid);
            continue;
        }
        const auto exe = ProcFs::executable(m_root, *pid);
        if (exe && *exe != it->facts.executable)
            return true; // the listing that follows reads it again
        if (--it->rechecks <= 0) {
            pid = m_unsettled.erase(pid);
            continue;
        }
        ++pid;
    }
    return false;
}

void LinuxAppInstances::addMember(const QString &instanceID, qint64 pid, const AppInstanceMapping::Membership &m,
                                  QList<QString> &newInstances)
{
    auto it = m_instances.find(instanceID);
    if (it == m_instances.end()) {
        Instance instance;
        instance.bundleID = m.bundleID;
        instance.rootPid = m.rootPid;
        instance.firstSeen = ++m_seenCounter;
        it = m_instances.insert(instanceID, instance);
        newInstances.append(instanceID);
    }
    it->members.append(pid);
    if (pid == m_ownPid || m.bundleID == AppIdentity::bundleIDView)
        it->own = true;
}

void LinuxAppInstances::removeMember(qint64 pid, const Process &process, QList<RunningApp> &terminated)
{
    if (!process.membership)
        return;
    auto it = m_instances.find(process.membership->instanceID);
    if (it == m_instances.end())
        return;
    it->members.removeAll(pid);
    if (!it->members.isEmpty()) {
        it->lastSeen = describe(it.key(), *it);
        return;
    }
    if (!it->own)
        terminated.append(it->lastSeen);
    m_instances.erase(it);
}

RunningApp LinuxAppInstances::describe(const QString &instanceID, const Instance &instance) const
{
    RunningApp app;
    app.bundleID = instance.bundleID;
    app.instanceID = instanceID;
    app.localizedName = m_entries.localizedName(instance.bundleID);
    if (instance.members.isEmpty()) {
        app.pid = instance.lastSeen.pid;
        app.executablePath = instance.lastSeen.executablePath;
        return app;
    }
    qint64 main = instance.members.first();
    if (instance.rootPid > 0 && instance.members.contains(instance.rootPid))
        main = instance.rootPid;
    app.pid = main;
    app.executablePath = m_processes.value(main).facts.executable;
    if (app.localizedName.isEmpty())
        app.localizedName = instance.lastSeen.localizedName;
    return app;
}

QList<RunningApp> LinuxAppInstances::instances() const
{
    QList<std::pair<quint64, RunningApp>> ordered;
    for (auto it = m_instances.cbegin(); it != m_instances.cend(); ++it) {
        if (!it->own)
            ordered.append({it->firstSeen, it->lastSeen});
    }
    std::sort(ordered.begin(), ordered.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<RunningApp> out;
    out.reserve(ordered.size());
    for (auto &entry : ordered)
        out.append(std::move(entry.second));
    return out;
}

std::optional<RunningApp> LinuxAppInstances::instance(const QString &instanceID) const
{
    const auto it = m_instances.constFind(instanceID);
    if (it == m_instances.cend() || it->own)
        return std::nullopt;
    return it->lastSeen;
}

std::optional<RunningApp> LinuxAppInstances::instanceOfProcess(qint64 pid) const
{
    const auto it = m_processes.constFind(pid);
    if (it == m_processes.cend() || !it->membership)
        return std::nullopt;
    return instance(it->membership->instanceID);
}

QList<qint64> LinuxAppInstances::processesOf(const QString &instanceID) const
{
    const auto it = m_instances.constFind(instanceID);
    if (it == m_instances.cend() || it->own)
        return {};
    return it->members;
}

std::optional<qint64> LinuxAppInstances::processForWindowClass(const QString &instanceName,
                                                               const QString &className) const
{
    const auto bundleID = m_entries.bundleIDForWindowClass(instanceName, className);
    if (!bundleID)
        return std::nullopt;
    const Instance *newest = nullptr;
    for (const Instance &instance : m_instances) {
        if (!instance.own && instance.bundleID == *bundleID && (!newest || instance.firstSeen > newest->firstSeen))
            newest = &instance;
    }
    if (!newest || newest->lastSeen.pid <= 0)
        return std::nullopt;
    return newest->lastSeen.pid;
}
