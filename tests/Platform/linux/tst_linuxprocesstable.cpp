#include "appidentity.h"
#include "linux/linuxprocesstable.h"
#include "linux/procfs.h"
#include "proctree.h"

#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <thread>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

// The /proc reader on fixture trees, the refusals of the signal path, and real children: copies of a harmless
// program that the test starts, selects, kills and reaps itself.
class TestLinuxProcessTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listsOnlyNumericEntries();
    void executablePath_data();
    void executablePath();
    void parseStat_data();
    void parseStat();
    void parseCgroupPath_data();
    void parseCgroupPath();
    void parseLoadavg_data();
    void parseLoadavg();
    void theCountersAreReadAnewAtEachLook();
    void environmentValue_data();
    void environmentValue();
    void refusals_data();
    void refusals();
    void killsExactlyTheSelectedChildren();
    void aDeletedExecutableIsStillFoundAndKilled();

private:
    QList<pid_t> m_children;
    pid_t spawn(const QString &program, const QString &seconds = QStringLiteral("60"));
    void cleanupChildren();
    static bool isAlive(pid_t child);
};

pid_t TestLinuxProcessTable::spawn(const QString &program, const QString &seconds)
{
    const QByteArray path = QFile::encodeName(program);
    const QByteArray arg = seconds.toUtf8();
    char *argv[] = {const_cast<char *>(path.constData()), const_cast<char *>(arg.constData()), nullptr};
    pid_t child = 0;
    // posix_spawn returns once the child runs the new program, so its exe link already names it.
    if (::posix_spawn(&child, path.constData(), nullptr, nullptr, argv, environ) != 0)
        return 0;
    m_children.append(child);
    return child;
}

bool TestLinuxProcessTable::isAlive(pid_t child)
{
    int status = 0;
    return ::waitpid(child, &status, WNOHANG) == 0;
}

void TestLinuxProcessTable::cleanupChildren()
{
    for (const pid_t child : std::as_const(m_children)) {
        ::kill(child, SIGKILL); // our own child, by the pid posix_spawn gave us
        ::waitpid(child, nullptr, 0);
    }
    m_children.clear();
}

void TestLinuxProcessTable::listsOnlyNumericEntries()
{
    QTemporaryDir dir;
    ProcTree tree(dir.path());
    for (const qint64 pid : {1, 42, 4242})
        tree.add(process(pid));
    for (const char *other : {"self", "12ab", "0", "sys"})
        QDir().mkpath(dir.path() + u'/' + QLatin1String(other));
    const auto pids = LinuxProcessTable(dir.path()).allPIDs();
    QCOMPARE(QSet<qint64>(pids.cbegin(), pids.cend()), (QSet<qint64>{1, 42, 4242}));
    QCOMPARE(pids.size(), 3);

    QVERIFY(LinuxProcessTable(dir.path() + u"/missing"_qs).allPIDs().isEmpty());

    // The machine's table, in the kernel's order: ascending, and we are in it.
    const auto real = LinuxProcessTable().allPIDs();
    QVERIFY(real.contains(AppIdentity::processID()));
    QVERIFY(std::is_sorted(real.cbegin(), real.cend()));
}

void TestLinuxProcessTable::executablePath_data()
{
    QTest::addColumn<QString>("linkTarget"); // "-" for no link; %T is the fixture folder
    QTest::addColumn<bool>("createTarget");
    QTest::addColumn<QString>("expected");   // "-" for none

    QTest::newRow("plain path") << "/usr/bin/app" << false << "/usr/bin/app";
    QTest::newRow("replaced since it started") << "/usr/lib/app/app (deleted)" << false << "/usr/lib/app/app";
    QTest::newRow("a file really named so") << "%T/app (deleted)" << true << "%T/app (deleted)";
    QTest::newRow("no link") << "-" << false << "-";
    QTest::newRow("spaces kept") << "/opt/My App/run me" << false << "/opt/My App/run me";
}

void TestLinuxProcessTable::executablePath()
{
    QFETCH(QString, linkTarget);
    QFETCH(bool, createTarget);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString files = dir.path() + u"/files"_qs;
    QDir().mkpath(files);
    linkTarget.replace(u"%T"_qs, files);
    expected.replace(u"%T"_qs, files);
    if (createTarget)
        ProcTree::write(linkTarget, "#!");
    ProcTree tree(dir.path() + u"/proc"_qs);
    tree.add(process(77, 1, linkTarget == u"-" ? QString() : linkTarget));
    const auto path = LinuxProcessTable(tree.root()).executablePath(77);
    if (expected == u"-")
        QVERIFY(!path.has_value());
    else
        QCOMPARE(path.value_or(u"<none>"_qs), expected);
    QVERIFY(!LinuxProcessTable(tree.root()).executablePath(78).has_value());
}

void TestLinuxProcessTable::parseStat_data()
{
    QTest::addColumn<QByteArray>("stat");
    QTest::addColumn<qint64>("parent"); // -1: unreadable
    QTest::addColumn<quint64>("start");

    const QByteArray tail = " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 8123 1000 200\n";
    QTest::newRow("plain") << QByteArray("12 (bash) S 7" + tail) << qint64(7) << quint64(8123);
    QTest::newRow("command with spaces and parentheses")
        << QByteArray("12 (my (odd) app) R 99" + tail) << qint64(99) << quint64(8123);
    QTest::newRow("cut short") << QByteArray("12 (bash) S 7 0 0") << qint64(-1) << quint64(0);
    QTest::newRow("no command") << QByteArray("12 bash S 7" + tail) << qint64(-1) << quint64(0);
}

void TestLinuxProcessTable::parseStat()
{
    QFETCH(QByteArray, stat);
    QFETCH(qint64, parent);
    QFETCH(quint64, start);
    const auto fields = ProcFs::parseStat(stat);
    QCOMPARE(fields.has_value(), parent >= 0);
    if (fields) {
        QCOMPARE(fields->parentPid, parent);
        QCOMPARE(fields->startTime, start);
    }
}

void TestLinuxProcessTable::parseCgroupPath_data()
{
    QTest::addColumn<QByteArray>("cgroup");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unified") << QByteArray("0::/user.slice/app.slice/app-gnome-x-1.scope\n")
                             << "/user.slice/app.slice/app-gnome-x-1.scope";
    QTest::newRow("legacy systemd line") << QByteArray("4:memory:/m\n1:name=systemd:/user.slice/app-x-2.scope\n")
                                         << "/user.slice/app-x-2.scope";
    QTest::newRow("unified wins over legacy")
        << QByteArray("1:name=systemd:/old\n0::/new\n") << "/new";
    QTest::newRow("controllers only") << QByteArray("4:memory:/m\n3:cpu:/c\n") << "";
    QTest::newRow("empty") << QByteArray() << "";
}

void TestLinuxProcessTable::parseCgroupPath()
{
    QFETCH(QByteArray, cgroup);
    QFETCH(QString, expected);
    QCOMPARE(ProcFs::parseCgroupPath(cgroup), expected);
}

void TestLinuxProcessTable::parseLoadavg_data()
{
    QTest::addColumn<QByteArray>("loadavg");
    QTest::addColumn<qint64>("threads"); // -1: unreadable
    QTest::addColumn<qint64>("lastPid");
    QTest::newRow("as the kernel writes it") << QByteArray("0.20 0.18 0.12 1/80 11206\n") << qint64(80) << qint64(11206);
    QTest::newRow("no slash") << QByteArray("0.20 0.18 0.12 80 11206\n") << qint64(-1) << qint64(0);
    QTest::newRow("too few fields") << QByteArray("0.20 0.18 0.12 1/80\n") << qint64(-1) << qint64(0);
    QTest::newRow("not numbers") << QByteArray("a b c 1/x y\n") << qint64(-1) << qint64(0);
}

void TestLinuxProcessTable::parseLoadavg()
{
    QFETCH(QByteArray, loadavg);
    QFETCH(qint64, threads);
    QFETCH(qint64, lastPid);
    const auto marks = ProcFs::parseLoadavg(loadavg);
    QCOMPARE(marks.has_value(), threads >= 0);
    if (marks) {
        QCOMPARE(marks->threads, threads);
        QCOMPARE(marks->lastPid, lastPid);
    }
    // The machine's own counters are readable.
    QVERIFY(ProcFs::TableMarksReader(u"/proc"_qs).read().has_value());
}

void TestLinuxProcessTable::theCountersAreReadAnewAtEachLook()
{
    // The kernel's file, kept open: a thread made between two looks hands out a pid, so the second look differs.
    ProcFs::TableMarksReader machine(u"/proc"_qs);
    const auto before = machine.read();
    QVERIFY(before.has_value());
    std::thread([] {}).join();
    const auto after = machine.read();
    QVERIFY(after.has_value());
    QVERIFY(after->lastPid != before->lastPid);

    // A file that is not there yet, then written over with a shorter text, then unreadable.
    QTemporaryDir dir;
    const QString path = dir.path() + u"/loadavg"_qs;
    ProcFs::TableMarksReader reader(dir.path());
    QVERIFY(!reader.read().has_value());
    ProcTree::write(path, "0.10 0.20 0.30 12/1000 123456\n");
    QVERIFY(reader.read() == (ProcFs::TableMarks{1000, 123456}));
    ProcTree::write(path, "0 0 0 1/80 7\n");
    QVERIFY(reader.read() == (ProcFs::TableMarks{80, 7}));
    ProcTree::write(path, "");
    QVERIFY(!reader.read().has_value());
    ProcTree::write(path, "0 0 0 1/81 8\n");
    QVERIFY(reader.read() == (ProcFs::TableMarks{81, 8}));
}

void TestLinuxProcessTable::environmentValue_data()
{
    QTest::addColumn<QByteArray>("environ");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected"); // "-" for none
    auto block = [](const QList<QByteArray> &vars, bool terminated = true) {
        QByteArray out;
        for (const auto &v : vars)
            out += v + '\0';
        if (!terminated)
            out.chop(1);
        return out;
    };
    const QByteArray gio = block({"GIO_LAUNCHED_DESKTOP_FILE_PID=12", "GIO_LAUNCHED_DESKTOP_FILE=/a.desktop"});
    QTest::newRow("longer name first") << gio << QByteArray("GIO_LAUNCHED_DESKTOP_FILE") << QByteArray("/a.desktop");
    QTest::newRow("the pid") << gio << QByteArray("GIO_LAUNCHED_DESKTOP_FILE_PID") << QByteArray("12");
    QTest::newRow("absent") << gio << QByteArray("HOME") << QByteArray("-");
    QTest::newRow("last without terminator") << block({"A=1", "B=2"}, false) << QByteArray("B") << QByteArray("2");
    QTest::newRow("empty value") << block({"A="}) << QByteArray("A") << QByteArray("");
}

void TestLinuxProcessTable::environmentValue()
{
    QFETCH(QByteArray, environ);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    const auto value = ProcFs::environmentValue(environ, name);
    if (expected == "-")
        QVERIFY(!value.has_value());
    else
        QCOMPARE(value.value_or("<none>"), expected);
}

void TestLinuxProcessTable::refusals_data()
{
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("result");
    const int refused = int(LinuxProcessTable::SignalResult::refused);
    const QString self = ProcFs::executable(u"/proc"_qs, AppIdentity::processID()).value_or(QString());
    QTest::newRow("init") << qint64(1) << "/sbin/init" << refused;
    QTest::newRow("pid zero") << qint64(0) << "/bin/x" << refused;
    QTest::newRow("negative pid (a process group)") << qint64(-5) << "/bin/x" << refused;
    QTest::newRow("the program itself") << AppIdentity::processID() << self << refused;
    QTest::newRow("empty executable") << qint64(4242) << "" << refused;
    QTest::newRow("root folder as executable") << qint64(4242) << "/" << refused;
    QTest::newRow("relative executable") << qint64(4242) << "bin/x" << refused;
}

void TestLinuxProcessTable::refusals()
{
    QFETCH(qint64, pid);
    QFETCH(QString, expected);
    QFETCH(int, result);
    QCOMPARE(int(LinuxProcessTable::signalChecked(pid, expected, 0)), result);
}

void TestLinuxProcessTable::killsExactlyTheSelectedChildren()
{
    QTemporaryDir dir;
    const QString base = QFileInfo(dir.path()).canonicalFilePath();
    const QString bundle = base + u"/X.app"_qs;
    const QStringList inside{bundle + u"/Contents/MacOS/x"_qs, bundle + u"/x2"_qs};
    const QString sibling = base + u"/X.app2/Contents/MacOS/x"_qs;
    const QString unrelated = base + u"/other/sleep"_qs;
    for (const QString &copy : inside + QStringList{sibling, unrelated}) {
        QDir().mkpath(QFileInfo(copy).path());
        QVERIFY(QFile::copy(u"/bin/sleep"_qs, copy));
        QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner));
    }
    const pid_t first = spawn(inside[0]);
    const pid_t second = spawn(inside[1]);
    const pid_t third = spawn(sibling);
    const pid_t other = spawn(unrelated);
    QVERIFY(first && second && third && other);

    LinuxProcessTable table;
    QList<qint64> selected;
    QHash<qint64, QString> paths;
    for (const qint64 pid : table.allPIDs()) {
        const auto path = table.executablePath(pid);
        if (path && (*path == bundle || path->startsWith(bundle + u'/'))) {
            selected.append(pid);
            paths.insert(pid, *path);
        }
    }
    QCOMPARE(selected, (QList<qint64>{first, second}));

    // A pid whose executable is not the one it was listed with is left alone.
    QCOMPARE(LinuxProcessTable::signalChecked(other, inside[0], SIGKILL),
             LinuxProcessTable::SignalResult::executableChanged);

    for (const qint64 pid : std::as_const(selected))
        table.kill(pid, paths.value(pid));
    for (const pid_t child : {first, second}) {
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGKILL);
        m_children.removeAll(child);
    }
    QVERIFY(isAlive(third));
    QVERIFY(isAlive(other));
    // Once reaped, the pid is gone, and a kill by it finds nothing.
    QCOMPARE(LinuxProcessTable::signalChecked(first, inside[0], SIGKILL), LinuxProcessTable::SignalResult::gone);
    cleanupChildren();
}

void TestLinuxProcessTable::aDeletedExecutableIsStillFoundAndKilled()
{
    QTemporaryDir dir;
    const QString path = QFileInfo(dir.path()).canonicalFilePath() + u"/Y.app/y"_qs;
    QDir().mkpath(QFileInfo(path).path());
    QVERIFY(QFile::copy(u"/bin/sleep"_qs, path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    const pid_t child = spawn(path);
    QVERIFY(child);
    QVERIFY(QFile::remove(path));

    LinuxProcessTable table;
    QCOMPARE(table.executablePath(child).value_or(QString()), path);
    table.kill(child, path);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGKILL);
    m_children.removeAll(child);
}

QTEST_GUILESS_MAIN(TestLinuxProcessTable)
#include "tst_linuxprocesstable.moc"
