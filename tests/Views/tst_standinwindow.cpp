#include "../App/appstatefixture.h"
#include "../support/applists.h"
#include "preferences.h"
#include "standinwindowmodel.h"
#include "tarnwickapp.h"
#include "viewsetup.h"
#include "viewtest.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

using namespace AppLists;

// The application entry with the stand-in launcher window: one window at its first size, the delegate's state
// while it is on screen, the quit handshake through Ctrl+Q and the card, and the app count after the first scan.
class TestStandInWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void defaultSize_data();
    void defaultSize();
    void oneWindowShownAgain();
    void closedWindowQuitsAtOnce();
    void quitHandshake_data();
    void quitHandshake();
    void countAfterFirstScan();

private:
    struct Harness
    {
        AppStateFixture fixture;
        QQmlEngine engine;
        int terminations = 0;
        std::unique_ptr<TarnwickApp> app;
        StandInWindowModel *model = nullptr;

        Harness()
        {
            ViewSetup::prepareEngine(engine, nullptr);
            AppState &state = fixture.start();
            app = std::make_unique<TarnwickApp>(state, engine, QUrl(u"qrc:/Tarnwick/Views/StandInWindow.qml"_qs),
                                                [this] { ++terminations; });
            model = new StandInWindowModel(state, app->delegate(), app.get());
            app->setWindowProperties({{u"model"_qs, QVariant::fromValue(model)}});
        }
        QQuickWindow *show()
        {
            if (!app->showMainWindow())
                return nullptr;
            QQuickWindow *window = app->mainWindow();
            if (!QTest::qWaitForWindowExposed(window))
                return nullptr;
            return window;
        }
        QQuickItem *item(const QString &name) const
        {
            return app->mainWindow()->findChild<QQuickItem *>(name);
        }
        void click(const QString &name)
        {
            QQuickItem *target = item(name);
            QVERIFY2(target, qPrintable(name));
            const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
            QTest::mouseClick(app->mainWindow(), Qt::LeftButton, {}, centre.toPoint());
        }
    };

    std::unique_ptr<ViewTest> m_shots; // the screenshot folder and the program's look
};

void TestStandInWindow::init()
{
    m_shots = std::make_unique<ViewTest>(u"tst_standinwindow"_qs);
}

void TestStandInWindow::cleanup()
{
    m_shots.reset();
}

void TestStandInWindow::defaultSize_data()
{
    QTest::addColumn<QJsonValue>("columns");
    QTest::addColumn<QJsonValue>("rows");
    QTest::addColumn<QSize>("expected");
    const QJsonValue none(QJsonValue::Undefined);
    QTest::newRow("nothing stored") << none << none << QSize(1030, 763);
    QTest::newRow("12 by 8") << QJsonValue(12) << QJsonValue(8) << QSize(11 * 30 + 12 * 110 + 80, 7 * 20 + 8 * 114 + 247);
    QTest::newRow("5 by 2") << QJsonValue(5) << QJsonValue(2) << QSize(4 * 30 + 5 * 110 + 80, 20 + 2 * 114 + 247);
    QTest::newRow("out of range counts as 7 by 4") << QJsonValue(13) << QJsonValue(1) << QSize(1030, 763);
}

void TestStandInWindow::defaultSize()
{
    QFETCH(QJsonValue, columns);
    QFETCH(QJsonValue, rows);
    QFETCH(QSize, expected);
    MemoryPreferences preferences;
    if (!columns.isUndefined())
        preferences.setValue(u"gridPreferredColumns"_qs, columns);
    if (!rows.isUndefined())
        preferences.setValue(u"gridPreferredRows"_qs, rows);
    QCOMPARE(TarnwickApp::defaultWindowSize(preferences), expected);
    // The stored icon scale plays no part.
    preferences.setDouble(u"gridIconScale"_qs, 1.5);
    QCOMPARE(TarnwickApp::defaultWindowSize(preferences), expected);
}

void TestStandInWindow::oneWindowShownAgain()
{
    Harness h;
    QQuickWindow *window = h.show();
    QVERIFY2(window, qPrintable(h.app->windowError()));
    QCOMPARE(window->size(), QSize(1030, 763));
    QCOMPARE(h.app->delegate().state.data(), h.fixture.state.get());
    QCOMPARE(h.fixture.state->mainWindow.data(), window);

    window->close();
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(!h.app->delegate().state);
    QVERIFY(!h.fixture.state->mainWindow);

    // A second start's request, or any other call, shows the same window again: never a second one.
    QCOMPARE(h.show(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(h.app->delegate().state.data(), h.fixture.state.get());
}

void TestStandInWindow::closedWindowQuitsAtOnce()
{
    Harness h;
    QQuickWindow *window = h.show();
    QVERIFY(window);
    window->close();
    QTRY_VERIFY(!window->isVisible());
    h.app->delegate().requestQuit();
    QCOMPARE(h.terminations, 1);
    QVERIFY(!h.fixture.state->showQuitConfirm());
}

void TestStandInWindow::quitHandshake_data()
{
    QTest::addColumn<QString>("answer"); // an item to click, or a key
    QTest::addColumn<bool>("ends");
    QTest::newRow("仍要退出") << u"quitButton"_qs << true;
    QTest::newRow("继续自控") << u"keepButton"_qs << false;
    QTest::newRow("click beside the card") << u"quitScrim"_qs << false;
    QTest::newRow("Return") << u"Return"_qs << false;
    QTest::newRow("Escape") << u"Escape"_qs << false;
}

void TestStandInWindow::quitHandshake()
{
    QFETCH(QString, answer);
    QFETCH(bool, ends);
    Harness h;
    QQuickWindow *window = h.show();
    QVERIFY(window);
    const int activationsBefore = h.fixture.activation.activateCount();

    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(h.fixture.state->showQuitConfirm());
    QVERIFY(h.app->delegate().isTerminationPending());
    QCOMPARE(h.fixture.activation.activateCount(), activationsBefore + 1); // it comes to the front
    QCOMPARE(h.terminations, 0);
    QTRY_VERIFY(h.item(u"quitScrim"_qs)->isVisible());
    const QImage card = window->grabWindow();
    card.save(m_shots->screenshotDir() + u"/quit-card.png"_qs);

    if (answer == u"Return"_qs)
        QTest::keyClick(window, Qt::Key_Return);
    else if (answer == u"Escape"_qs)
        QTest::keyClick(window, Qt::Key_Escape);
    else
        h.click(answer);

    QCOMPARE(h.terminations, ends ? 1 : 0);
    QVERIFY(!h.fixture.state->showQuitConfirm());
    QVERIFY(!h.app->delegate().isTerminationPending());
    QTRY_VERIFY(!h.item(u"quitScrim"_qs)->isVisible());
}

void TestStandInWindow::countAfterFirstScan()
{
    Harness h;
    QQuickWindow *window = h.show();
    QVERIFY(window);
    QQuickItem *count = h.item(u"appCount"_qs);
    QVERIFY(count);
    QVERIFY(!count->isVisible());

    h.fixture.finishScan({app(u"org.example.jia"_qs, u"甲"_qs), app(u"org.example.yi"_qs, u"乙"_qs),
                          app(u"org.example.bing"_qs, u"丙"_qs)});
    QTRY_VERIFY(count->isVisible());
    QCOMPARE(count->property("text").toString(), u"3"_qs);
    window->grabWindow().save(m_shots->screenshotDir() + u"/count.png"_qs);
}

QTEST_MAIN(TestStandInWindow)
#include "tst_standinwindow.moc"
