#include "../../support/fixturetree.h"

#include "linux/xdgenvironment.h"

#include <QTest>

// Where the application folders are and which desktop this is, from environments the test makes up.
class TestXdgEnvironment : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void applicationRoots_data();
    void applicationRoots();
    void currentDesktops();
    void programExists_data();
    void programExists();
};

namespace {

QProcessEnvironment environment(const QStringList &pairs)
{
    QProcessEnvironment env;
    for (const auto &pair : pairs) {
        const qsizetype eq = pair.indexOf(u'=');
        env.insert(pair.first(eq), pair.sliced(eq + 1));
    }
    return env;
}

} // namespace

void TestXdgEnvironment::applicationRoots_data()
{
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QStringList>("roots");

    QTest::newRow("data home first, then the data dirs")
        << QStringList{u"HOME=/home/u"_qs, u"XDG_DATA_HOME=/d/home"_qs, u"XDG_DATA_DIRS=/d/one:/d/two/"_qs}
        << QStringList{u"/d/home/applications"_qs, u"/d/one/applications"_qs, u"/d/two/applications"_qs};
    QTest::newRow("defaults") << QStringList{u"HOME=/home/u"_qs}
                              << QStringList{u"/home/u/.local/share/applications"_qs,
                                             u"/usr/local/share/applications"_qs, u"/usr/share/applications"_qs};
    QTest::newRow("relative entries ignored")
        << QStringList{u"HOME=/home/u"_qs, u"XDG_DATA_HOME=rel"_qs, u"XDG_DATA_DIRS=rel:/d/one::"_qs}
        << QStringList{u"/home/u/.local/share/applications"_qs, u"/d/one/applications"_qs};
    QTest::newRow("a folder named twice counts once")
        << QStringList{u"XDG_DATA_HOME=/d/one"_qs, u"XDG_DATA_DIRS=/d/two:/d/one:/d/two"_qs}
        << QStringList{u"/d/one/applications"_qs, u"/d/two/applications"_qs};
    QTest::newRow("replaced for demos")
        << QStringList{u"HOME=/home/u"_qs, u"TARNWICK_APP_DIRS=/demo/a::/demo/b:/demo/a"_qs}
        << QStringList{u"/demo/a"_qs, u"/demo/b"_qs};
    QTest::newRow("an empty replacement replaces nothing")
        << QStringList{u"HOME=/home/u"_qs, u"XDG_DATA_DIRS=/d/one"_qs, u"TARNWICK_APP_DIRS=:"_qs}
        << QStringList{u"/home/u/.local/share/applications"_qs, u"/d/one/applications"_qs};
}

void TestXdgEnvironment::applicationRoots()
{
    QFETCH(QStringList, env);
    QFETCH(QStringList, roots);
    QCOMPARE(XdgEnvironment::applicationRoots(environment(env)), roots);
}

void TestXdgEnvironment::currentDesktops()
{
    QCOMPARE(XdgEnvironment::currentDesktops(environment({u"XDG_CURRENT_DESKTOP=ubuntu:GNOME:"_qs})),
             (QStringList{u"ubuntu"_qs, u"GNOME"_qs}));
    QCOMPARE(XdgEnvironment::currentDesktops(QProcessEnvironment()), QStringList{});
}

void TestXdgEnvironment::programExists_data()
{
    QTest::addColumn<QString>("program"); // "@" stands for the fixture folder
    QTest::addColumn<bool>("exists");
    QTest::newRow("name found on the path") << u"tool"_qs << true;
    QTest::newRow("name not on the path") << u"other"_qs << false;
    QTest::newRow("a file that cannot run") << u"data"_qs << false;
    QTest::newRow("a folder of that name") << u"folder"_qs << false;
    QTest::newRow("absolute path") << u"@/bin/tool"_qs << true;
    QTest::newRow("absolute path missing") << u"@/bin/none"_qs << false;
    QTest::newRow("relative path") << u"bin/tool"_qs << false;
    QTest::newRow("empty") << QString() << false;
}

void TestXdgEnvironment::programExists()
{
    QFETCH(QString, program);
    QFETCH(bool, exists);
    FixtureTree tree;
    const QString tool = tree.write(u"bin/tool"_qs, "#!/bin/sh\n");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    tree.write(u"bin/data"_qs, "x");
    tree.mkdir(u"bin/folder"_qs);
    program.replace(u'@', tree.path());
    const auto env = environment({u"PATH=/nonexistent:"_qs + tree.path(u"bin"_qs)});
    QCOMPARE(XdgEnvironment::programExists(program, env), exists);
}

QTEST_GUILESS_MAIN(TestXdgEnvironment)
#include "tst_xdgenvironment.moc"
