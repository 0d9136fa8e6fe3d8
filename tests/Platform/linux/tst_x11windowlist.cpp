#include "fakex11display.h"
#include "linux/x11windowlist.h"
#include "linux/xcbdisplay.h"

#include <QTest>

// The window list read from EWMH properties of an X server in memory: what counts as on screen, sizes in points,
// and the windows that are left out.
class TestX11WindowList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windows();
    void sizesInPoints_data();
    void sizesInPoints();
    void scaleFromResources_data();
    void scaleFromResources();
    void malformedClientListGivesNothing_data();
    void malformedClientListGivesNothing();
    void activeWindow();
    void iconifyNeverReachesTheProgramItself();
    void withoutADisplayThereIsNothing();
};

void TestX11WindowList::windows()
{
    FakeX11Display display;
    display.addClient(0x10, 100);                     // plain, viewable
    display.addClient(0x11, 100, false);              // unmapped (iconified, or on another desktop)
    display.addClient(0x12, 200);                     // viewable but hidden
    display.setWords(0x12, "_NET_WM_STATE", FakeX11Display::atomType,
                     {display.atom("_NET_WM_STATE_MAXIMIZED_VERT"), display.atom("_NET_WM_STATE_HIDDEN")});
    display.addClient(0x13, 0);                       // no owner: left out
    display.addClient(0x14, 300);
    display.setRaw(0x14, "_NET_WM_PID", X11Property{FakeX11Display::cardinalType, 8, "abcd"}); // wrong format
    display.addClient(0x15, 400);
    display.setWords(0x15, "_NET_WM_STATE", FakeX11Display::atomType, {display.atom("_NET_WM_STATE_ABOVE")});
    display.addClient(0x16, 500);
    display.setState(0x16, true, 0, 0);
    display.setState(0x18, true, 1, 1); // a stray state for a window that is not listed
    // A window that vanished between reading the list and asking for its state: left out.
    display.addClient(0x19, 700);
    display.removeState(0x19);
    X11WindowList list(&display);
    const auto windows = list.allWindows();

    const QList<WindowInfo> expected{{0x10, 100, true, 800, 600},  {0x11, 100, false, 800, 600},
                                     {0x12, 200, false, 800, 600}, {0x15, 400, true, 800, 600},
                                     {0x16, 500, true, 0, 0}};
    QCOMPARE(windows, expected);
}

void TestX11WindowList::sizesInPoints_data()
{
    QTest::addColumn<QByteArray>("resources");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("points");
    QTest::newRow("no resources") << QByteArray() << 199 << 199;
    QTest::newRow("double scale, even") << QByteArray("Xft.dpi:\t192\n") << 200 << 100;
    QTest::newRow("double scale rounds down") << QByteArray("Xft.dpi:\t192\n") << 199 << 99;
    QTest::newRow("one and a half") << QByteArray("Xft.antialias:\t1\nXft.dpi:\t144\n") << 300 << 200;
}

void TestX11WindowList::sizesInPoints()
{
    QFETCH(QByteArray, resources);
    QFETCH(int, pixels);
    QFETCH(int, points);
    FakeX11Display display;
    display.addClient(0x10, 100, true, pixels, pixels);
    if (!resources.isEmpty())
        display.setRaw(FakeX11Display::root, "RESOURCE_MANAGER", X11Property{FakeX11Display::stringType, 8, resources});
    const auto windows = X11WindowList(&display).allWindows();
    QCOMPARE(windows.size(), 1);
    QCOMPARE(windows.first().width, points);
    QCOMPARE(windows.first().height, points);
}

void TestX11WindowList::scaleFromResources_data()
{
    QTest::addColumn<QByteArray>("resources");
    QTest::addColumn<double>("scale");
    QTest::newRow("absent") << QByteArray("Xcursor.size:\t24\n") << 1.0;
    QTest::newRow("96 dpi") << QByteArray("Xft.dpi:\t96") << 1.0;
    QTest::newRow("192 dpi") << QByteArray("Xft.dpi: 192\n") << 2.0;
    QTest::newRow("not a number") << QByteArray("Xft.dpi:\tlarge\n") << 1.0;
    QTest::newRow("absurdly small") << QByteArray("Xft.dpi:\t1\n") << 1.0;
    QTest::newRow("a longer key is another key") << QByteArray("Xft.dpiX:\t192\n") << 1.0;
}

void TestX11WindowList::scaleFromResources()
{
    QFETCH(QByteArray, resources);
    QFETCH(double, scale);
    QCOMPARE(X11WindowList::scaleFromResources(resources), scale);
}

void TestX11WindowList::malformedClientListGivesNothing_data()
{
    QTest::addColumn<X11Property>("list");
    QTest::newRow("wrong type") << X11Property{FakeX11Display::cardinalType, 32, QByteArray(4, '\1')};
    QTest::newRow("wrong format") << X11Property{FakeX11Display::windowType, 8, QByteArray("abcd")};
    QTest::newRow("ragged length") << X11Property{FakeX11Display::windowType, 32, QByteArray(6, '\1')};
    QTest::newRow("empty") << X11Property{FakeX11Display::windowType, 32, QByteArray()};
}

void TestX11WindowList::malformedClientListGivesNothing()
{
    QFETCH(X11Property, list);
    FakeX11Display display;
    display.addClient(0x01010101, 100);
    display.setRaw(FakeX11Display::root, "_NET_CLIENT_LIST", list);
    QVERIFY(X11WindowList(&display).allWindows().isEmpty());
}

void TestX11WindowList::activeWindow()
{
    FakeX11Display display;
    display.addClient(0x10, 100);
    display.addClient(0x11, 0);
    X11WindowList list(&display);
    QVERIFY(!list.activeWindow().has_value());
    display.activate(0x10);
    QCOMPARE(list.activeWindow()->ownerPID, 100);
    display.activate(0x11);
    QVERIFY(!list.activeWindow().has_value());
    display.activate(0);
    QVERIFY(!list.activeWindow().has_value());
}

void TestX11WindowList::iconifyNeverReachesTheProgramItself()
{
    FakeX11Display display;
    display.addClient(0x10, 100);
    display.addClient(0x20, quint32(QCoreApplication::applicationPid()));
    X11WindowList list(&display);
    list.iconifyWindowsOf({100, QCoreApplication::applicationPid()});
    QCOMPARE(display.messages().size(), 1);
    QCOMPARE(display.messages().first().window, 0x10u);
    list.iconifyWindowsOf({});
    list.iconifyWindowsOf({555});
    QCOMPARE(display.messages().size(), 1);
}

void TestX11WindowList::withoutADisplayThereIsNothing()
{
    // The tests run without $DISPLAY.
    XcbDisplay xcb;
    QVERIFY(!xcb.isConnected());
    QCOMPARE(xcb.atom("_NET_CLIENT_LIST"), 0u);
    X11WindowList list(&xcb);
    QVERIFY(list.allWindows().isEmpty());
    QVERIFY(!list.activeWindow().has_value());
    list.iconifyWindowsOf({100});
    XcbDisplay named(":4711"); // no server there
    QVERIFY(!named.isConnected());
    QVERIFY(X11WindowList(nullptr).allWindows().isEmpty());
}

QTEST_GUILESS_MAIN(TestX11WindowList)
#include "tst_x11windowlist.moc"
