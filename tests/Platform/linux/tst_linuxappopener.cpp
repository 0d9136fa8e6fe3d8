#include "linux/linuxappopener.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <sys/wait.h>

// Desktop entries in a temporary folder, with stand-in programs in a folder of their own that is the whole PATH.
// Only one test starts a real process: a fixture script that writes a marker file into the temporary folder.
class TestLinuxAppOpener : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void commandForAnEntry_data();
    void commandForAnEntry();
    void terminalChoice_data();
    void terminalChoice();
    void startIsAskedOnlyForRunnableEntries();
    void aRunningAppWithAWindowIsBroughtForward();
    void realLaunchRunsDetachedWithTheLaunchVariables();
    void programThatCannotBeExecutedIsRefused();

private:
    QTemporaryDir m_dir;
    QString m_root;

    QString path(const QString &relative) const { return m_root + u'/' + relative; }
    void writeFile(const QString &relative, const QByteArray &bytes, bool executable = false);
    QString entry(const QString &name, const QString &body);
    QProcessEnvironment environment(const QStringList &pathFolders) const;
};

void TestLinuxAppOpener::writeFile(const QString &relative, const QByteArray &bytes, bool executable)
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QFile file(path(relative));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    if (executable)
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
}

QString TestLinuxAppOpener::entry(const QString &name, const QString &body)
{
    const QString relative = u"applications/"_qs + name + u".desktop"_qs;
    writeFile(relative, (u"[Desktop Entry]\nType=Application\nName=Tool\nName[zh_CN]=工具\nIcon=tool-icon\n"_qs + body)
                            .toUtf8());
    return path(relative);
}

QProcessEnvironment TestLinuxAppOpener::environment(const QStringList &pathFolders) const
{
    QProcessEnvironment env;
    env.insert(u"PATH"_qs, pathFolders.join(u':'));
    env.insert(u"LANG"_qs, u"C.UTF-8"_qs);
    return env;
}

void TestLinuxAppOpener::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = QFileInfo(m_dir.path()).canonicalFilePath();
    writeFile(u"bin/tool"_qs, "stand-in", true);
    writeFile(u"bin/x-terminal-emulator"_qs, "stand-in", true);
    writeFile(u"bin-without-terminal/tool"_qs, "stand-in", true);
    writeFile(u"opt/Tool Box/run"_qs, "stand-in", true);
    writeFile(u"bin/not-executable"_qs, "plain file");
    QVERIFY(QDir().mkpath(path(u"work"_qs)));
}

void TestLinuxAppOpener::commandForAnEntry_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("url");         // encoded; empty: open the app itself
    QTest::addColumn<bool>("terminalInPath");
    QTest::addColumn<QString>("executable");  // below the temporary folder; empty: refused
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("workingDirectory");

    const QString link = u"bilibili://search?keyword=%20"_qs;
    const QStringList refused;
    QTest::newRow("a program from PATH") << u"Exec=tool --new-window\n"_qs << QString() << true << u"bin/tool"_qs
                                         << QStringList{u"tool"_qs, u"--new-window"_qs} << QString();
    QTest::newRow("the URL as %u") << u"Exec=tool %u\n"_qs << link << true << u"bin/tool"_qs
                                   << QStringList{u"tool"_qs, link} << QString();
    QTest::newRow("the URL as %U") << u"Exec=tool --open %U\n"_qs << link << true << u"bin/tool"_qs
                                   << QStringList{u"tool"_qs, u"--open"_qs, link} << QString();
    QTest::newRow("an entry that takes no URL opens without it") << u"Exec=tool\n"_qs << link << true
                                                                 << u"bin/tool"_qs << QStringList{u"tool"_qs}
                                                                 << QString();
    QTest::newRow("no URL drops %u") << u"Exec=tool %u\n"_qs << QString() << true << u"bin/tool"_qs
                                     << QStringList{u"tool"_qs} << QString();
    QTest::newRow("icon, name and location") << u"Exec=tool %i --title %c --entry %k\n"_qs << QString() << true
                                             << u"bin/tool"_qs
                                             << QStringList{u"tool"_qs, u"--icon"_qs, u"tool-icon"_qs, u"--title"_qs,
                                                            u"工具"_qs, u"--entry"_qs, u"<entry>"_qs}
                                             << QString();
    QTest::newRow("a quoted absolute program") << u"Exec=\"%1/opt/Tool Box/run\" %U\n"_qs << link << true
                                               << u"opt/Tool Box/run"_qs
                                               << QStringList{u"<root>/opt/Tool Box/run"_qs, link} << QString();
    QTest::newRow("Path is the working folder") << u"Exec=tool\nPath=%1/work\n"_qs << QString() << true
                                                << u"bin/tool"_qs << QStringList{u"tool"_qs} << u"work"_qs;
    QTest::newRow("Terminal through x-terminal-emulator")
        << u"Exec=tool --flag\nTerminal=true\n"_qs << QString() << true << u"bin/x-terminal-emulator"_qs
        << QStringList{u"x-terminal-emulator"_qs, u"-e"_qs, u"tool"_qs, u"--flag"_qs} << QString();

    QTest::newRow("a program that is not installed") << u"Exec=no-such-tool %u\n"_qs << link << true << QString()
                                                     << refused << QString();
    QTest::newRow("a file that is not executable") << u"Exec=%1/bin/not-executable\n"_qs << QString() << true
                                                   << QString() << refused << QString();
    QTest::newRow("Terminal with no terminal installed") << u"Exec=tool\nTerminal=true\n"_qs << QString() << false
                                                         << QString() << refused << QString();
    QTest::newRow("no Exec") << u"Comment=nothing to run\n"_qs << QString() << true << QString() << refused
                             << QString();
    QTest::newRow("a malformed Exec") << u"Exec=tool 100%\n"_qs << QString() << true << QString() << refused
                                      << QString();
    QTest::newRow("a Path that is no folder") << u"Exec=tool\nPath=%1/bin/tool\n"_qs << QString() << true
                                              << QString() << refused << QString();
}

void TestLinuxAppOpener::commandForAnEntry()
{
    QFETCH(QString, body);
    QFETCH(QString, url);
    QFETCH(bool, terminalInPath);
    QFETCH(QString, executable);
    QFETCH(QStringList, arguments);
    QFETCH(QString, workingDirectory);
    const QString file = entry(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'),
                               body.contains(u"%1") ? body.arg(m_root) : body);
    LinuxAppOpener opener({environment({path(terminalInPath ? u"bin"_qs : u"bin-without-terminal"_qs)}),
                           {u"zh_CN"_qs}, {}});
    const QList<QUrl> urls = url.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl::fromEncoded(url.toLatin1())};
    const auto process = opener.command(file, urls);
    QCOMPARE(process.has_value(), !executable.isEmpty());
    if (!process)
        return;
    QCOMPARE(process->executable, path(executable));
    for (auto &argument : arguments)
        argument.replace(u"<entry>"_qs, file).replace(u"<root>"_qs, m_root);
    QCOMPARE(process->arguments, arguments);
    QCOMPARE(process->workingDirectory, workingDirectory.isEmpty() ? QString() : path(workingDirectory));
    QCOMPARE(process->environment.value(u"GIO_LAUNCHED_DESKTOP_FILE"_qs), file);
    QCOMPARE(process->environment.value(u"PATH"_qs), path(terminalInPath ? u"bin"_qs : u"bin-without-terminal"_qs));
    QCOMPARE(process->ownPidVariable, u"GIO_LAUNCHED_DESKTOP_FILE_PID"_qs);
}

void TestLinuxAppOpener::terminalChoice_data()
{
    QTest::addColumn<QStringList>("firstFolder");  // terminals installed in PATH's first folder
    QTest::addColumn<QStringList>("secondFolder"); // and in its second
    QTest::addColumn<QStringList>("command");      // what starts the terminal app; empty: refused

    const QStringList none;
    QTest::newRow("the Debian alternative before the rest")
        << QStringList{u"xterm"_qs, u"x-terminal-emulator"_qs, u"gnome-terminal"_qs} << none
        << QStringList{u"x-terminal-emulator"_qs, u"-e"_qs};
    QTest::newRow("GNOME's without the alternative") << QStringList{u"xterm"_qs, u"gnome-terminal"_qs} << none
                                                     << QStringList{u"gnome-terminal"_qs, u"--"_qs};
    QTest::newRow("the list's order, not PATH's") << QStringList{u"xterm"_qs} << QStringList{u"konsole"_qs}
                                                  << QStringList{u"konsole"_qs, u"-e"_qs};
    QTest::newRow("Xfce's") << QStringList{u"tilix"_qs, u"xfce4-terminal"_qs} << none
                            << QStringList{u"xfce4-terminal"_qs, u"-x"_qs};
    QTest::newRow("MATE's") << none << QStringList{u"mate-terminal"_qs, u"kgx"_qs}
                            << QStringList{u"mate-terminal"_qs, u"-x"_qs};
    QTest::newRow("GNOME Console") << QStringList{u"kgx"_qs, u"tilix"_qs} << none << QStringList{u"kgx"_qs, u"--"_qs};
    QTest::newRow("Tilix") << QStringList{u"xterm"_qs} << QStringList{u"tilix"_qs}
                           << QStringList{u"tilix"_qs, u"-e"_qs};
    QTest::newRow("xterm last") << QStringList{u"xterm"_qs} << none << QStringList{u"xterm"_qs, u"-e"_qs};
    QTest::newRow("a terminal that is not executable") << QStringList{u"-gnome-terminal"_qs} << QStringList{u"xterm"_qs}
                                                       << QStringList{u"xterm"_qs, u"-e"_qs};
    QTest::newRow("none installed") << QStringList{u"-xterm"_qs} << QStringList{u"urxvt"_qs} << QStringList();
}

void TestLinuxAppOpener::terminalChoice()
{
    QFETCH(QStringList, firstFolder);
    QFETCH(QStringList, secondFolder);
    QFETCH(QStringList, command);
    // A leading "-" writes the terminal without its execute bits.
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');
    const QStringList folders{u"terminals/"_qs + tag + u"/first"_qs, u"terminals/"_qs + tag + u"/second"_qs};
    const QList<QStringList> installed{firstFolder, secondFolder};
    for (qsizetype i = 0; i < folders.size(); ++i) {
        QVERIFY(QDir().mkpath(path(folders[i])));
        for (const QString &name : installed[i]) {
            const bool executable = !name.startsWith(u'-');
            writeFile(folders[i] + u'/' + (executable ? name : name.sliced(1)), "stand-in", executable);
        }
    }
    const QString file = entry(u"terminal-"_qs + tag, u"Exec=tool --flag\nTerminal=true\n"_qs);
    LinuxAppOpener opener({environment({path(folders[0]), path(folders[1]), path(u"bin-without-terminal"_qs)}), {},
                           {}});
    const auto process = opener.command(file, {});
    QCOMPARE(process.has_value(), !command.isEmpty());
    if (!process)
        return;
    const QString folder = installed[0].contains(command.first()) ? folders[0] : folders[1];
    QCOMPARE(process->executable, path(folder + u'/' + command.first()));
    QCOMPARE(process->arguments, command + QStringList({u"tool"_qs, u"--flag"_qs}));
}

void TestLinuxAppOpener::startIsAskedOnlyForRunnableEntries()
{
    QList<DetachedProcess> asked;
    std::optional<qint64> answer = 4242;
    LinuxAppOpener opener({environment({path(u"bin"_qs)}), {}, [&](const DetachedProcess &process) {
                               asked.append(process);
                               return answer;
                           }});
    const QString good = entry(u"good"_qs, u"Exec=tool %u\n"_qs);
    const QString missing = entry(u"missing"_qs, u"Exec=no-such-tool\n"_qs);
    QCOMPARE(opener.openApplication(good), OpenResult::started);
    QCOMPARE(opener.openURL(QUrl::fromEncoded("bilibili://search?keyword=%20"), good), OpenResult::started);
    QCOMPARE(opener.openApplication(missing), OpenResult::refused);
    QCOMPARE(opener.openApplication(path(u"Applications/Tool.app"_qs)), OpenResult::refused);
    QCOMPARE(opener.openApplication(path(u"applications/never-written.desktop"_qs)), OpenResult::refused);
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked[1].arguments, (QStringList{u"tool"_qs, u"bilibili://search?keyword=%20"_qs}));

    answer = std::nullopt; // the system could not start it
    QCOMPARE(opener.openApplication(good), OpenResult::refused);
}

void TestLinuxAppOpener::aRunningAppWithAWindowIsBroughtForward()
{
    int started = 0;
    QStringList activated;
    bool hasWindow = true;
    LinuxAppOpener opener({environment({path(u"bin"_qs)}), {},
                           [&](const DetachedProcess &) -> std::optional<qint64> {
                               ++started;
                               return 4242;
                           },
                           [&](const QString &appPath) {
                               activated.append(appPath);
                               return hasWindow;
                           }});
    const QString good = entry(u"good"_qs, u"Exec=tool %u\n"_qs);
    QCOMPARE(opener.openApplication(good), OpenResult::started);
    QCOMPARE(activated, QStringList{good});
    QCOMPARE(started, 0);
    // A URL goes to a new start, which the app hands to its running instance itself.
    QCOMPARE(opener.openURL(QUrl(u"https://example.org/"_qs), good), OpenResult::started);
    QCOMPARE(started, 1);
    hasWindow = false; // running without a window on screen, or not at all
    QCOMPARE(opener.openApplication(good), OpenResult::started);
    QCOMPARE(started, 2);
}

void TestLinuxAppOpener::realLaunchRunsDetachedWithTheLaunchVariables()
{
    const QString marker = path(u"marker"_qs);
    writeFile(u"My Tools/write marker"_qs,
              "#!/bin/sh\n"
              "printf '%s\\n' \"$GIO_LAUNCHED_DESKTOP_FILE\" \"$GIO_LAUNCHED_DESKTOP_FILE_PID\" \"$$\" \"$(pwd)\" "
              "\"$1\" > \"$MARKER.part\"\n"
              "ls /proc/$$/fd >> \"$MARKER.part\"\n"
              "mv \"$MARKER.part\" \"$MARKER\"\n",
              true);
    const QString file = entry(u"real"_qs, u"Exec=\"%1/My Tools/write marker\" %u\nPath=%1/work\n"_qs.arg(m_root));
    QProcessEnvironment env = environment({u"/usr/bin"_qs, u"/bin"_qs});
    env.insert(u"MARKER"_qs, marker);
    env.insert(u"GIO_LAUNCHED_DESKTOP_FILE_PID"_qs, u"1"_qs); // inherited from whoever started us: replaced
    // A descriptor of ours that is not marked close-on-exec must not reach the app all the same.
    const int stray = ::fcntl(STDERR_FILENO, F_DUPFD, 100);
    QVERIFY(stray >= 100);
    const auto closeStray = qScopeGuard([stray] { ::close(stray); });
    std::optional<qint64> pid;
    LinuxAppOpener opener({env, {}, [&](const DetachedProcess &process) {
                               pid = process.start();
                               return pid;
                           }});

    QCOMPARE(opener.openURL(QUrl::fromEncoded("bilibili://search?keyword=%20"), file), OpenResult::started);
    QVERIFY(pid && *pid > 0);
    // Not a child of ours: nothing to reap, and no zombie once it ends.
    QCOMPARE(::waitpid(pid_t(*pid), nullptr, WNOHANG), -1);
    QCOMPARE(errno, ECHILD);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    QFile written(marker);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(written.readAll()).split(u'\n');
    QCOMPARE(lines.value(0), file);
    QCOMPARE(lines.value(1), QString::number(*pid));
    QCOMPARE(lines.value(2), QString::number(*pid));
    QCOMPARE(lines.value(3), path(u"work"_qs));
    QCOMPARE(lines.value(4), u"bilibili://search?keyword=%20"_qs);
    QVERIFY2(!lines.mid(5).contains(QString::number(stray)), qPrintable(lines.mid(5).join(u' ')));
}

void TestLinuxAppOpener::programThatCannotBeExecutedIsRefused()
{
    // Marked executable, but neither a binary nor a script: the kernel refuses it, and the failure comes back.
    writeFile(u"bin/broken"_qs, "\x01\x02 no program here", true);
    const QString file = entry(u"broken"_qs, u"Exec=broken\n"_qs);
    LinuxAppOpener opener({environment({path(u"bin"_qs)}), {}, {}});
    QVERIFY(opener.command(file, {}));
    QCOMPARE(opener.openApplication(file), OpenResult::refused);
}

QTEST_GUILESS_MAIN(TestLinuxAppOpener)
#include "tst_linuxappopener.moc"
