#include "fake/virtualclock.h"
#include "floatingtoastcontroller.h"
#include "floatingwindowloader.h"
#include "notificationguidemodel.h"
#include "floatingwindowsetup.h"
#include "viewsetup.h"
#include "viewtest.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

// The toast's window: made once as a floating window that lets clicks through and never takes the focus, placed
// where the controller says, a long message cut inside the 300-point panel, and gone once the controller hides it.
class TestToastWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void floatingFlags_data();
    void floatingFlags();
    void showsPlacesAndHides();
};

void TestToastWindow::floatingFlags_data()
{
    QTest::addColumn<bool>("passClicks");
    QTest::newRow("toast: clicks pass") << true;
    QTest::newRow("timer panel: clickable") << false;
}

void TestToastWindow::floatingFlags()
{
    QFETCH(bool, passClicks);
    const Qt::WindowFlags flags = FloatingWindowSetup::flags(passClicks);
    for (Qt::WindowType f : {Qt::FramelessWindowHint, Qt::WindowStaysOnTopHint, Qt::WindowDoesNotAcceptFocus})
        QVERIFY(flags.testFlag(f));
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(flags.testFlag(Qt::WindowTransparentForInput), passClicks);
}

void TestToastWindow::showsPlacesAndHides()
{
    ViewTest shots(u"tst_toastwindow"_qs);
    VirtualClock clock;
    QQmlEngine engine;
    ViewSetup::prepareEngine(engine, nullptr);
    const FloatingWindowSetup setup;
    QString error;
    int made = 0;
    QQuickWindow *window = nullptr;
    FloatingToastController toast(
        clock,
        [&](FloatingToastController &controller) -> std::unique_ptr<QObject> {
            ++made;
            auto w = FloatingWindowLoader::load(engine, QUrl(u"qrc:/Tarnwick/Views/Window/ToastWindow.qml"_qs),
                                                {{u"controller"_qs, QVariant::fromValue(&controller)}}, setup, true,
                                                &error);
            window = w.get();
            return w;
        },
        [] { return std::optional<QRect>(QRect(0, 0, 1280, 800)); });

    toast.show(u"「网易云音乐」已在程序坞常驻，这条消息比面板宽得多，会在末尾被截断"_qs);
    QVERIFY2(window, qPrintable(error));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->geometry(), QRect(490, 800 - 84, 300, 60));
    QVERIFY(window->flags().testFlag(Qt::WindowTransparentForInput));
    QVERIFY(window->flags().testFlag(Qt::WindowDoesNotAcceptFocus));

    QQuickItem *content = window->contentItem()->childItems().first();
    QTRY_COMPARE(content->opacity(), 1.0); // the fade-in
    const QImage image = window->grabWindow();
    image.save(shots.screenshotDir() + u"/long-message.png"_qs);
    QCOMPARE(image.size() / image.devicePixelRatio(), QSize(300, 60));
    // The capsule is 36 high and as wide as the panel; the text is cut to fit.
    auto *capsule = window->findChild<QQuickItem *>(u"capsule"_qs);
    auto *label = window->findChild<QQuickItem *>(u"message"_qs);
    QVERIFY(capsule && label);
    QCOMPARE(capsule->height(), 36.0);
    QCOMPARE(capsule->width(), 300.0);
    QVERIFY(label->property("truncated").toBool());

    toast.show(u"短消息"_qs);
    QCOMPARE(made, 1);
    QTRY_COMPARE(content->opacity(), 1.0);
    window->grabWindow().save(shots.screenshotDir() + u"/short-message.png"_qs);
    QVERIFY(!label->property("truncated").toBool());
    QCOMPARE(capsule->width(), label->width() + 36);
    QVERIFY(capsule->width() < 300);

    // The program's own longest fixed message, the one for notification settings that cannot be opened, fits whole.
    toast.show(QString::fromUtf16(NotificationGuideModel::refusedText));
    QTRY_COMPARE(content->opacity(), 1.0);
    QVERIFY(!label->property("truncated").toBool());

    clock.advanceBy(2100ms);
    QVERIFY(!toast.isShown());
    QTRY_VERIFY(!window->isVisible());
}

QTEST_MAIN(TestToastWindow)
#include "tst_toastwindow.moc"
