#include "embeddedprocessfamily.h"

#include "appidentity.h"
#include "fake/fakeprocesstable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString bundle = u"/opt/Host.app/Contents/Browser.app"_qs;

EmbeddedApp browser(const QString &path = bundle)
{
    return EmbeddedApp{u"com.host.browser"_qs, u"浏览器"_qs, path, u"com.host"_qs, {}};
}

// Records every kill that reaches the table, also those the table itself would refuse.
class RecordingProcessTable : public FakeProcessTable
{
public:
    void kill(qint64 pid, const QString &expectedExecutable) override
    {
        attempts.append({pid, expectedExecutable});
        FakeProcessTable::kill(pid, expectedExecutable);
    }
    QList<EmbeddedProcessFamily::Member> attempts;
};

} // namespace

// The matching rule decides which processes get SIGKILL, so its edges are what could hurt the user: a sibling
// bundle, the host, a path that is no bundle at all, our own process.
class TestEmbeddedProcessFamily : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isInside_data();
    void isInside();
    void pidsKeepTableOrderAndSkipWhatCannotBeRead();
    void unusableBundlePathMatchesNothing_data();
    void unusableBundlePathMatchesNothing();
    void killAllSignalsExactlyTheFamilyWithTheirPaths();
    void neverSelectsOwnProcess();
    void bundleReachedThroughALink();
};

void TestEmbeddedProcessFamily::isInside_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("bundlePath");
    QTest::addColumn<bool>("inside");
    QTest::newRow("main executable inside") << bundle + u"/Contents/MacOS/x"_qs << bundle << true;
    QTest::newRow("the bundle path itself") << bundle << bundle << true;
    QTest::newRow("replaced since it started") << bundle + u"/Contents/MacOS/x (deleted)"_qs << bundle << true;
    QTest::newRow("sibling with the same prefix") << bundle + u"2/Contents/MacOS/x"_qs << bundle << false;
    QTest::newRow("host outside the bundle") << u"/opt/Host.app/Contents/MacOS/host"_qs << bundle << false;
    QTest::newRow("parent folder of the bundle") << u"/opt/Host.app/Contents"_qs << bundle << false;
    QTest::newRow("trailing slash in the table") << bundle + u"/x"_qs << bundle + u"/"_qs << true;
    QTest::newRow("empty bundle path") << u"/usr/bin/bash"_qs << QString() << false;
    QTest::newRow("root as bundle path") << u"/usr/bin/bash"_qs << u"/"_qs << false;
    QTest::newRow("root spelled twice") << u"/usr/bin/bash"_qs << u"//"_qs << false;
    QTest::newRow("root through dot-dot") << u"/usr/bin/bash"_qs << u"/usr/.."_qs << false;
    QTest::newRow("relative bundle path") << u"Browser.app/x"_qs << u"Browser.app"_qs << false;
}

void TestEmbeddedProcessFamily::isInside()
{
    QFETCH(QString, executable);
    QFETCH(QString, bundlePath);
    QFETCH(bool, inside);
    QCOMPARE(EmbeddedProcessFamily::isInside(executable, bundlePath), inside);
}

void TestEmbeddedProcessFamily::pidsKeepTableOrderAndSkipWhatCannotBeRead()
{
    FakeProcessTable table;
    table.addProcess(30, bundle + u"/Contents/Helpers/h"_qs);
    table.addProcess(10, u"/opt/Host.app/Contents/MacOS/host"_qs);
    table.addProcess(20, bundle);
    table.addProcess(40, std::nullopt); // gone or not ours to inspect
    table.addProcess(50, bundle + u"2/Contents/MacOS/x"_qs);
    table.addProcess(5, bundle + u"/Contents/MacOS/x"_qs);
    EmbeddedProcessFamily family(table);

    QCOMPARE(family.allPIDs(), (QList<qint64>{30, 10, 20, 40, 50, 5}));
    QCOMPARE(family.pids(browser()), (QList<qint64>{30, 20, 5}));

    table.setUnreadable(true);
    QCOMPARE(family.allPIDs(), QList<qint64>{});
    QCOMPARE(family.pids(browser()), QList<qint64>{});
}

void TestEmbeddedProcessFamily::unusableBundlePathMatchesNothing_data()
{
    QTest::addColumn<QString>("bundlePath");
    QTest::newRow("empty") << QString();
    QTest::newRow("root") << u"/"_qs;
    QTest::newRow("relative") << u"opt/Host.app"_qs;
    QTest::newRow("dot") << u"."_qs;
}

void TestEmbeddedProcessFamily::unusableBundlePathMatchesNothing()
{
    QFETCH(QString, bundlePath);
    RecordingProcessTable table;
    table.addProcess(100, u"/usr/bin/bash"_qs);
    table.addProcess(101, u"/opt/Host.app/Contents/MacOS/host"_qs);
    table.addProcess(102, QDir::currentPath() + u"/opt/Host.app/x"_qs);
    EmbeddedProcessFamily family(table);

    QCOMPARE(family.pids(browser(bundlePath)), QList<qint64>{});
    family.killAll(browser(bundlePath));
    QVERIFY(table.attempts.isEmpty());
}

void TestEmbeddedProcessFamily::killAllSignalsExactlyTheFamilyWithTheirPaths()
{
    RecordingProcessTable table;
    table.addProcess(7, bundle + u"/Contents/MacOS/x"_qs);
    table.addProcess(8, u"/opt/Host.app/Contents/MacOS/host"_qs);
    table.addProcess(9, bundle + u"/Contents/Helpers/h"_qs);
    EmbeddedProcessFamily family(table);

    family.killAll(browser());
    // The path goes along so that the table can refuse a pid that has been reused meanwhile.
    QCOMPARE(table.attempts, (QList<EmbeddedProcessFamily::Member>{{7, bundle + u"/Contents/MacOS/x"_qs},
                                                                    {9, bundle + u"/Contents/Helpers/h"_qs}}));
    QCOMPARE(table.killed(), (QList<qint64>{7, 9}));
    QCOMPARE(family.allPIDs(), QList<qint64>{8});
}

void TestEmbeddedProcessFamily::neverSelectsOwnProcess()
{
    RecordingProcessTable table;
    table.addProcess(AppIdentity::processID(), bundle + u"/Contents/MacOS/x"_qs);
    table.addProcess(1, bundle + u"/Contents/MacOS/init"_qs);
    table.addProcess(77, bundle + u"/Contents/MacOS/x"_qs);
    EmbeddedProcessFamily family(table);

    QCOMPARE(family.pids(browser()), QList<qint64>{77});
    family.killAll(browser());
    QCOMPARE(table.attempts.size(), 1);
    QCOMPARE(table.attempts.first().pid, 77);
}

void TestEmbeddedProcessFamily::bundleReachedThroughALink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString real = dir.path() + u"/real/Browser.app"_qs;
    QVERIFY(QDir().mkpath(real + u"/Contents/MacOS"_qs));
    QVERIFY(QFile::link(dir.path() + u"/real"_qs, dir.path() + u"/link"_qs));
    const QString canonicalReal = QDir(real).canonicalPath();

    FakeProcessTable table;
    // The kernel names executables by their resolved path.
    table.addProcess(61, canonicalReal + u"/Contents/MacOS/x"_qs);
    table.addProcess(62, canonicalReal + u"2/x"_qs);
    EmbeddedProcessFamily family(table);

    QCOMPARE(family.pids(browser(dir.path() + u"/link/Browser.app"_qs)), QList<qint64>{61});
}

QTEST_GUILESS_MAIN(TestEmbeddedProcessFamily)
#include "tst_embeddedprocessfamily.moc"
