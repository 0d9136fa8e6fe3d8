// How long a blocked app opened outside the launcher runs before the external-launch guard acts on it: the real
// /proc scan (LinuxAppInstances, LinuxWorkspaceEvents), the real running apps and the real guard, with a blocked set
// that holds the fixture desktop entries. The fixture app is a child of this program, started in one of two ways
// that map it to the entry: by an executable of its own (a copy of sleep that only the entry runs), or as a launcher
// would start it, with GIO_LAUNCHED_DESKTOP_FILE and GIO_LAUNCHED_DESKTOP_FILE_PID in its environment. Each run
// measures from just before the spawn until the guard asks for the blocked-app prompt, then kills the child (after
// checking that the guard's instance is exactly that child) and waits out the guard's 2-second prompt throttle at a
// random phase of the scan timer.
// Given the fixture X client (tests' xfixtureapp) and a display with an EWMH window manager, a third way starts a
// copy of it that maps a window: besides the prompt, the time from the window's mapping to its iconifying (as the
// client itself sees both) is measured.
//
//   build/bench/bench_launchguard [runs per way, default 20] [path of xfixtureapp]
//   e.g. xvfb-run -a sh -c 'openbox & sleep 1; build/bench/bench_launchguard 20 build/tests/xfixtureapp'
#include "appprocesscontrol.h"
#include "embeddedapp.h"
#include "embeddedprocessfamily.h"
#include "externallaunchguard.h"
#include "linux/appinstancemapping.h"
#include "linux/desktopentrylookup.h"
#include "linux/linuxappinstances.h"
#include "linux/linuxprocesstable.h"
#include "linux/linuxrunningapps.h"
#include "linux/linuxtimerservice.h"
#include "linux/linuxworkspaceevents.h"
#include "linux/procfs.h"
#include "linux/systemclock.h"
#include "linux/x11windowlist.h"
#include "linux/xcbdisplay.h"
#include "sleepwake.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <memory>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Steady = std::chrono::steady_clock;

const QString fixtureID = QStringLiteral("org.example.BlockedFixture");
const QString windowFixtureID = QStringLiteral("org.example.BlockedWindowFixture");

// This program's environment without the launch variables it may have inherited from a launcher of its own.
std::vector<std::string> cleanEnvironment()
{
    std::vector<std::string> out;
    for (char **e = environ; *e; ++e) {
        if (std::strncmp(*e, "GIO_LAUNCHED_DESKTOP_FILE", 25) != 0)
            out.emplace_back(*e);
    }
    return out;
}

// A child that runs `program` with its own executable; it inherits nothing that names an entry.
pid_t spawnByExecutable(const QByteArray &program, QList<QByteArray> arguments = {"600"})
{
    auto env = cleanEnvironment();
    std::vector<char *> envp;
    for (auto &s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    QByteArray path = program;
    std::vector<char *> argv{path.data()};
    for (auto &a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    return ::posix_spawn(&child, path.constData(), nullptr, nullptr, argv.data(), envp.data()) == 0 ? child : -1;
}

// A child started as a desktop launcher starts one: the entry's file and the child's own pid in its environment.
// The pid is written after the fork, with nothing but async-signal-safe calls.
pid_t spawnAsLaunched(const QByteArray &program, const QByteArray &desktopFile)
{
    auto env = cleanEnvironment();
    env.push_back("GIO_LAUNCHED_DESKTOP_FILE=" + desktopFile.toStdString());
    std::string pidVariable = "GIO_LAUNCHED_DESKTOP_FILE_PID=";
    const size_t digitsAt = pidVariable.size();
    pidVariable.append(24, '\0');
    std::vector<char *> envp;
    for (auto &s : env)
        envp.push_back(s.data());
    envp.push_back(pidVariable.data());
    envp.push_back(nullptr);
    QByteArray path = program, seconds = "600";
    char *argv[] = {path.data(), seconds.data(), nullptr};

    const pid_t child = ::fork();
    if (child == 0) {
        char reversed[24];
        int n = 0;
        for (pid_t p = ::getpid(); p > 0; p /= 10)
            reversed[n++] = char('0' + p % 10);
        for (int i = 0; i < n; ++i)
            pidVariable[digitsAt + size_t(i)] = reversed[n - 1 - i];
        ::execve(path.constData(), argv, envp.data());
        ::_exit(127);
    }
    return child;
}

struct Figures
{
    QString way;
    QList<double> delaysMs;
    int missed = 0;
};

double percentile(QList<double> sorted, double q)
{
    if (sorted.isEmpty())
        return 0;
    std::sort(sorted.begin(), sorted.end());
    const double at = q * double(sorted.size() - 1);
    const auto lo = qsizetype(at);
    const auto hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (sorted[hi] - sorted[lo]) * (at - double(lo));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 20;
    QTextStream out(stdout);

    // The fixture: an entry whose Exec is an executable of its own, in a folder of applications made for the run.
    QTemporaryDir dir;
    const QString applications = dir.path() + u"/applications"_qs;
    QDir().mkpath(applications);
    QDir().mkpath(dir.path() + u"/bin"_qs);
    const QString fixtureProgram = dir.path() + u"/bin/blocked-fixture"_qs;
    if (!QFile::copy(u"/bin/sleep"_qs, fixtureProgram)
        || !QFile::setPermissions(fixtureProgram, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        out << "cannot make the fixture program\n";
        return 1;
    }
    const QString entryPath = applications + u'/' + fixtureID + u".desktop"_qs;
    {
        QFile entry(entryPath);
        if (!entry.open(QIODevice::WriteOnly)) {
            out << "cannot write the fixture entry\n";
            return 1;
        }
        entry.write("[Desktop Entry]\nType=Application\nName=Blocked fixture\nName[zh_CN]=受限测试程序\nExec="
                    + QFile::encodeName(fixtureProgram) + " 600\n");
    }
    // The X client's own copy and entry, when it is given.
    const QString xClient = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString windowProgram = dir.path() + u"/bin/blocked-window-fixture"_qs;
    const QString windowEntryPath = applications + u'/' + windowFixtureID + u".desktop"_qs;
    const QString reportPath = dir.path() + u"/report"_qs;
    if (!xClient.isEmpty()) {
        QFile entry(windowEntryPath);
        if (!QFile::copy(xClient, windowProgram) || !entry.open(QIODevice::WriteOnly)) {
            out << "cannot make the X client fixture\n";
            return 1;
        }
        QFile::setPermissions(windowProgram, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        entry.write("[Desktop Entry]\nType=Application\nName=Blocked window fixture\nExec="
                    + QFile::encodeName(windowProgram) + "\n");
    }
    const QString ownCgroup = ProcFs::facts(u"/proc"_qs, qint64(::getpid()), false).value_or(ProcessFacts{}).cgroupPath;
    if (AppInstanceMapping::appUnitOfCgroup(ownCgroup))
        out << "note: this program runs inside a launcher's app unit (" << ownCgroup
            << "), so its children count as that app; run it from a plain shell or a systemd-run scope\n";

    SystemClock clock;
    LinuxTimerService timers(clock);
    LinuxProcessTable table;
    const QStringList entryPaths = xClient.isEmpty() ? QStringList{entryPath} : QStringList{entryPath, windowEntryPath};
    const DesktopEntryLookup lookup(DesktopEntryLookup::readEntries(entryPaths, {applications}, {u"zh_CN"_qs}));
    if (!lookup.contains(fixtureID)) {
        out << "the fixture entry was not read\n";
        return 1;
    }
    LinuxAppInstances instances(lookup);
    std::unique_ptr<XcbDisplay> display;
    if (!xClient.isEmpty()) {
        display = std::make_unique<XcbDisplay>();
        if (!display->isConnected()) {
            out << "no X display for the X client fixture\n";
            return 1;
        }
    }
    X11WindowList windows(display.get());
    LinuxWorkspaceEvents events(instances, timers, display.get());
    LinuxRunningApps running(instances, table, &windows);
    const EmbeddedAppRegistry registry({}, {});
    EmbeddedProcessFamily family(table);
    AppProcessControl control(running, family, registry);
    SleepWake sleepWake;

    pid_t child = -1;
    Steady::time_point spawnedAt;
    QList<Figures> results{{u"by its own executable"_qs, {}, 0}, {u"launched with GIO variables"_qs, {}, 0}};
    if (!xClient.isEmpty())
        results.append({u"an X client with a window"_qs, {}, 0});
    Figures iconified{u"its window's mapping until it is iconified"_qs, {}, 0};
    QTimer reportPoll;
    reportPoll.setInterval(1);
    int reportPolls = 0;
    int way = 0, run = 0;
    QTimer timeout;
    timeout.setSingleShot(true);
    timeout.setInterval(3000);

    std::function<void()> next;
    auto endRun = [&](std::optional<double> delayMs) {
        timeout.stop();
        reportPoll.stop();
        if (child > 0) {
            ::kill(child, SIGKILL); // our own child
            ::waitpid(child, nullptr, 0);
            child = -1;
        }
        if (delayMs)
            results[way].delaysMs.append(*delayMs);
        else
            ++results[way].missed;
        if (++run == runs) {
            run = 0;
            ++way;
        }
        if (way == results.size()) {
            QCoreApplication::quit();
            return;
        }
        // Past the guard's prompt throttle, at a random phase of the scan (a precise timer: a coarse one would round
        // the wait and so fix the phase).
        const int scanMs = int(std::chrono::duration_cast<std::chrono::milliseconds>(LinuxWorkspaceEvents::scanInterval).count());
        QTimer::singleShot(2100 + int(QRandomGenerator::global()->bounded(scanMs)), Qt::PreciseTimer, &app, next);
    };

    ExternalLaunchGuard guard(
        clock, timers, events, sleepWake, control, running, registry, {},
        [](Instant) { return QSet<QString>{fixtureID, windowFixtureID}; },
        [&](const QString &bundleID) {
            const double ms = std::chrono::duration<double, std::milli>(Steady::now() - spawnedAt).count();
            const QString expected = way == 2 ? windowFixtureID : fixtureID;
            if (bundleID != expected || child <= 0)
                return;
            // The guard must have found exactly the child, and nothing else, as the blocked app.
            const auto found = running.runningApps(expected);
            if (found.size() != 1 || found.first().pid != qint64(child)) {
                out << "the blocked app's instances are not exactly the child: stopping\n";
                endRun(std::nullopt);
                QCoreApplication::exit(1);
                return;
            }
            if (way != 2) {
                endRun(ms);
                return;
            }
            // The window's figure comes from the client: wait for it (a second at most), then end the run.
            results[way].delaysMs.append(ms);
            reportPolls = 0;
            reportPoll.start();
        });
    QObject::connect(&reportPoll, &QTimer::timeout, &app, [&] {
        QFile report(reportPath);
        if (report.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : report.readAll().split('\n')) {
                if (line.startsWith("iconic ")) {
                    iconified.delaysMs.append(line.mid(7).toDouble());
                    QFile::remove(reportPath);
                    --results[way].missed; // counted by the prompt already
                    endRun(std::nullopt);
                    return;
                }
            }
        }
        if (++reportPolls > 1000) {
            ++iconified.missed;
            QFile::remove(reportPath);
            --results[way].missed;
            endRun(std::nullopt);
        }
    });

    next = [&] {
        spawnedAt = Steady::now();
        child = way == 0 ? spawnByExecutable(QFile::encodeName(fixtureProgram))
                : way == 1 ? spawnAsLaunched("/bin/sleep", QFile::encodeName(entryPath))
                           : spawnByExecutable(QFile::encodeName(windowProgram),
                                               {"--pid", "--report", QFile::encodeName(reportPath)});
        if (child <= 0) {
            out << "cannot start the fixture app\n";
            QCoreApplication::exit(1);
            return;
        }
        timeout.start();
    };
    QObject::connect(&timeout, &QTimer::timeout, &app, [&] { endRun(std::nullopt); });

    QTimer::singleShot(int(QRandomGenerator::global()->bounded(50)), Qt::PreciseTimer, &app, next);
    const int status = app.exec();
    if (child > 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    if (status != 0)
        return status;

    out << "spawn until the guard asks for the prompt (scan every "
        << std::chrono::duration_cast<std::chrono::milliseconds>(LinuxWorkspaceEvents::scanInterval).count()
        << " ms; " << ProcFs::listPids(u"/proc"_qs).size() << " processes)\n";
    if (!xClient.isEmpty())
        results.append(iconified);
    for (const auto &r : std::as_const(results)) {
        out << QStringLiteral("%1: %2 runs, %3 missed; median %4 ms, min %5, p90 %6, max %7\n")
                   .arg(r.way)
                   .arg(r.delaysMs.size() + r.missed)
                   .arg(r.missed)
                   .arg(percentile(r.delaysMs, 0.5), 0, 'f', 1)
                   .arg(percentile(r.delaysMs, 0.0), 0, 'f', 1)
                   .arg(percentile(r.delaysMs, 0.9), 0, 'f', 1)
                   .arg(percentile(r.delaysMs, 1.0), 0, 'f', 1);
    }
    return 0;
}
