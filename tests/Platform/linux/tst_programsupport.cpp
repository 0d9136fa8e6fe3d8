#include "../../support/applists.h"
#include "../../support/fixturetree.h"
#include "linux/appentries.h"
#include "linux/guiappactivation.h"
#include "linux/singleinstance.h"
#include "linux/terminationsignals.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <csignal>

using namespace AppLists;

// What main.cpp stands on besides the seams: one instance per user, the termination signals, the desktop entries
// of the scanned apps, and the program's activity through Qt.
class TestProgramSupport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void secondClaimFindsTheFirst();
    void lockIsLetGoWithItsOwner();
    void lockInAMissingFolder();
    void showRequestReachesTheFirst();
    void showRequestWithoutAListener();
    void terminationSignalsArriveOnTheLoop_data();
    void terminationSignalsArriveOnTheLoop();
    void entriesOfScannedApps();
    void activationShowsTheWindow();
};

void TestProgramSupport::secondClaimFindsTheFirst()
{
    FixtureTree tree;
    const QString lock = tree.path(u"Tarnwick.lock"_qs);
    SingleInstance first(lock, tree.path(u"socket"_qs));
    SingleInstance second(lock, tree.path(u"socket"_qs));
    QCOMPARE(first.claim(), SingleInstance::Claim::first);
    QCOMPARE(first.claim(), SingleInstance::Claim::first); // asking again keeps it
    QCOMPARE(second.claim(), SingleInstance::Claim::another);
}

void TestProgramSupport::lockIsLetGoWithItsOwner()
{
    FixtureTree tree;
    const QString lock = tree.path(u"Tarnwick.lock"_qs);
    {
        SingleInstance first(lock, tree.path(u"socket"_qs));
        QCOMPARE(first.claim(), SingleInstance::Claim::first);
    }
    SingleInstance later(lock, tree.path(u"socket"_qs));
    QCOMPARE(later.claim(), SingleInstance::Claim::first);
}

void TestProgramSupport::lockInAMissingFolder()
{
    FixtureTree tree;
    tree.write(u"file"_qs, "x");
    SingleInstance instance(tree.path(u"file/Tarnwick.lock"_qs), tree.path(u"socket"_qs));
    QCOMPARE(instance.claim(), SingleInstance::Claim::unavailable);
}

void TestProgramSupport::showRequestReachesTheFirst()
{
    FixtureTree tree;
    const QString socket = tree.path(u"tarnwick.socket"_qs);
    // A socket file left by a program that died does not stop the next one from listening.
    tree.write(u"tarnwick.socket"_qs, "stale");
    SingleInstance first(tree.path(u"Tarnwick.lock"_qs), socket);
    QCOMPARE(first.claim(), SingleInstance::Claim::first);
    QVERIFY(first.listen());
    QSignalSpy shown(&first, &SingleInstance::showRequested);

    // The asking side blocks, as a second start does; the listener answers on its own thread's loop meanwhile.
    bool sent = false;
    QThread *asker = QThread::create([&] { sent = SingleInstance::askToShow(socket, std::chrono::seconds(5)); });
    asker->start();
    QTRY_COMPARE(shown.count(), 1);
    QVERIFY(asker->wait(5000));
    delete asker;
    QVERIFY(sent);
}

void TestProgramSupport::showRequestWithoutAListener()
{
    FixtureTree tree;
    QVERIFY(!SingleInstance::askToShow(tree.path(u"nobody"_qs), std::chrono::milliseconds(300)));
}

void TestProgramSupport::terminationSignalsArriveOnTheLoop_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestProgramSupport::terminationSignalsArriveOnTheLoop()
{
    QFETCH(int, signal);
    TerminationSignals handler;
    QVERIFY(handler.isInstalled());
    QSignalSpy received(&handler, &TerminationSignals::received);
    ::raise(signal); // handled: the test goes on
    QCOMPARE(received.count(), 0); // nothing happens inside the handler
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.first().first().toInt(), signal);
}

void TestProgramSupport::entriesOfScannedApps()
{
    FixtureTree tree;
    const QString editor = tree.write(u"apps/org.example.Editor.desktop"_qs,
                                      "[Desktop Entry]\nType=Application\nName=Editor\nExec=/usr/bin/editor %F\n");
    tree.write(u"apps/org.example.DBusOnly.desktop"_qs, "[Desktop Entry]\nType=Application\nName=D\n");
    const auto at = [](const QString &id, const QString &name, const QString &path) {
        AppInfo a = app(id, name);
        a.url = QUrl::fromLocalFile(path);
        return a;
    };
    const QList<AppInfo> apps{
        at(u"org.example.Editor"_qs, u"编辑器"_qs, editor),
        at(u"org.example.DBusOnly"_qs, u"D"_qs, tree.path(u"apps/org.example.DBusOnly.desktop"_qs)),
        at(u"org.example.Gone"_qs, u"Gone"_qs, tree.path(u"apps/gone.desktop"_qs)),
        at(u"com.example.Mac"_qs, u"Mac"_qs, tree.mkdir(u"Mac.app"_qs)),
    };
    const QList<DesktopAppEntry> expected{
        {u"org.example.Editor"_qs, u"编辑器"_qs, u"/usr/bin/editor %F"_qs, editor},
    };
    QCOMPARE(AppEntries::read(apps), expected);
}

void TestProgramSupport::activationShowsTheWindow()
{
    GuiAppActivation activation;
    activation.activate(); // no window yet: nothing
    activation.hide();
    QWindow window;
    window.resize(200, 100);
    activation.setMainWindow(&window);
    activation.activate();
    QVERIFY(window.isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    activation.hide();
    QTRY_COMPARE(window.visibility(), QWindow::Minimized);
    activation.activate();
    QTRY_VERIFY(window.visibility() != QWindow::Minimized);
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestProgramSupport)
#include "tst_programsupport.moc"
