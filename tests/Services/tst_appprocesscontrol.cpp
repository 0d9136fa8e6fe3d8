#include "appprocesscontrol.h"

#include "appidentity.h"
#include "embeddedprocessfamily.h"
#include "fake/fakeprocesstable.h"
#include "fake/fakerunningapps.h"

#include <QTest>

namespace {

const QString browserPath = u"/opt/Host.app/Contents/Browser.app"_qs;

class RecordingProcessTable : public FakeProcessTable
{
public:
    void kill(qint64 pid, const QString &expectedExecutable) override
    {
        attempts.append(pid);
        FakeProcessTable::kill(pid, expectedExecutable);
    }
    QList<qint64> attempts;
};

// One desktop for every row: an embedded browser with three processes beside its host, embedded entries whose
// bundle paths are broken, two instances of an editor, and instances that are the program itself.
struct World
{
    RecordingProcessTable table;
    FakeRunningApps running;
    EmbeddedProcessFamily family{table};
    EmbeddedAppRegistry registry{
        {
            {u"com.host.browser"_qs, u"浏览器"_qs, browserPath, u"com.host"_qs, {}},
            {u"com.host.idle"_qs, u"小程序"_qs, u"/opt/Host.app/Contents/Idle.app"_qs, u"com.host"_qs, {}},
            {u"com.broken.empty"_qs, u"空"_qs, QString(), u"com.host"_qs, {}},
            {u"com.broken.root"_qs, u"根"_qs, u"/"_qs, u"com.host"_qs, {}},
        },
        [](const QString &) { return true; }};
    AppProcessControl control{running, family, registry};

    World()
    {
        table.addProcess(201, browserPath + u"/Contents/MacOS/browser"_qs);
        table.addProcess(202, u"/opt/Host.app/Contents/MacOS/host"_qs);
        table.addProcess(203, browserPath + u"/Contents/Helpers/gpu"_qs);
        table.addProcess(204, browserPath);
        table.addProcess(205, browserPath + u"2/Contents/MacOS/other"_qs);
        table.addProcess(AppIdentity::processID(), browserPath + u"/Contents/MacOS/browser"_qs);
        running.launch(u"com.host"_qs, u"宿主"_qs, 202);
        running.launch(u"org.editor"_qs, u"编辑器"_qs, 301);
        running.launch(u"org.editor"_qs, u"编辑器"_qs, 302);
        running.launch(AppIdentity::bundleID(), u"Tarnwick"_qs, 303);
        running.launch(u"org.shell"_qs, u"外壳"_qs, AppIdentity::processID());
        // A desktop may also list the embedded app's main process as an instance of its own.
        running.launch(u"com.host.browser"_qs, u"浏览器"_qs, 201);
    }
};

} // namespace

class TestAppProcessControl : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void requestQuit_data();
    void requestQuit();
    void hide_data();
    void hide();
    void unreadableTableKillsNothing();
};

void TestAppProcessControl::requestQuit_data()
{
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<QList<qint64>>("killed");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("embedded app: its three processes are killed, nothing asked")
        << u"com.host.browser"_qs << QList<qint64>{201, 203, 204} << QStringList{};
    QTest::newRow("embedded app without processes") << u"com.host.idle"_qs << QList<qint64>{} << QStringList{};
    QTest::newRow("ordinary app with two instances")
        << u"org.editor"_qs << QList<qint64>{} << QStringList{u"terminate org.editor 301"_qs, u"terminate org.editor 302"_qs};
    QTest::newRow("ordinary app not running") << u"org.absent"_qs << QList<qint64>{} << QStringList{};
    QTest::newRow("the program's own identifier") << AppIdentity::bundleID() << QList<qint64>{} << QStringList{};
    QTest::newRow("an instance that is the program's process") << u"org.shell"_qs << QList<qint64>{} << QStringList{};
    QTest::newRow("embedded entry with an empty path") << u"com.broken.empty"_qs << QList<qint64>{} << QStringList{};
    QTest::newRow("embedded entry with the root as path") << u"com.broken.root"_qs << QList<qint64>{} << QStringList{};
    QTest::newRow("identifiers are case-sensitive")
        << u"COM.HOST.BROWSER"_qs << QList<qint64>{} << QStringList{};
    QTest::newRow("empty identifier") << QString() << QList<qint64>{} << QStringList{};
}

void TestAppProcessControl::requestQuit()
{
    QFETCH(QString, bundleID);
    QFETCH(QList<qint64>, killed);
    QFETCH(QStringList, requests);
    World w;
    w.control.requestQuit(bundleID);
    QCOMPARE(w.table.attempts, killed);
    QCOMPARE(w.table.killed(), killed);
    QCOMPARE(w.running.requests(), requests);
}

void TestAppProcessControl::hide_data()
{
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("ordinary app with two instances")
        << u"org.editor"_qs << QStringList{u"hide org.editor 301"_qs, u"hide org.editor 302"_qs};
    QTest::newRow("not running") << u"org.absent"_qs << QStringList{};
    QTest::newRow("embedded app even when listed") << u"com.host.browser"_qs << QStringList{};
    QTest::newRow("the program's own identifier") << AppIdentity::bundleID() << QStringList{};
    QTest::newRow("an instance that is the program's process") << u"org.shell"_qs << QStringList{};
}

void TestAppProcessControl::hide()
{
    QFETCH(QString, bundleID);
    QFETCH(QStringList, requests);
    World w;
    w.control.hide(bundleID);
    QCOMPARE(w.running.requests(), requests);
    QVERIFY(w.table.attempts.isEmpty());
}

void TestAppProcessControl::unreadableTableKillsNothing()
{
    World w;
    w.table.setUnreadable(true);
    w.control.requestQuit(u"com.host.browser"_qs);
    QVERIFY(w.table.attempts.isEmpty());
    QVERIFY(w.running.requests().isEmpty()); // an embedded app is never asked instead
}

QTEST_GUILESS_MAIN(TestAppProcessControl)
#include "tst_appprocesscontrol.moc"
