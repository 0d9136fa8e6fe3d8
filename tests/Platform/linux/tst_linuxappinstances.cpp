#include "appidentity.h"
#include "fake/virtualclock.h"
#include "fakex11display.h"
#include "linux/linuxappinstances.h"
#include "linux/linuxrunningapps.h"
#include "linux/linuxworkspaceevents.h"
#include "linux/processtablewatch.h"
#include "linux/processsignaller.h"
#include "linux/x11windowlist.h"
#include "proctree.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

const QString apps = QStringLiteral("/usr/share/applications/");
const QString gimp = QStringLiteral("/usr/bin/gimp-2.10");
const QString calc = QStringLiteral("/usr/bin/gnome-calculator");

QString calcScope(int n)
{
    return userScope(u"app-gnome-org.gnome.Calculator-%1.scope"_qs.arg(n));
}

class RecordingSignaller : public ProcessSignaller
{
public:
    void sendSignal(qint64 pid, const QString &expectedExecutable, int signal) override
    {
        sent.append(u"%1 %2 %3"_qs.arg(signal).arg(pid).arg(expectedExecutable));
    }
    QStringList sent;
};

DesktopEntryLookup entries()
{
    return DesktopEntryLookup({{u"gimp"_qs, u"GIMP 图像编辑器"_qs, u"gimp-2.10 %U"_qs, apps + u"gimp.desktop"_qs},
                              {u"org.gnome.Calculator"_qs, u"计算器"_qs, calc, apps + u"org.gnome.Calculator.desktop"_qs}},
                             [](const QString &p) -> std::optional<QString> {
                                 return p.startsWith(u'/') ? p : u"/usr/bin/"_qs + p;
                             });
}

QStringList names(const QList<RunningApp> &list)
{
    QStringList out;
    for (const auto &a : list)
        out.append(u"%1 %2"_qs.arg(a.bundleID).arg(a.pid));
    return out;
}

} // namespace

// The running instances kept from scans of fixture /proc trees, what the running-app seam does with them (terminate,
// hide, never the program itself), and the workspace events on the virtual clock with an X server in memory.
class TestLinuxAppInstances : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startingPointThenLaunchAndEnd();
    void aReusedPidIsANewProcess();
    void aQuietTableIsListedOnlyNowAndThen();
    void aProcessReadBeforeItsExecIsReadAgain_data();
    void aProcessReadBeforeItsExecIsReadAgain();
    void theProgramItselfIsNeverAnApp();
    void listingAndNames();
    void terminateSignalsTheMainProcess();
    void hideIconifiesTheInstanceWindowsOnly();
    void eventsComeFromTheScanEveryFiftyMilliseconds();
    void theTableWatchSendsOneNoticeForMovedCounters();
    void withATableWatchTheMainThreadScansOnlyWhenNeeded();
    void processesThatRanBeforeTheEntriesAreMappedOnceTheyCome();
    void newWindowsAreAnnouncedOncePerInstance();
    void windowsWithoutAPidFindTheirOwner_data();
    void windowsWithoutAPidFindTheirOwner();
    void openingARunningAppActivatesItsTopWindow();
    void activationFollowsTheFrontInstance();
    void aFreshWindowLaunchesBeforeItActivates();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ProcTree> m_tree;
};

void TestLinuxAppInstances::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_tree = std::make_unique<ProcTree>(m_dir->path() + u"/proc"_qs);
    m_tree->add(process(1, 0, u"/usr/lib/systemd/systemd"_qs, u"/init.scope"_qs));
}

void TestLinuxAppInstances::cleanup()
{
    m_tree.reset();
    m_dir.reset();
}

void TestLinuxAppInstances::startingPointThenLaunchAndEnd()
{
    m_tree->add(process(100, 1, calc, calcScope(1)));
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    QCOMPARE(names(instances.instances()), QStringList{u"org.gnome.Calculator 100"_qs});

    m_tree->add(process(200, 1, calc, calcScope(2)));
    auto changes = instances.refresh();
    QCOMPARE(names(changes.launched), QStringList{u"org.gnome.Calculator 200"_qs});
    QVERIFY(changes.terminated.isEmpty());

    m_tree->add(process(201, 200, u"/usr/libexec/helper"_qs, calcScope(2)));
    changes = instances.refresh();
    QVERIFY(changes.launched.isEmpty() && changes.terminated.isEmpty());
    QCOMPARE(instances.processesOf(u"unit:app-gnome-org.gnome.Calculator-2.scope"_qs), (QList<qint64>{200, 201}));

    // The first process ends: the instance lives on, with the next oldest as its main process.
    m_tree->remove(200);
    changes = instances.refresh();
    QVERIFY(changes.launched.isEmpty() && changes.terminated.isEmpty());
    QCOMPARE(instances.instanceOfProcess(201)->pid, 201);

    m_tree->remove(201);
    changes = instances.refresh();
    QCOMPARE(names(changes.terminated), QStringList{u"org.gnome.Calculator 201"_qs});
    QCOMPARE(changes.terminated.first().instanceID, u"unit:app-gnome-org.gnome.Calculator-2.scope"_qs);
    QCOMPARE(names(instances.instances()), QStringList{u"org.gnome.Calculator 100"_qs});

    // A listing that fails is no mass ending.
    QDir(m_tree->root()).removeRecursively();
    changes = instances.refresh();
    QVERIFY(changes.terminated.isEmpty());
    QCOMPARE(instances.instances().size(), 1);
}

void TestLinuxAppInstances::aReusedPidIsANewProcess()
{
    m_tree->add(process(300, 1, gimp, u"/"_qs, {}, 1000));
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    m_tree->replace(process(300, 1, calc, calcScope(9), {}, 5000));
    const auto changes = instances.refresh();
    QCOMPARE(names(changes.terminated), QStringList{u"gimp 300"_qs});
    QCOMPARE(names(changes.launched), QStringList{u"org.gnome.Calculator 300"_qs});
}

void TestLinuxAppInstances::aQuietTableIsListedOnlyNowAndThen()
{
    auto counters = [&](int threads, int lastPid) {
        ProcTree::write(m_tree->root() + u"/loadavg"_qs, u"0.10 0.20 0.30 1/%1 %2\n"_qs.arg(threads).arg(lastPid).toUtf8());
    };
    counters(100, 500);
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    // A process appears while the counters stand still (as they never do on a real machine): the listing is
    // skipped, but not for ever.
    m_tree->add(process(600, 1, gimp));
    for (int i = 0; i < LinuxAppInstances::defaultQuietScansAtMost; ++i)
        QVERIFY(instances.refresh().launched.isEmpty());
    QCOMPARE(names(instances.refresh().launched), QStringList{u"gimp 600"_qs});

    // A new pid handed out, or a thread count that moved, lists the table at once.
    m_tree->add(process(601, 1, calc, calcScope(60)));
    counters(100, 601);
    QCOMPARE(names(instances.refresh().launched), QStringList{u"org.gnome.Calculator 601"_qs});
    m_tree->remove(600);
    counters(99, 601);
    QCOMPARE(names(instances.refresh().terminated), QStringList{u"gimp 600"_qs});
    // Unreadable counters never stop a listing.
    m_tree->remove(601);
    ProcTree::write(m_tree->root() + u"/loadavg"_qs, "garbage");
    QCOMPARE(names(instances.refresh().terminated), QStringList{u"org.gnome.Calculator 601"_qs});
}

void TestLinuxAppInstances::aProcessReadBeforeItsExecIsReadAgain_data()
{
    QTest::addColumn<QString>("parentExe");
    QTest::addColumn<QString>("cgroup");
    QTest::addColumn<QString>("exeAfterExec");
    QTest::addColumn<QStringList>("environmentAfterExec");
    QTest::addColumn<QStringList>("launchedBeforeExec");
    QTest::addColumn<QStringList>("launchedAfterExec");
    QTest::addColumn<QList<qint64>>("parentInstance"); // empty: the parent is no app

    const QString launcher = u"/usr/bin/launcher"_qs;
    const QString unmapped = u"/usr/bin/unmapped"_qs;
    const QString plain = u"/"_qs;
    const QStringList noEnvironment, none;
    const QList<qint64> noApp;
    QTest::newRow("from a launcher, then an entry's executable")
        << launcher << plain << calc << noEnvironment << none << QStringList{u"org.gnome.Calculator 300"_qs} << noApp;
    QTest::newRow("from a launcher, then with a launcher's variables")
        << launcher << plain << unmapped << gioLaunch(apps + u"gimp.desktop"_qs, 300) << none
        << QStringList{u"gimp 300"_qs} << noApp;
    QTest::newRow("from a launcher, then a program of no entry")
        << launcher << plain << unmapped << noEnvironment << none << none << noApp;
    QTest::newRow("from a launcher, already in the app's unit")
        << launcher << calcScope(30) << calc << noEnvironment << QStringList{u"org.gnome.Calculator 300"_qs} << none
        << noApp;
    QTest::newRow("from an app, then a shell")
        << gimp << plain << u"/bin/bash"_qs << noEnvironment << none << none << QList<qint64>{250};
    QTest::newRow("from an app, then another entry's executable")
        << gimp << plain << calc << noEnvironment << none << QStringList{u"org.gnome.Calculator 300"_qs}
        << QList<qint64>{250};
}

void TestLinuxAppInstances::aProcessReadBeforeItsExecIsReadAgain()
{
    QFETCH(QString, parentExe);
    QFETCH(QString, cgroup);
    QFETCH(QString, exeAfterExec);
    QFETCH(QStringList, environmentAfterExec);
    QFETCH(QStringList, launchedBeforeExec);
    QFETCH(QStringList, launchedAfterExec);
    QFETCH(QList<qint64>, parentInstance);

    // Counters that stand still: an exec moves none of them, and still must not wait for a forced listing.
    ProcTree::write(m_tree->root() + u"/loadavg"_qs, "0.10 0.20 0.30 1/100 500\n");
    m_tree->add(process(250, 1, parentExe));
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    const auto parentApp = instances.instanceOfProcess(250);
    QCOMPARE(parentApp.has_value(), !parentInstance.isEmpty());

    // Forked, not yet exec'd: its parent's program and environment.
    m_tree->add(process(300, 250, parentExe, cgroup));
    ProcTree::write(m_tree->root() + u"/loadavg"_qs, "0.10 0.20 0.30 1/101 300\n");
    QCOMPARE(names(instances.refresh().launched), launchedBeforeExec);

    m_tree->add(process(300, 250, exeAfterExec, cgroup, environmentAfterExec)); // same pid folder: same process
    auto changes = instances.refresh();
    QCOMPARE(names(changes.launched), launchedAfterExec);
    QVERIFY(changes.terminated.isEmpty()); // an instance it stays in goes on
    if (parentApp)
        QCOMPARE(instances.processesOf(parentApp->instanceID), parentInstance);
    if (const auto app = instances.instanceOfProcess(300))
        QCOMPARE(app->executablePath, exeAfterExec);

    // Read once more, it makes no second launch.
    for (int i = 0; i < LinuxAppInstances::recheckListings + 1; ++i) {
        changes = instances.refresh();
        QVERIFY(changes.launched.isEmpty() && changes.terminated.isEmpty());
    }
}

void TestLinuxAppInstances::theProgramItselfIsNeverAnApp()
{
    // Started from a terminal's scope, the program is not part of the terminal's instance, and never listed.
    const qint64 own = 400;
    m_tree->add(process(399, 1, calc, calcScope(4)));
    m_tree->add(process(own, 399, u"/usr/bin/tarnwick"_qs, calcScope(4)));
    m_tree->add(process(401, 1, u"/opt/other/tarnwick"_qs, userScope(u"app-gnome-tarnwick-2.scope"_qs)));
    LinuxAppInstances instances(entries(), m_tree->root(), own);
    QCOMPARE(names(instances.instances()), QStringList{u"org.gnome.Calculator 399"_qs});
    QCOMPARE(instances.processesOf(instances.instanceOfProcess(399)->instanceID), QList<qint64>{399});
    QVERIFY(!instances.instanceOfProcess(own).has_value());

    RecordingSignaller signaller;
    LinuxRunningApps running(instances, signaller);
    QVERIFY(running.runningApps(u"tarnwick"_qs).isEmpty());
    RunningApp ownApp;
    ownApp.bundleID = u"tarnwick"_qs;
    ownApp.pid = 401;
    ownApp.instanceID = u"unit:app-gnome-tarnwick-2.scope"_qs;
    running.terminate(ownApp);
    QVERIFY(signaller.sent.isEmpty());

    // Its own ending and a new copy of it make no events either.
    m_tree->remove(401);
    m_tree->add(process(402, 1, u"/opt/other/tarnwick"_qs, userScope(u"app-gnome-tarnwick-3.scope"_qs)));
    const auto changes = instances.refresh();
    QVERIFY(changes.launched.isEmpty() && changes.terminated.isEmpty());
}

void TestLinuxAppInstances::listingAndNames()
{
    m_tree->add(process(500, 1, gimp));
    m_tree->add(process(501, 1, calc, calcScope(5)));
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    m_tree->add(process(502, 1, gimp));
    (void)instances.refresh();
    RecordingSignaller signaller;
    LinuxRunningApps running(instances, signaller);
    QCOMPARE(names(running.all()), (QStringList{u"gimp 500"_qs, u"org.gnome.Calculator 501"_qs, u"gimp 502"_qs}));
    const auto gimps = running.runningApps(u"gimp"_qs);
    QCOMPARE(names(gimps), (QStringList{u"gimp 500"_qs, u"gimp 502"_qs}));
    QCOMPARE(gimps.first().localizedName, u"GIMP 图像编辑器"_qs);
    QCOMPARE(gimps.first().executablePath, gimp);
    QVERIFY(gimps.first().instanceID != gimps.last().instanceID);
    QVERIFY(running.runningApps(u"firefox"_qs).isEmpty());
    QVERIFY(running.runningApps(QString()).isEmpty());
}

void TestLinuxAppInstances::terminateSignalsTheMainProcess()
{
    m_tree->add(process(600, 1, calc, calcScope(6)));
    m_tree->add(process(601, 600, u"/usr/libexec/helper"_qs, calcScope(6)));
    m_tree->add(process(610, 1, gimp));
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    RecordingSignaller signaller;
    LinuxRunningApps running(instances, signaller);

    const auto calcApp = running.runningApps(u"org.gnome.Calculator"_qs).value(0);
    running.terminate(calcApp);
    QCOMPARE(signaller.sent, QStringList{u"%1 600 %2"_qs.arg(SIGTERM).arg(calc)});

    // An app handed in under another identifier than its instance's is not signalled.
    RunningApp wrong = calcApp;
    wrong.bundleID = u"gimp"_qs;
    running.terminate(wrong);
    QCOMPARE(signaller.sent.size(), 1);

    // Once gone, nothing is signalled for it (its pid may be someone else's by then).
    const auto gimpApp = running.runningApps(u"gimp"_qs).value(0);
    m_tree->remove(610);
    (void)instances.refresh();
    running.terminate(gimpApp);
    QCOMPARE(signaller.sent.size(), 1);
}

void TestLinuxAppInstances::hideIconifiesTheInstanceWindowsOnly()
{
    m_tree->add(process(700, 1, calc, calcScope(7)));
    m_tree->add(process(701, 700, u"/usr/libexec/helper"_qs, calcScope(7)));
    m_tree->add(process(710, 1, gimp));
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    FakeX11Display display;
    display.addClient(0x100, 700);
    display.addClient(0x101, 701);
    display.addClient(0x200, 710);
    display.addClient(0x300, 0); // no owner
    X11WindowList windows(&display);
    RecordingSignaller signaller;
    LinuxRunningApps running(instances, signaller, &windows);

    running.hide(running.runningApps(u"org.gnome.Calculator"_qs).value(0));
    QList<quint32> hidden;
    for (const auto &m : display.messages()) {
        QCOMPARE(m.type, display.atom("WM_CHANGE_STATE"));
        QCOMPARE(m.data[0], 3u); // IconicState
        hidden.append(m.window);
    }
    QCOMPARE(hidden, (QList<quint32>{0x100, 0x101}));
    QVERIFY(signaller.sent.isEmpty());

    LinuxRunningApps windowless(instances, signaller);
    windowless.hide(windowless.runningApps(u"gimp"_qs).value(0));
    QCOMPARE(display.messages().size(), 2);
}

void TestLinuxAppInstances::eventsComeFromTheScanEveryFiftyMilliseconds()
{
    VirtualClock clock;
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    LinuxWorkspaceEvents events(instances, clock);
    QStringList seen;
    connect(&events, &WorkspaceEvents::didLaunch, this, [&](const RunningApp &a) { seen.append(u"launch "_qs + a.bundleID); });
    connect(&events, &WorkspaceEvents::didTerminate, this,
            [&](const RunningApp &a) { seen.append(u"end "_qs + a.bundleID); });

    m_tree->add(process(800, 1, gimp));
    clock.advanceBy(49ms);
    QVERIFY(seen.isEmpty());
    clock.advanceBy(1ms);
    QCOMPARE(seen, QStringList{u"launch gimp"_qs});

    m_tree->add(process(801, 800, gimp));
    clock.advanceBy(50ms);
    m_tree->remove(800);
    clock.advanceBy(50ms);
    QCOMPARE(seen.size(), 1);
    m_tree->remove(801);
    clock.advanceBy(50ms);
    QCOMPARE(seen, (QStringList{u"launch gimp"_qs, u"end gimp"_qs}));
}

void TestLinuxAppInstances::theTableWatchSendsOneNoticeForMovedCounters()
{
    const QString loadavg = m_tree->root() + u"/loadavg"_qs;
    ProcTree::write(loadavg, "0.10 0.20 0.30 1/100 500\n");
    ProcessTableWatch watch(m_tree->root(), 5ms);
    int notices = 0;
    connect(&watch, &ProcessTableWatch::moved, this, [&] { ++notices; });
    watch.start();
    QTest::qWait(60); // a dozen looks at counters that stand still
    QCOMPARE(notices, 0);

    {
        // In place with one write, so that the thread never reads half a file.
        QFile f(loadavg);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QCOMPARE(f.write("0.10 0.20 0.30 1/101 501\n"), 25);
    }
    QTRY_COMPARE(notices, 1);
    QTest::qWait(60);
    QCOMPARE(notices, 1);

    // Counters that cannot be read move at every look, but a notice not yet handled is never sent again.
    ProcTree::write(loadavg, "garbage");
    QThread::msleep(200); // no event loop: the looks go on
    QCoreApplication::processEvents();
    QCOMPARE(notices, 2);
}

void TestLinuxAppInstances::withATableWatchTheMainThreadScansOnlyWhenNeeded()
{
    const QString loadavg = m_tree->root() + u"/loadavg"_qs;
    // Written in place with one write of the same length, so that the watch's thread never reads half a file.
    const auto counters = [&](int threads, int lastPid) {
        QFile f(loadavg);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QCOMPARE(f.write(u"0.10 0.20 0.30 1/%1 %2\n"_qs.arg(threads).arg(lastPid).toUtf8()), 25);
    };
    counters(100, 500);
    VirtualClock clock;
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    // Started between the instances' first look and the watch's: the events' first scan finds it.
    m_tree->add(process(550, 1, calc, calcScope(55)));
    counters(101, 550);
    ProcessTableWatch watch(m_tree->root(), 5ms);
    LinuxWorkspaceEvents events(instances, clock, nullptr, &watch);
    QStringList seen;
    connect(&events, &WorkspaceEvents::didLaunch, this, [&](const RunningApp &a) { seen.append(u"launch "_qs + a.bundleID); });
    connect(&events, &WorkspaceEvents::didTerminate, this,
            [&](const RunningApp &a) { seen.append(u"end "_qs + a.bundleID); });

    QTRY_COMPARE(seen, QStringList{u"launch org.gnome.Calculator"_qs});
    seen.clear();

    // Moved counters make a scan at once, with no timer of the main thread.
    m_tree->add(process(600, 1, gimp));
    counters(102, 600);
    QTRY_COMPARE(seen, QStringList{u"launch gimp"_qs});
    const quint64 listings = instances.listings();
    clock.advanceBy(LinuxWorkspaceEvents::listingInterval - 1ms);
    QCOMPARE(instances.listings(), listings);

    // Counters that stand still leave a change to the listing every 5 s.
    m_tree->remove(600);
    QTest::qWait(30);
    QCOMPARE(seen.size(), 1);
    clock.advanceBy(1ms);
    QCOMPARE(seen, (QStringList{u"launch gimp"_qs, u"end gimp"_qs}));

    // A young process that may still exec is looked at every 50 ms, counters or not.
    m_tree->add(process(700, 1, u"/usr/bin/launcher"_qs));
    counters(102, 700);
    QTRY_VERIFY(instances.hasUnsettledProcesses());
    m_tree->add(process(700, 1, calc)); // its exec: no counter moves
    clock.advanceBy(LinuxWorkspaceEvents::scanInterval);
    QCOMPARE(seen.last(), u"launch org.gnome.Calculator"_qs);
    // Settled, it goes back to the slow listing.
    QVERIFY(!instances.hasUnsettledProcesses());
    const quint64 settled = instances.listings();
    clock.advanceBy(LinuxWorkspaceEvents::listingInterval - 1ms);
    QCOMPARE(instances.listings(), settled);
    clock.advanceBy(1ms);
    QCOMPARE(instances.listings(), settled + 1);
}

void TestLinuxAppInstances::processesThatRanBeforeTheEntriesAreMappedOnceTheyCome()
{
    // Started from a shell before the program: an entry's executable with a child of its own, a program of no
    // entry, and a launcher's unit (which maps without entries).
    m_tree->add(process(400, 1, gimp));
    m_tree->add(process(401, 400, gimp));
    m_tree->add(process(410, 1, u"/usr/bin/unmapped"_qs));
    m_tree->add(process(420, 1, calc, calcScope(42)));
    LinuxAppInstances instances({}, m_tree->root(), 99999);
    QCOMPARE(names(instances.instances()), QStringList{u"org.gnome.Calculator 420"_qs});
    QVERIFY(!instances.hasEntries());

    instances.setEntries(entries());
    QVERIFY(instances.hasEntries());
    QCOMPARE(names(instances.instances()), (QStringList{u"org.gnome.Calculator 420"_qs, u"gimp 400"_qs}));
    const auto gimpApp = instances.instanceOfProcess(401);
    QVERIFY(gimpApp);
    QCOMPARE(gimpApp->localizedName, u"GIMP 图像编辑器"_qs);
    QCOMPARE(instances.processesOf(gimpApp->instanceID), (QList<qint64>{400, 401}));
    QVERIFY(!instances.instanceOfProcess(410));
    // It ran before: no launch now, but its end is reported as any other.
    auto changes = instances.refresh();
    QVERIFY(changes.launched.isEmpty() && changes.terminated.isEmpty());
    m_tree->remove(401);
    m_tree->remove(400);
    changes = instances.refresh();
    QCOMPARE(changes.terminated.size(), 1);
    QCOMPARE(changes.terminated.first().instanceID, gimpApp->instanceID);
    // Entries set again keep the instances that have an app.
    const auto calcInstance = instances.instanceOfProcess(420)->instanceID;
    instances.setEntries(entries());
    QCOMPARE(instances.instanceOfProcess(420)->instanceID, calcInstance);
}

void TestLinuxAppInstances::newWindowsAreAnnouncedOncePerInstance()
{
    m_tree->add(process(500, 1, gimp));
    VirtualClock clock;
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    FakeX11Display display;
    display.addClient(0x10, 500); // there before: not new
    LinuxWorkspaceEvents events(instances, clock, &display);
    QStringList seen;
    connect(&events, &WorkspaceEvents::didLaunch, this, [&](const RunningApp &a) { seen.append(u"launch "_qs + a.bundleID); });
    connect(&events, &WorkspaceEvents::didOpenWindow, this,
            [&](const RunningApp &a) { seen.append(u"window %1 %2"_qs.arg(a.bundleID).arg(a.pid)); });

    display.announceClients();
    QVERIFY(seen.isEmpty());
    // A second window of the running app, then an app whose process the scan has not seen yet with two windows at
    // once: its launch comes first, then one window event.
    display.addClient(0x11, 500);
    display.announceClients();
    m_tree->add(process(510, 1, calc, calcScope(51)));
    display.addClient(0x20, 510);
    display.addClient(0x21, 510);
    display.announceClients();
    QCOMPARE(seen, (QStringList{u"window gimp 500"_qs, u"launch org.gnome.Calculator"_qs,
                                u"window org.gnome.Calculator 510"_qs}));
    // A window of a program that is no app, and an unchanged list, announce nothing.
    m_tree->add(process(520, 1, u"/usr/bin/unmapped"_qs));
    display.addClient(0x30, 520);
    display.announceClients();
    display.announceClients();
    QCOMPARE(seen.size(), 3);
}

void TestLinuxAppInstances::windowsWithoutAPidFindTheirOwner_data()
{
    QTest::addColumn<quint32>("clientPid");
    QTest::addColumn<QByteArray>("instanceName");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QString>("owner"); // "bundle pid", empty: none

    QTest::newRow("the client's process") << 610u << QByteArray("x") << QByteArray("X") << u"gimp 610"_qs;
    QTest::newRow("its class names an entry's StartupWMClass")
        << 0u << QByteArray("main") << QByteArray("Gnome-calculator-window") << u"org.gnome.Calculator 620"_qs;
    QTest::newRow("its instance is an entry's program") << 0u << QByteArray("gimp-2.10") << QByteArray("Gimp")
                                                        << u"gimp 610"_qs;
    QTest::newRow("its class is an entry's program, letter case aside")
        << 0u << QByteArray("") << QByteArray("GIMP-2.10") << u"gimp 610"_qs;
    QTest::newRow("a class of no entry") << 0u << QByteArray("xlogo") << QByteArray("XLogo") << QString();
    QTest::newRow("a StartupWMClass outranks a program's name")
        << 0u << QByteArray("gimp-2.10") << QByteArray("Gnome-calculator-window") << u"org.gnome.Calculator 620"_qs;
}

void TestLinuxAppInstances::windowsWithoutAPidFindTheirOwner()
{
    QFETCH(quint32, clientPid);
    QFETCH(QByteArray, instanceName);
    QFETCH(QByteArray, className);
    QFETCH(QString, owner);

    m_tree->add(process(610, 1, gimp));
    m_tree->add(process(620, 1, calc, calcScope(62)));
    const auto resolve = [](const QString &p) -> std::optional<QString> {
        return p.startsWith(u'/') ? p : u"/usr/bin/"_qs + p;
    };
    LinuxAppInstances instances(
        DesktopEntryLookup({{u"gimp"_qs, u"GIMP"_qs, u"gimp-2.10 %U"_qs, apps + u"gimp.desktop"_qs, {}},
                            {u"org.gnome.Calculator"_qs, u"计算器"_qs, calc, apps + u"org.gnome.Calculator.desktop"_qs,
                             u"gnome-calculator-window"_qs}},
                           resolve),
        m_tree->root(), 99999);
    FakeX11Display display;
    display.addAnonymousClient(0x40, clientPid, instanceName, className);
    X11WindowList windows(&display, X11WindowList::Options{true, [&instances](const QString &i, const QString &c) {
                                                               return instances.processForWindowClass(i, c);
                                                           }});
    const auto all = windows.allWindows();
    QString found;
    if (!all.isEmpty()) {
        const auto app = instances.instanceOfProcess(all.first().ownerPID);
        found = app ? u"%1 %2"_qs.arg(app->bundleID).arg(all.first().ownerPID) : u"no app"_qs;
    }
    QCOMPARE(found, owner);
    // The activation watch maps the window the same way.
    VirtualClock clock;
    LinuxWorkspaceEvents events(instances, clock, &display);
    QStringList activated;
    connect(&events, &WorkspaceEvents::didActivate, this,
            [&](const RunningApp &a) { activated.append(u"%1 %2"_qs.arg(a.bundleID).arg(a.pid)); });
    display.activate(0x40);
    QCOMPARE(activated, owner.isEmpty() ? QStringList{} : QStringList{owner});
    // The resource query is asked once per window, not at each look.
    const int queries = display.clientQueries();
    (void)windows.allWindows();
    QCOMPARE(display.clientQueries(), queries);
}

void TestLinuxAppInstances::openingARunningAppActivatesItsTopWindow()
{
    m_tree->add(process(700, 1, gimp));
    m_tree->add(process(701, 700, gimp));
    m_tree->add(process(710, 1, calc, calcScope(71)));
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    FakeX11Display display;
    display.setWords(FakeX11Display::root, "_NET_CURRENT_DESKTOP", FakeX11Display::cardinalType, {1});
    display.addClient(0x10, 700);
    display.addClient(0x11, 701);
    display.addClient(0x12, 700);
    display.addClient(0x20, 710);
    display.setWords(0x10, "_NET_WM_DESKTOP", FakeX11Display::cardinalType, {1});
    display.setWords(0x11, "_NET_WM_DESKTOP", FakeX11Display::cardinalType, {0xFFFFFFFF}); // on every desktop
    display.setWords(0x12, "_NET_WM_DESKTOP", FakeX11Display::cardinalType, {0});          // another desktop
    display.setWords(0x20, "_NET_WM_DESKTOP", FakeX11Display::cardinalType, {0});
    display.setWords(FakeX11Display::root, "_NET_CLIENT_LIST_STACKING", FakeX11Display::windowType,
                     {0x11, 0x20, 0x10, 0x12});
    // The program's own window is active, with the time of the click that asked for the app.
    const auto own = quint32(AppIdentity::processID());
    display.addClient(0x90, own);
    display.setWords(0x90, "_NET_WM_USER_TIME_WINDOW", FakeX11Display::windowType, {0x91});
    display.setWords(0x91, "_NET_WM_USER_TIME", FakeX11Display::cardinalType, {123456});
    display.setWords(FakeX11Display::root, "_NET_ACTIVE_WINDOW", FakeX11Display::windowType, {0x90});
    X11WindowList windows(&display);
    RecordingSignaller signaller;
    LinuxRunningApps running(instances, signaller, &windows);

    QVERIFY(running.activateWindowOfEntry(apps + u"gimp.desktop"_qs));
    QCOMPARE(display.messages().size(), 1);
    const auto m = display.messages().first();
    QCOMPARE(m.window, 0x10u); // the topmost of the app's windows on this desktop
    QCOMPARE(m.type, display.atom("_NET_ACTIVE_WINDOW"));
    QCOMPARE(m.data, (std::array<quint32, 5>{2, 123456, 0x90, 0, 0}));
    // An app whose windows are all on other desktops, and an app that does not run, are opened as usual.
    QVERIFY(!running.activateWindowOfEntry(apps + u"org.gnome.Calculator.desktop"_qs));
    QVERIFY(!running.activateWindowOfEntry(apps + u"other.desktop"_qs));
    QCOMPARE(display.messages().size(), 1);
    // Someone else's active window gives no time to borrow.
    display.setWords(FakeX11Display::root, "_NET_ACTIVE_WINDOW", FakeX11Display::windowType, {0x20});
    QVERIFY(running.activateWindowOfEntry(apps + u"gimp.desktop"_qs));
    QCOMPARE(display.messages().last().data, (std::array<quint32, 5>{2, 0, 0x20, 0, 0}));

    QVERIFY(running.canHide());
    QVERIFY(running.hasWindows(*instances.instanceOfProcess(700)));
    X11WindowList wayland(&display, X11WindowList::Options{false, {}});
    LinuxRunningApps underWayland(instances, signaller, &wayland);
    QVERIFY(!underWayland.canHide());
    LinuxRunningApps windowless(instances, signaller);
    QVERIFY(!windowless.canHide());
    QVERIFY(!windowless.hasWindows(*instances.instanceOfProcess(700)));
}

void TestLinuxAppInstances::activationFollowsTheFrontInstance()
{
    m_tree->add(process(900, 1, gimp));
    m_tree->add(process(901, 900, gimp));
    m_tree->add(process(910, 1, calc, calcScope(10)));
    m_tree->add(process(920, 1, u"/usr/bin/unmapped"_qs));
    VirtualClock clock;
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    FakeX11Display display;
    display.addClient(0x10, 900);
    display.addClient(0x11, 901);
    display.addClient(0x20, 910);
    display.addClient(0x30, 920);
    display.addClient(0x40, 0);
    LinuxWorkspaceEvents events(instances, clock, &display);
    QVERIFY(display.isWatching());
    QStringList activated;
    connect(&events, &WorkspaceEvents::didActivate, this,
            [&](const RunningApp &a) { activated.append(u"%1 %2"_qs.arg(a.bundleID).arg(a.pid)); });

    display.activate(0x10);
    display.activate(0x10); // the window manager set the same window again
    display.activate(0x11); // another window of the same instance
    QCOMPARE(activated, QStringList{u"gimp 900"_qs});
    display.activate(0x20);
    QCOMPARE(activated.last(), u"org.gnome.Calculator 910"_qs);
    display.activate(0x30); // a program that is no app
    display.activate(0x40); // a window without an owner
    display.activate(0);
    display.activate(0x20); // back to the same instance after others
    QCOMPARE(activated, (QStringList{u"gimp 900"_qs, u"org.gnome.Calculator 910"_qs, u"org.gnome.Calculator 910"_qs}));

    // Without a display there is nothing to watch and no activation can come.
    FakeX11Display none(false);
    LinuxWorkspaceEvents blind(instances, clock, &none);
    QVERIFY(!none.isWatching());
}

void TestLinuxAppInstances::aFreshWindowLaunchesBeforeItActivates()
{
    VirtualClock clock;
    LinuxAppInstances instances(entries(), m_tree->root(), 99999);
    FakeX11Display display;
    LinuxWorkspaceEvents events(instances, clock, &display);
    QStringList seen;
    connect(&events, &WorkspaceEvents::didLaunch, this, [&](const RunningApp &a) { seen.append(u"launch "_qs + a.bundleID); });
    connect(&events, &WorkspaceEvents::didActivate, this,
            [&](const RunningApp &a) { seen.append(u"activate "_qs + a.bundleID); });
    m_tree->add(process(950, 1, gimp));
    display.addClient(0x50, 950);
    display.activate(0x50);
    QCOMPARE(seen, (QStringList{u"launch gimp"_qs, u"activate gimp"_qs}));
    clock.advanceBy(250ms);
    QCOMPARE(seen.size(), 2);
}

QTEST_GUILESS_MAIN(TestLinuxAppInstances)
#include "tst_linuxappinstances.moc"
