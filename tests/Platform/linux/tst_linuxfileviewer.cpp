#include "linux/linuxfileviewer.h"
#include "privatebus.h"

#include <QTest>

// A file manager of the test's own, on the test's own bus.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;
    QStringList startupIDs;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupID)
    {
        shown.append(uris);
        startupIDs.append(startupID);
    }
};

// Revealing through the file manager interface, and the xdg-open fallback when nothing offers it.
class TestLinuxFileViewer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void urisArriveAtTheFileManager();
    void withoutAFileManagerTheFolderOpens();
    void withoutABusTheFolderOpens();
    void containingFolder_data();
    void containingFolder();
};

namespace {
struct Started
{
    QString program;
    QStringList arguments;
};
} // namespace

void TestLinuxFileViewer::urisArriveAtTheFileManager()
{
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    auto server = bus.connect(u"server"_qs);
    FakeFileManager manager;
    QVERIFY(server.registerObject(u"/org/freedesktop/FileManager1"_qs, &manager, QDBusConnection::ExportAllSlots));
    QVERIFY(server.registerService(u"org.freedesktop.FileManager1"_qs));

    QList<Started> started;
    LinuxFileViewer viewer(bus.connect(u"client"_qs),
                           [&](const QString &p, const QStringList &a) { started.append({p, a}); });
    viewer.revealItems({QUrl::fromLocalFile(u"/usr/share/applications/文本 编辑器.desktop"_qs)});
    QTRY_COMPARE_WITH_TIMEOUT(manager.shown.size(), 1, 5000);
    QCOMPARE(manager.shown.first(),
             QStringList{u"file:///usr/share/applications/%E6%96%87%E6%9C%AC%20%E7%BC%96%E8%BE%91%E5%99%A8.desktop"_qs});
    QCOMPARE(manager.startupIDs.first(), QString());
    QTest::qWait(50);
    QVERIFY(started.isEmpty());
}

void TestLinuxFileViewer::withoutAFileManagerTheFolderOpens()
{
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    QList<Started> started;
    LinuxFileViewer viewer(bus.connect(u"client"_qs),
                           [&](const QString &p, const QStringList &a) { started.append({p, a}); });
    viewer.revealItems({QUrl::fromLocalFile(u"/opt/应用/calc.desktop"_qs)});
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 5000);
    QCOMPARE(started.first().program, u"xdg-open"_qs);
    QCOMPARE(started.first().arguments, QStringList{u"file:///opt/%E5%BA%94%E7%94%A8"_qs});
}

void TestLinuxFileViewer::withoutABusTheFolderOpens()
{
    QList<Started> started;
    LinuxFileViewer viewer(QDBusConnection(u"nothing"_qs),
                           [&](const QString &p, const QStringList &a) { started.append({p, a}); });
    viewer.revealItems({QUrl::fromLocalFile(u"/opt/apps/Calc.app"_qs)});
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 5000);
    QCOMPARE(started.first().arguments, QStringList{u"file:///opt/apps"_qs});
    viewer.revealItems({});
    QTest::qWait(20);
    QCOMPARE(started.size(), 1);
}

void TestLinuxFileViewer::containingFolder_data()
{
    QTest::addColumn<QUrl>("item");
    QTest::addColumn<QUrl>("folder");
    QTest::newRow("desktop entry") << QUrl::fromLocalFile(u"/usr/share/applications/a.desktop"_qs)
                                   << QUrl::fromLocalFile(u"/usr/share/applications"_qs);
    QTest::newRow("bundle folder with a slash") << QUrl(u"file:///Applications/Calc.app/"_qs)
                                                << QUrl::fromLocalFile(u"/Applications"_qs);
    QTest::newRow("not a file") << QUrl(u"https://example.org/a"_qs) << QUrl();
}

void TestLinuxFileViewer::containingFolder()
{
    QFETCH(QUrl, item);
    QFETCH(QUrl, folder);
    QCOMPARE(LinuxFileViewer::containingFolder(item), folder);
}

QTEST_GUILESS_MAIN(TestLinuxFileViewer)
#include "tst_linuxfileviewer.moc"
