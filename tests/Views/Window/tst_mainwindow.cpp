#include "../App/appstatefixture.h"
#include "../support/applists.h"
#include "fake/fakeclipboard.h"
#include "fake/fakesystemsettings.h"
#include "launchpromptmodels.h"
#include "mainviewcontroller.h"
#include "preferences.h"
#include "tarnwickapp.h"
#include "viewsetup.h"
#include "viewtest.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

using namespace AppLists;

// The application entry with the launcher window as main.cpp makes it: one window at its first size, its content
// made anew at every showing, the delegate's state while it is on screen, the quit handshake through Ctrl+Q and the
// card, and the grid filled by the first scan.
class TestMainWindow : public QObject
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
    void gridFilledByTheFirstScan();

private:
    struct Harness
    {
        AppStateFixture fixture;
        QQmlEngine engine;
        FakeClipboard clipboard;
        FakeSystemSettings systemSettings;
        int terminations = 0;
        QSize firstSize;
        std::unique_ptr<TarnwickApp> app;

        Harness()
        {
            ViewSetup::prepareEngine(engine, nullptr);
            AppState &state = fixture.start();
            app = std::make_unique<TarnwickApp>(state, engine, QUrl(u"qrc:/Tarnwick/Views/Window/MainWindow.qml"_qs),
                                                [this] { ++terminations; });
            // Ctrl+Q reaches the delegate through the factory, as main.cpp wires it.
            auto *factory = new MainViewFactory(
                MainViewController::Services{state, fixture.activation, fixture.clock, fixture.clock,
                                             &fixture.iconCache, {}, [this] { app->delegate().requestQuit(); }},
                app.get());
            auto *prompts = new LaunchPromptModels(state, clipboard, systemSettings, app.get());
            app->setWindowProperties({{u"state"_qs, QVariant::fromValue(&state)},
                                      {u"factory"_qs, QVariant::fromValue(factory)},
                                      {u"prompts"_qs, QVariant::fromValue(prompts)}});
            QObject::connect(app.get(), &TarnwickApp::mainWindowMade, app.get(),
                             [this](QQuickWindow *window) { firstSize = window->size(); });
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
        // Sheets and overlays lie in the window's overlay layer, outside the content: search the whole window.
        QQuickItem *item(const QString &name) const
        {
            return ViewTest::itemIn(app->mainWindow()->contentItem(), name);
        }
        MainViewController *controller() const
        {
            QQuickItem *content = item(u"mainContent"_qs);
            QObject *view = content ? content->property("item").value<QObject *>() : nullptr;
            return view ? view->property("controller").value<MainViewController *>() : nullptr;
        }
    };

    std::unique_ptr<ViewTest> m_shots; // the screenshot folder and the program's look
};

void TestMainWindow::init()
{
    m_shots = std::make_unique<ViewTest>(u"tst_mainwindow"_qs);
}

void TestMainWindow::cleanup()
{
    m_shots.reset();
}

void TestMainWindow::defaultSize_data()
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

void TestMainWindow::defaultSize()
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

void TestMainWindow::oneWindowShownAgain()
{
    Harness h;
    QQuickWindow *window = h.show();
    QVERIFY2(window, qPrintable(h.app->windowError()));
    QCOMPARE(h.firstSize, QSize(1030, 763));
    QCOMPARE(h.app->delegate().state.data(), h.fixture.state.get());
    QCOMPARE(h.fixture.state->mainWindow.data(), window);
    const QPointer<MainViewController> firstContent = h.controller();
    QVERIFY(firstContent);

    window->close();
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(!h.app->delegate().state);
    QVERIFY(!h.fixture.state->mainWindow);
    QTRY_VERIFY(!firstContent); // the content goes with the showing

    // A second start's request, or any other call, shows the same window again: never a second one, with new content.
    QCOMPARE(h.show(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(h.app->delegate().state.data(), h.fixture.state.get());
    QCOMPARE(h.fixture.state->mainWindow.data(), window);
    QTRY_VERIFY(h.controller());
}

void TestMainWindow::closedWindowQuitsAtOnce()
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

void TestMainWindow::quitHandshake_data()
{
    QTest::addColumn<QString>("answer"); // an item to click, or a key
    QTest::addColumn<bool>("ends");
    QTest::newRow("仍要退出") << u"quitButton"_qs << true;
    QTest::newRow("继续自控") << u"keepButton"_qs << false;
    QTest::newRow("click beside the card") << u"scrim"_qs << false;
    QTest::newRow("Return") << u"Return"_qs << false;
    QTest::newRow("Escape") << u"Escape"_qs << false;
}

void TestMainWindow::quitHandshake()
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
    QQuickItem *card = nullptr;
    QTRY_VERIFY((card = h.item(u"card"_qs)) && card->isVisible());
    QTest::qWait(450); // the card's entrance
    window->grabWindow().save(m_shots->screenshotDir() + u"/quit-card.png"_qs);

    if (answer == u"Return"_qs) {
        QTest::keyClick(window, Qt::Key_Return);
    } else if (answer == u"Escape"_qs) {
        QTest::keyClick(window, Qt::Key_Escape);
    } else if (answer == u"scrim"_qs) {
        // The window's top-left corner lies on the scrim, far beside the card.
        QVERIFY(ViewTest::itemIn(card->parentItem(), u"scrim"_qs));
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(8, 8));
    } else {
        QQuickItem *target = ViewTest::itemIn(card, answer);
        QVERIFY2(target, qPrintable(answer));
        QTest::mouseClick(window, Qt::LeftButton, {}, ViewTest::centreOf(target).toPoint());
    }

    QCOMPARE(h.terminations, ends ? 1 : 0);
    QVERIFY(!h.fixture.state->showQuitConfirm());
    QVERIFY(!h.app->delegate().isTerminationPending());
    QTRY_VERIFY(!h.item(u"card"_qs));
}

void TestMainWindow::gridFilledByTheFirstScan()
{
    Harness h;
    QQuickWindow *window = h.show();
    QVERIFY(window);
    MainViewController *controller = h.controller();
    QVERIFY(controller);
    QCOMPARE(controller->pagedGrid()->apps()->count(), 0);

    h.fixture.finishScan({app(u"org.example.jia"_qs, u"甲"_qs), app(u"org.example.yi"_qs, u"乙"_qs),
                          app(u"org.example.bing"_qs, u"丙"_qs)});
    QTRY_COMPARE(controller->pagedGrid()->apps()->count(), 3);
    QTest::qWait(100);
    window->grabWindow().save(m_shots->screenshotDir() + u"/first-scan.png"_qs);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
