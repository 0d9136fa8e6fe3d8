#include "linux/appinstancemapping.h"
#include "linux/desktopentrylookup.h"
#include "linux/procfs.h"
#include "proctree.h"

#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using Processes = QList<FixtureProcess>;

// Which processes make which app instance, decided on fixture /proc trees (read back through the /proc reader), and
// the rules it rests on: unit names, Exec lines, wrappers, desktop-file ids.
class TestAppInstanceMapping : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void appUnit_data();
    void appUnit();
    void execProgram_data();
    void execProgram();
    void wrapperPrograms_data();
    void wrapperPrograms();
    void desktopFileID_data();
    void desktopFileID();
    void instances_data();
    void instances();
    void knownMembershipsStay();
    void entriesFromDesktopFiles();

private:
    static DesktopEntryLookup entries();
    // "bundle: pid pid", one line per instance, sorted.
    static QStringList describe(const QHash<qint64, AppInstanceMapping::Membership> &mapping);
};

namespace {

const QString apps = QStringLiteral("/usr/share/applications/");

} // namespace

DesktopEntryLookup TestAppInstanceMapping::entries()
{
    const QList<DesktopAppEntry> list{
        {u"xterm"_qs, u"XTerm"_qs, u"xterm"_qs, apps + u"xterm.desktop"_qs},
        {u"firefox"_qs, u"火狐"_qs, u"/usr/lib/firefox/firefox %u"_qs, apps + u"firefox.desktop"_qs},
        {u"gimp"_qs, u"GIMP"_qs, u"gimp-2.10 %U"_qs, apps + u"gimp.desktop"_qs},
        {u"chromium"_qs, u"Chromium"_qs, u"chromium %U"_qs, apps + u"chromium.desktop"_qs},
        {u"chrome-webapp"_qs, u"Web App"_qs, u"chromium --app-id=abc"_qs, apps + u"chrome-webapp.desktop"_qs},
        {u"pytool"_qs, u"Py Tool"_qs, u"python3 /usr/share/pytool/main.py"_qs, apps + u"pytool.desktop"_qs},
        {u"pyrun"_qs, u"Py Run"_qs, u"/usr/bin/python3.11 -m run"_qs, apps + u"pyrun.desktop"_qs},
        {u"game"_qs, u"Game"_qs, u"/opt/game/start.sh"_qs, apps + u"game.desktop"_qs},
        {u"flatapp"_qs, u"Flat"_qs, u"flatpak run org.example.Flat"_qs, apps + u"flatapp.desktop"_qs},
    };
    // Programs on the search path live in /usr/bin; no file is looked at.
    return DesktopEntryLookup(list, [](const QString &program) -> std::optional<QString> {
        return program.startsWith(u'/') ? program : u"/usr/bin/"_qs + program;
    });
}

QStringList TestAppInstanceMapping::describe(const QHash<qint64, AppInstanceMapping::Membership> &mapping)
{
    QMap<QString, QList<qint64>> members;
    QHash<QString, QString> bundles;
    for (auto it = mapping.cbegin(); it != mapping.cend(); ++it) {
        members[it->instanceID].append(it.key());
        bundles.insert(it->instanceID, it->bundleID);
    }
    QStringList out;
    for (auto it = members.begin(); it != members.end(); ++it) {
        std::sort(it->begin(), it->end());
        QStringList pids;
        for (const qint64 pid : *it)
            pids.append(QString::number(pid));
        out.append(bundles.value(it.key()) + u": "_qs + pids.join(u' '));
    }
    out.sort();
    return out;
}

void TestAppInstanceMapping::appUnit_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("bundleID"); // empty: no app unit
    QTest::newRow("scope with launcher") << "app-gnome-org.gnome.Calculator-4242.scope" << "org.gnome.Calculator";
    QTest::newRow("scope without launcher") << "app-firefox-77.scope" << "firefox";
    QTest::newRow("escaped dash in the id") << "app-gnome-my\\x2dapp-9.scope" << "my-app";
    QTest::newRow("escaped non-ASCII id") << "app-kde-\\xe8\\xae\\xb0\\xe4\\xba\\x8b-3.scope" << "记事";
    QTest::newRow("service with random") << "app-org.kde.dolphin@a1b2c3.service" << "org.kde.dolphin";
    QTest::newRow("service with launcher and random") << "app-gnome-org.gnome.Nautilus@12ab.service"
                                                      << "org.gnome.Nautilus";
    QTest::newRow("service without random") << "app-org.example.Tool.service" << "org.example.Tool";
    QTest::newRow("flatpak scope") << "app-flatpak-org.mozilla.firefox-12345.scope" << "org.mozilla.firefox";
    QTest::newRow("scope without random") << "app-firefox.scope" << "";
    QTest::newRow("scope with too many parts") << "app-a-b-c-1.scope" << "";
    QTest::newRow("empty random of a service") << "app-x@.service" << "";
    QTest::newRow("session scope") << "session-2.scope" << "";
    QTest::newRow("the app slice") << "app.slice" << "";
    QTest::newRow("a system service") << "cron.service" << "";
    QTest::newRow("empty id") << "app--5.scope" << "";
}

void TestAppInstanceMapping::appUnit()
{
    QFETCH(QString, unit);
    QFETCH(QString, bundleID);
    const auto u = AppInstanceMapping::appUnit(unit);
    QCOMPARE(u ? u->bundleID : QString(), bundleID);
    // The innermost app unit on a path is the one that counts.
    const auto nested = AppInstanceMapping::appUnitOfCgroup(u"/user.slice/app-outer-1.scope/"_qs + unit);
    QCOMPARE(nested ? nested->bundleID : QString(), bundleID.isEmpty() ? u"outer"_qs : bundleID);
}

void TestAppInstanceMapping::execProgram_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("program");
    QTest::newRow("name and field codes") << "gimp-2.10 %U" << "gimp-2.10";
    QTest::newRow("absolute path") << "/usr/lib/firefox/firefox %u" << "/usr/lib/firefox/firefox";
    QTest::newRow("quoted with a space") << "\"/opt/My App/run\" --x" << "/opt/My App/run";
    QTest::newRow("escaped quote inside quotes") << "\"/opt/a\\\"b\" x" << "/opt/a\"b";
    QTest::newRow("leading blanks") << "   tool" << "tool";
    QTest::newRow("unclosed quote") << "\"/opt/x" << "";
    QTest::newRow("empty") << "" << "";
}

void TestAppInstanceMapping::execProgram()
{
    QFETCH(QString, exec);
    QFETCH(QString, program);
    QCOMPARE(DesktopEntryLookup::execProgram(exec), program);
}

void TestAppInstanceMapping::wrapperPrograms_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("wrapper");
    for (const char *w : {"/bin/sh", "/usr/bin/bash", "/usr/bin/env", "/usr/bin/python3", "/usr/bin/python3.11",
                          "/usr/bin/perl", "/usr/bin/perl5.36.0", "/usr/bin/flatpak", "/usr/bin/snap",
                          "/usr/bin/node18", "/usr/bin/gjs-console", "/usr/bin/electron25",
                          "/lib64/ld-linux-x86-64.so.2"})
        QTest::newRow(w) << QString::fromLatin1(w) << true;
    for (const char *p : {"/usr/bin/firefox", "/usr/bin/gimp-2.10", "/usr/bin/pythonista", "/usr/bin/shotwell",
                          "/usr/bin/envelope", "/opt/snapper"})
        QTest::newRow(p) << QString::fromLatin1(p) << false;
}

void TestAppInstanceMapping::wrapperPrograms()
{
    QFETCH(QString, path);
    QFETCH(bool, wrapper);
    QCOMPARE(DesktopEntryLookup::isWrapperProgram(path), wrapper);
}

void TestAppInstanceMapping::desktopFileID_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("id"); // empty: none
    QTest::newRow("top level") << "/usr/share/applications/org.gnome.Terminal.desktop" << "org.gnome.Terminal";
    QTest::newRow("sub folder") << "/usr/share/applications/kde4/konsole.desktop" << "kde4-konsole";
    QTest::newRow("user folder") << "/home/u/.local/share/applications/a/b.desktop" << "a-b";
    QTest::newRow("not in an applications folder") << "/tmp/x.desktop" << "";
    QTest::newRow("not a desktop file") << "/usr/share/applications/x.txt" << "";
}

void TestAppInstanceMapping::desktopFileID()
{
    QFETCH(QString, path);
    QFETCH(QString, id);
    QCOMPARE(DesktopEntryLookup::desktopFileID(path).value_or(QString()), id);
}

void TestAppInstanceMapping::instances_data()
{
    QTest::addColumn<Processes>("processes");
    QTest::addColumn<QStringList>("expected");

    const QString xterm = u"/usr/bin/xterm"_qs, bash = u"/usr/bin/bash"_qs, firefox = u"/usr/lib/firefox/firefox"_qs;
    const QString gimp = u"/usr/bin/gimp-2.10"_qs;
    const auto xtermLaunch = gioLaunch(apps + u"xterm.desktop"_qs, 400);

    QTest::newRow("every process of a launcher's scope, whatever it runs")
        << Processes{process(200, 1, u"/usr/bin/gnome-calculator"_qs,
                             userScope(u"app-gnome-org.gnome.Calculator-4242.scope"_qs)),
                     process(201, 200, u"/usr/libexec/calc-helper"_qs,
                             userScope(u"app-gnome-org.gnome.Calculator-4242.scope"_qs))}
        << QStringList{u"org.gnome.Calculator: 200 201"_qs};
    QTest::newRow("two scopes of one app are two instances")
        << Processes{process(210, 1, u"/usr/bin/app"_qs, userScope(u"app-gnome-tool-1.scope"_qs)),
                     process(211, 1, u"/usr/bin/app"_qs, userScope(u"app-gnome-tool-2.scope"_qs))}
        << QStringList{u"tool: 210"_qs, u"tool: 211"_qs};
    QTest::newRow("service of an app")
        << Processes{process(220, 1, u"/usr/bin/dolphin"_qs, userScope(u"app-org.kde.dolphin@a1b2.service"_qs))}
        << QStringList{u"org.kde.dolphin: 220"_qs};
    QTest::newRow("session scope and plain services are no app")
        << Processes{process(230, 1, u"/usr/bin/some"_qs, u"/user.slice/user-1000.slice/session-2.scope"_qs),
                     process(231, 1, u"/usr/sbin/cron"_qs, u"/system.slice/cron.service"_qs)}
        << QStringList{};
    QTest::newRow("launched by GIO, with a child running the same program")
        << Processes{process(300, 1, gimp, u"/"_qs, gioLaunch(apps + u"gimp.desktop"_qs, 300)),
                     process(301, 300, gimp, u"/"_qs, gioLaunch(apps + u"gimp.desktop"_qs, 300))}
        << QStringList{u"gimp: 300 301"_qs};
    QTest::newRow("a terminal's shell and what is started from it")
        << Processes{process(400, 1, xterm, u"/"_qs, xtermLaunch), process(401, 400, bash, u"/"_qs, xtermLaunch),
                     process(402, 401, u"/usr/bin/vim"_qs, u"/"_qs, xtermLaunch),
                     process(403, 401, firefox, u"/"_qs, xtermLaunch),
                     process(404, 403, firefox, u"/"_qs, xtermLaunch)}
        << QStringList{u"firefox: 403 404"_qs, u"xterm: 400"_qs};
    QTest::newRow("inherited GIO variables of a process that is gone")
        << Processes{process(410, 1, u"/usr/bin/unknown"_qs, u"/"_qs, gioLaunch(apps + u"xterm.desktop"_qs, 409))}
        << QStringList{};
    QTest::newRow("a terminal's scope holds the terminal, not another entry's program")
        << Processes{process(500, 1, xterm, userScope(u"app-gnome-xterm-5.scope"_qs)),
                     process(501, 500, bash, userScope(u"app-gnome-xterm-5.scope"_qs)),
                     process(502, 501, firefox, userScope(u"app-gnome-xterm-5.scope"_qs)),
                     process(503, 502, firefox, userScope(u"app-gnome-xterm-5.scope"_qs))}
        << QStringList{u"firefox: 502 503"_qs, u"xterm: 500 501"_qs};
    QTest::newRow("a launch script's program joins it")
        << Processes{process(600, 1, u"/usr/bin/dash"_qs, u"/"_qs, gioLaunch(apps + u"game.desktop"_qs, 600)),
                     process(601, 600, u"/opt/game/bin/game-real"_qs, u"/"_qs,
                             gioLaunch(apps + u"game.desktop"_qs, 600))}
        << QStringList{u"game: 600 601"_qs};
    QTest::newRow("the executable of exactly one entry")
        << Processes{process(700, 1, gimp), process(701, 700, gimp), process(702, 1, gimp)}
        << QStringList{u"gimp: 700 701"_qs, u"gimp: 702"_qs};
    QTest::newRow("an executable of two entries matches neither")
        << Processes{process(710, 1, u"/usr/bin/chromium"_qs)} << QStringList{};
    QTest::newRow("an interpreter is never matched by its executable")
        << Processes{process(720, 1, u"/usr/bin/python3"_qs), process(721, 1, u"/usr/bin/python3.11"_qs),
                     process(722, 1, u"/usr/bin/flatpak"_qs)}
        << QStringList{};
    QTest::newRow("the child of a matched program that runs something else")
        << Processes{process(730, 1, gimp), process(731, 730, u"/usr/bin/script-fu"_qs)}
        << QStringList{u"gimp: 730"_qs};
    QTest::newRow("an entry file outside the index names its id")
        << Processes{process(800, 1, u"/opt/t/tool"_qs, u"/"_qs,
                             gioLaunch(u"/home/u/.local/share/applications/sub/tool.desktop"_qs, 800))}
        << QStringList{u"sub-tool: 800"_qs};
    QTest::newRow("a program with an identity of its own, started by a launched app")
        << Processes{process(900, 1, xterm, u"/"_qs, gioLaunch(apps + u"xterm.desktop"_qs, 900)),
                     process(901, 900, gimp, u"/"_qs, gioLaunch(apps + u"xterm.desktop"_qs, 900))}
        << QStringList{u"gimp: 901"_qs, u"xterm: 900"_qs};
    QTest::newRow("a child listed before its parent is still decided after it")
        << Processes{process(951, 950, gimp, u"/"_qs, {}, 20), process(950, 1, gimp, u"/"_qs, {}, 10)}
        << QStringList{u"gimp: 950 951"_qs};
    QTest::newRow("kernel threads and unreadable processes are no app")
        << Processes{process(2, 0), process(990, 1)} << QStringList{};
}

void TestAppInstanceMapping::instances()
{
    QFETCH(Processes, processes);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    ProcTree tree(dir.path());
    QList<ProcessFacts> facts;
    for (const auto &p : processes)
        tree.add(p);
    for (const auto &p : processes) {
        const auto f = ProcFs::facts(tree.root(), p.pid);
        QVERIFY(f.has_value());
        facts.append(*f);
    }
    QCOMPARE(describe(AppInstanceMapping::mapAll(facts, entries())), expected);
}

void TestAppInstanceMapping::knownMembershipsStay()
{
    // A parent seen in an earlier scan keeps its instance, and its new child joins it.
    ProcessFacts parent;
    parent.pid = 10;
    parent.executable = u"/usr/bin/gimp-2.10"_qs;
    const AppInstanceMapping::Membership earlier{u"gimp"_qs, u"exe:10:1"_qs, AppInstanceMapping::Source::executable, 10};
    ProcessFacts child = parent;
    child.pid = 11;
    child.parentPid = 10;
    child.startTime = 5;
    const auto mapping = AppInstanceMapping::mapAll({child}, entries(), {{10, parent}}, {{10, earlier}});
    QCOMPARE(mapping.value(11), earlier);
    QCOMPARE(mapping.value(10), earlier);
}

void TestAppInstanceMapping::entriesFromDesktopFiles()
{
    QTemporaryDir dir;
    const QString user = dir.path() + u"/user/applications"_qs, system = dir.path() + u"/system/applications"_qs;
    QDir().mkpath(user + u"/sub"_qs);
    QDir().mkpath(system);
    ProcTree::write(user + u"/sub/tool.desktop"_qs,
                    "[Desktop Entry]\nType=Application\nName=Tool\nName[zh_CN]=工具\nExec=\"/opt/my tools/tool\" %f\n");
    ProcTree::write(system + u"/gimp.desktop"_qs, "[Desktop Entry]\nType=Application\nName=GIMP\nExec=gimp-2.10 %U\n");
    ProcTree::write(system + u"/broken.desktop"_qs, "no group here\n");
    const QStringList paths{user + u"/sub/tool.desktop"_qs, system + u"/gimp.desktop"_qs, system + u"/broken.desktop"_qs};
    const auto read = DesktopEntryLookup::readEntries(paths, {user, system}, {u"zh_CN"_qs});
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[0].bundleID, u"sub-tool"_qs);
    QCOMPARE(read[0].localizedName, u"工具"_qs);
    QCOMPARE(read[1].bundleID, u"gimp"_qs);
    QCOMPARE(read[1].localizedName, u"GIMP"_qs);

    const DesktopEntryLookup lookup(read, [](const QString &p) -> std::optional<QString> {
        return p.startsWith(u'/') ? p : u"/usr/bin/"_qs + p;
    });
    QCOMPARE(lookup.bundleIDForExecutable(u"/opt/my tools/tool"_qs).value_or(QString()), u"sub-tool"_qs);
    QCOMPARE(lookup.bundleIDForExecutable(u"/usr/bin/gimp-2.10"_qs).value_or(QString()), u"gimp"_qs);
    QCOMPARE(lookup.bundleIDForDesktopFile(user + u"/sub/tool.desktop"_qs).value_or(QString()), u"sub-tool"_qs);
    QCOMPARE(lookup.localizedName(u"gimp"_qs), u"GIMP"_qs);
}

QTEST_GUILESS_MAIN(TestAppInstanceMapping)
#include "tst_appinstancemapping.moc"
