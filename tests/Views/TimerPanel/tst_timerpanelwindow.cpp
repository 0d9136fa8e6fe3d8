#include "floatingtimerpanelcontroller.h"
#include "floatingwindowsetup.h"
#include "focussessionmanager.h"
#include "iconsource.h"
#include "theme.h"
#include "timerpanelgeometry.h"
#include "timerpanelwindow.h"
#include "viewsetup.h"
#include "viewtest.h"

#include "../App/appstatefixture.h"
#include "fixtureapps.h"

#include <QPainter>
#include <QQmlEngine>
#include <QQuickItem>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// The fixture apps' pictures as their icons, found by bundle identifier.
class PictureIconSource : public IconSource
{
public:
    QHash<QString, QString> locations;
    std::optional<QImage> iconForPath(const QString &path, int size) const override
    {
        QImage image(path);
        if (image.isNull())
            return std::nullopt;
        return image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    std::optional<QString> locationOfApplication(const QString &bundleID) const override
    {
        const auto it = locations.constFind(bundleID);
        return it == locations.cend() ? std::nullopt : std::optional<QString>(*it);
    }
    QImage genericApplicationIcon(int size) const override
    {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::gray);
        return image;
    }
};

} // namespace

// The floating timer panel's real window over the real controller: its flags, its lines as drawn, the close buttons
// and the drag with real mouse events, and screenshots (in Chinese) of what a user sees.
class TestTimerPanelWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void floatingWindow();
    void linesAsDrawn();
    void closeButtonHidesItsLine();
    void dragMovesAndStopsAtTheTopLimit();
    void dragFromACloseButtonHidesNothing();
    void tooltips();
    void longTextsStayInsideTheirLine();

private:
    std::unique_ptr<ViewTest> m_shots;
    std::unique_ptr<AppStateFixture> m_f;
    QTemporaryDir m_iconDir;
    PictureIconSource m_icons;
    ManualExecutor m_iconExecutor;
    std::unique_ptr<IconCache> m_iconCache;
    std::unique_ptr<QQmlEngine> m_engine;
    FloatingWindowSetup m_setup;
    std::unique_ptr<FloatingTimerPanelController> m_controller;
    TimerPanelWindow *m_window = nullptr;
    QList<AppInfo> m_apps;
    QRect m_area;

    FocusSession begin(int app, Duration length, std::optional<QString> note = std::nullopt);
    AppState::GraceOverride grace(int app, Duration length);
    QQuickItem *line(int row) const;
    QQuickItem *in(QQuickItem *line, const QString &name) const;
    QPointF centre(QQuickItem *item) const;
    void waitForLayout();
    void save(const QString &name);
};

void TestTimerPanelWindow::init()
{
    m_shots = std::make_unique<ViewTest>(u"tst_timerpanelwindow"_qs);
    m_f = std::make_unique<AppStateFixture>();
    m_f->start();
    m_apps = FixtureApps::make(8, m_iconDir.path());
    for (int i = 0; i < m_apps.size(); ++i)
        m_icons.locations.insert(m_apps.at(i).bundleID, FixtureApps::iconPath(m_iconDir.path(), i));
    m_iconCache = std::make_unique<IconCache>(m_icons, m_iconExecutor);
    m_engine = std::make_unique<QQmlEngine>();
    ViewSetup::prepareEngine(*m_engine, m_iconCache.get());
    m_area = QGuiApplication::primaryScreen()->availableGeometry();
    m_window = nullptr;
    m_controller = std::make_unique<FloatingTimerPanelController>(
        m_f->state->sessionManager(), *m_f->state,
        [this](FloatingTimerPanelController &c) -> std::unique_ptr<TimerPanelSurface> {
            QString error;
            auto window = TimerPanelWindow::make(*m_engine, c.rows(), m_setup, &error);
            if (!window)
                qWarning("%s", qPrintable(error));
            m_window = window.get();
            return window;
        },
        [this] { return std::optional<QRect>(m_area); });
}

void TestTimerPanelWindow::cleanup()
{
    m_controller.reset();
    m_engine.reset();
    m_iconCache.reset();
    m_f.reset();
    m_shots.reset();
}

FocusSession TestTimerPanelWindow::begin(int app, Duration length, std::optional<QString> note)
{
    FocusSession s;
    s.bundleID = m_apps.at(app).bundleID;
    s.appName = m_apps.at(app).name;
    s.taskNote = std::move(note);
    s.deadline = m_f->clock.now() + length;
    m_f->state->sessionManager().begin(s);
    return s;
}

AppState::GraceOverride TestTimerPanelWindow::grace(int app, Duration length)
{
    return {m_apps.at(app).bundleID, m_apps.at(app).name, m_f->clock.now() + length};
}

QQuickItem *TestTimerPanelWindow::line(int row) const
{
    const auto &lines = m_controller->rows().lines();
    if (row >= lines.size())
        return nullptr;
    return ViewTest::itemIn(m_window->content(), u"line:"_qs + lines.at(row).key);
}

QQuickItem *TestTimerPanelWindow::in(QQuickItem *line, const QString &name) const
{
    return line ? ViewTest::itemIn(line, name) : nullptr;
}

QPointF TestTimerPanelWindow::centre(QQuickItem *item) const
{
    return ViewTest::centreOf(item);
}

void TestTimerPanelWindow::waitForLayout()
{
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // The window has taken its content's size once the queued refit ran after the layout.
    QTRY_COMPARE(m_window->size(), m_window->contentSize());
    for (int row = 0; row < m_controller->rows().count(); ++row)
        QTRY_COMPARE(in(line(row), u"icon"_qs)->property("status").toInt(), 1); // Image.Ready
}

// The panel over a plain desktop, so that its rounded corners and border show.
void TestTimerPanelWindow::save(const QString &name)
{
    QTest::qWait(50);
    const QImage panel = m_window->grabWindow();
    const int margin = 24;
    QImage shot(panel.size() / panel.devicePixelRatio() + QSize(2 * margin, 2 * margin), QImage::Format_RGB32);
    QPainter p(&shot);
    QLinearGradient desk(0, 0, shot.width(), shot.height());
    desk.setColorAt(0, QColor(88, 120, 160));
    desk.setColorAt(1, QColor(150, 110, 150));
    p.fillRect(shot.rect(), desk);
    p.drawImage(QRectF(margin, margin, panel.width() / panel.devicePixelRatio(), panel.height() / panel.devicePixelRatio()),
                panel);
    p.end();
    QVERIFY(shot.save(m_shots->screenshotDir() + u'/' + name + u".png"_qs));
}

void TestTimerPanelWindow::floatingWindow()
{
    begin(0, 25min, u"写完第三章"_qs);
    waitForLayout();
    const Qt::WindowFlags flags = m_window->flags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(!flags.testFlag(Qt::WindowTransparentForInput));
    QVERIFY(!m_window->transientParent());
    QCOMPARE(m_window->color(), QColor(Qt::transparent));
    // First place, then the content's size with the bottom-left corner kept.
    const QPoint first = TimerPanelGeometry::firstTopLeft(m_area);
    QCOMPARE(m_window->x(), first.x());
    QCOMPARE(m_window->y() + m_window->height(), first.y() + TimerPanelGeometry::initialSize.height());
    QCOMPARE(m_window->width(), 264);

    // Hidden with its last line, and shown again at the same place.
    const QRect frame = m_window->geometry();
    m_controller->rows().close(0);
    QTRY_VERIFY(!m_window->isVisible());
    begin(1, 10min);
    QTRY_VERIFY(m_window->isVisible());
    QTRY_COMPARE(m_window->geometry(), frame);
}

void TestTimerPanelWindow::linesAsDrawn()
{
    begin(1, 25min, u"写完第三章的初稿"_qs);
    begin(2, 48min);
    m_f->state->setGraceOverrides({grace(3, 12min + 30s), grace(4, 3h)});
    waitForLayout();
    QCOMPARE(m_controller->rows().count(), 4);
    auto text = [&](int row, const QString &name) { return in(line(row), name)->property("text").toString(); };
    QCOMPARE(text(0, u"title"_qs), u"写完第三章的初稿"_qs);
    QCOMPARE(text(0, u"subtitle"_qs), u"网易云音乐"_qs);
    QCOMPARE(text(1, u"title"_qs), u"哔哩哔哩"_qs);
    QCOMPARE(text(1, u"subtitle"_qs), u"到点自动退出"_qs);
    QCOMPARE(text(2, u"subtitle"_qs), u"忽略中"_qs);
    QCOMPARE(text(2, u"time"_qs), u"12:30"_qs);
    QVERIFY(text(3, u"subtitle"_qs).startsWith(u"忽略至 "_qs));
    QVERIFY(!in(line(3), u"time"_qs)->isVisible());
    // Without a countdown the end time has room: it is not cut.
    QVERIFY(!in(line(3), u"subtitle"_qs)->property("truncated").toBool());
    // A divider above every line but the first; the lines stack without gaps inside the 12-point padding.
    QVERIFY(!in(line(0), u"divider"_qs)->isVisible());
    for (int row = 1; row < 4; ++row)
        QVERIFY(in(line(row), u"divider"_qs)->isVisible());
    QCOMPARE(m_window->width(), 264);
    QCOMPARE(line(0)->mapToScene({0, 0}), QPointF(12, 12));
    save(u"two-sessions-two-overrides"_qs);

    // Paused and running out.
    const FocusSession paused = begin(5, 40min, u"背单词"_qs);
    m_f->clock.advanceBy(2s);
    m_f->state->sessionManager().pauseSessions(paused.bundleID);
    begin(6, 100s);
    m_f->clock.advanceBy(1s);
    waitForLayout();
    QCOMPARE(m_controller->rows().count(), 6);
    QVERIFY(in(line(2), u"pause"_qs)->isVisible());
    QCOMPARE(in(line(2), u"icon"_qs)->opacity(), 0.45);
    QCOMPARE(text(2, u"time"_qs), u"39:58"_qs);
    QCOMPARE(in(line(2), u"time"_qs)->property("color").value<QColor>(), QColor(166, 166, 171));
    QCOMPARE(text(3, u"time"_qs), u"01:39"_qs);
    QCOMPARE(in(line(3), u"time"_qs)->property("color").value<QColor>(), Theme::danger());
    QVERIFY(!in(line(3), u"pause"_qs)->isVisible());
    save(u"paused-and-under-two-minutes"_qs);
}

void TestTimerPanelWindow::closeButtonHidesItsLine()
{
    const FocusSession first = begin(1, 25min, u"写完第三章"_qs);
    begin(2, 48min);
    m_f->state->setGraceOverrides({grace(3, 12min)});
    waitForLayout();
    const int bottom = m_window->y() + m_window->height();
    const int heightBefore = m_window->height();

    QCOMPARE(in(line(0), u"close"_qs)->size(), QSizeF(22, 22));
    QTest::mouseClick(m_window, Qt::LeftButton, {}, centre(in(line(0), u"close"_qs)).toPoint());
    QTRY_COMPARE(m_controller->rows().count(), 2);
    QCOMPARE(m_controller->hiddenSessionIDs(), QSet<QUuid>{first.id});
    QCOMPARE(m_f->state->sessionManager().sessions().size(), 2); // it runs on
    QTRY_VERIFY(m_window->height() < heightBefore);
    waitForLayout();
    QCOMPARE(m_window->y() + m_window->height(), bottom);
    save(u"after-hiding-a-line"_qs);

    // The override's line: the override stays.
    QTest::mouseClick(m_window, Qt::LeftButton, {}, centre(in(line(1), u"close"_qs)).toPoint());
    QTRY_COMPARE(m_controller->rows().count(), 1);
    QCOMPARE(m_f->state->graceOverrides().size(), 1);
    QCOMPARE(m_controller->hiddenGraceKeys().size(), 1);
}

void TestTimerPanelWindow::dragMovesAndStopsAtTheTopLimit()
{
    begin(1, 25min, u"写完第三章"_qs);
    begin(2, 48min);
    waitForLayout();
    const QPoint start = m_window->position();
    // Grab the panel by its first line's title.
    const QPoint grabAt = centre(in(line(0), u"title"_qs)).toPoint();
    const QPoint grabGlobal = start + grabAt;
    auto moveTo = [&](QPoint global) { QTest::mouseMove(m_window, global - m_window->position()); };

    QTest::mousePress(m_window, Qt::LeftButton, {}, grabAt);
    moveTo(grabGlobal + QPoint(-200, 150));
    QTRY_COMPARE(m_window->position(), start + QPoint(-200, 150));
    moveTo(grabGlobal + QPoint(-300, 100));
    QTRY_COMPARE(m_window->position(), start + QPoint(-300, 100));
    // Far up: the top edge stops 12 above the available area.
    moveTo(QPoint(grabGlobal.x() - 300, m_area.y() - 400));
    QTRY_COMPARE(m_window->position(), QPoint(start.x() - 300, m_area.y() - 12));
    QTest::mouseRelease(m_window, Qt::LeftButton, {}, grabGlobal + QPoint(-300, 0) - m_window->position());
    QCOMPARE(m_controller->rows().count(), 2);
    save(u"dragged-to-the-top-limit"_qs);
    // On a real X server, also the top of the screen with the panel in it: 12 of it stand above the screen.
    if (QGuiApplication::platformName() == u"xcb"_qs) {
        QTest::qWait(100);
        const QRect region(m_window->x() - 24, m_area.y(), m_window->width() + 48, m_window->height() + 24);
        const QPixmap screen = m_window->screen()->grabWindow(0, region.x(), region.y(), region.width(),
                                                              region.height());
        QVERIFY(screen.save(m_shots->screenshotDir() + u"/dragged-to-the-top-limit-on-screen.png"_qs));
    }

    // A new line keeps the bottom edge where the drag left it.
    const int bottom = m_window->y() + m_window->height();
    begin(3, 5min);
    QTRY_COMPARE(m_window->y() + m_window->height(), bottom);
    waitForLayout();
    QCOMPARE(m_window->y() + m_window->height(), bottom);
}

void TestTimerPanelWindow::dragFromACloseButtonHidesNothing()
{
    begin(1, 25min);
    begin(2, 48min);
    waitForLayout();
    const QPoint start = m_window->position();
    const QPoint at = centre(in(line(0), u"close"_qs)).toPoint();
    QTest::mousePress(m_window, Qt::LeftButton, {}, at);
    QTest::mouseMove(m_window, at + QPoint(-40, 30));
    QTRY_COMPARE(m_window->position(), start + QPoint(-40, 30));
    // The pointer stays on the button as the window follows it; the release still clicks nothing.
    QTest::mouseRelease(m_window, Qt::LeftButton, {}, at);
    QTest::qWait(20);
    QCOMPARE(m_controller->rows().count(), 2);
    QVERIFY(m_controller->hiddenSessionIDs().isEmpty());

    // A plain click on it afterwards still works.
    QTest::mouseClick(m_window, Qt::LeftButton, {}, centre(in(line(0), u"close"_qs)).toPoint());
    QTRY_COMPARE(m_controller->rows().count(), 1);
}

void TestTimerPanelWindow::tooltips()
{
    begin(1, 25min);
    m_f->state->setGraceOverrides({grace(3, 12min)});
    waitForLayout();
    QCOMPARE(in(line(0), u"close"_qs)->property("ToolTip").isValid(), false); // attached, not a property
    const auto tip = [&](int row) {
        QQuickItem *close = in(line(row), u"close"_qs);
        QObject *attached = nullptr;
        for (QObject *child : close->children()) {
            if (QByteArray(child->metaObject()->className()).contains("ToolTipAttached"))
                attached = child;
        }
        return attached ? attached->property("text").toString() : QString();
    };
    QCOMPARE(tip(0), u"隐藏此条（计时继续）"_qs);
    QCOMPARE(tip(1), u"隐藏此条（忽略照常生效）"_qs);
    QTest::mouseMove(m_window, centre(in(line(1), u"close"_qs)).toPoint());
    QTest::qWait(900);
    save(u"tooltip-on-an-override"_qs);
}

// Long notes and names, Chinese and Latin, at the panel's fixed width: each text keeps to its line, ends in whole
// glyphs with an ellipsis, and leaves the flexible space before the time; nothing reaches past the close button.
void TestTimerPanelWindow::longTextsStayInsideTheirLine()
{
    auto session = [&](int app, const QString &name, Duration length, std::optional<QString> note) {
        FocusSession s;
        s.bundleID = m_apps.at(app).bundleID;
        s.appName = name;
        s.taskNote = std::move(note);
        s.deadline = m_f->clock.now() + length;
        m_f->state->sessionManager().begin(s);
        return s;
    };
    session(0, u"网易云音乐"_qs, 25min, u"整理第三季度的销售数据并写成报告"_qs);
    session(1, u"网易邮箱大师专业版客户端"_qs, 150min, std::nullopt); // three-digit minutes
    session(2, u"Visual Studio Code"_qs, 48min, u"Refactor the synchronisation layer"_qs);
    const FocusSession paused = session(5, u"腾讯会议国际版"_qs, 40min, u"背完第七单元的全部单词"_qs);
    m_f->state->sessionManager().pauseSessions(paused.bundleID);
    m_f->state->setGraceOverrides({{m_apps.at(3).bundleID, u"钉钉工作台企业专属版"_qs, m_f->clock.now() + 12min},
                                   {m_apps.at(4).bundleID, u"企业微信（政务版）客户端"_qs, m_f->clock.now() + 3h}});
    waitForLayout();
    QCOMPARE(m_controller->rows().count(), 6);
    QCOMPARE(m_window->width(), 264);

    for (int row = 0; row < 6; ++row) {
        QQuickItem *l = line(row);
        QVERIFY(l);
        const QString where = u"row "_qs + QString::number(row);
        // The first item after the texts: the pause symbol, else the time, else the close button.
        QQuickItem *next = nullptr;
        for (const QString &name : {u"pause"_qs, u"time"_qs, u"close"_qs}) {
            QQuickItem *item = in(l, name);
            if (item->isVisible()) {
                next = item;
                break;
            }
        }
        const double nextLeft = next->mapToItem(l, QPointF(0, 0)).x();
        for (const QString &name : {u"title"_qs, u"subtitle"_qs}) {
            QQuickItem *text = in(l, name);
            const double left = text->mapToItem(l, QPointF(0, 0)).x();
            const double drawn = text->property("contentWidth").toDouble();
            QVERIFY2(drawn <= text->width() + 0.01, qPrintable(where + u' ' + name));
            // Spacing 10, the flexible space of at least 8, spacing 10.
            QVERIFY2(left + text->width() + 28 <= nextLeft + 0.01, qPrintable(where + u' ' + name));
        }
        QQuickItem *close = in(l, u"close"_qs);
        QVERIFY2(close->mapToItem(l, QPointF(close->width(), 0)).x() <= l->width() - 4 + 0.01, qPrintable(where));
        QQuickItem *time = in(l, u"time"_qs);
        if (time->isVisible())
            QVERIFY2(time->property("contentWidth").toDouble() <= time->width() + 0.01, qPrintable(where));
    }
    auto truncated = [&](int row, const QString &name) { return in(line(row), name)->property("truncated").toBool(); };
    QVERIFY(truncated(0, u"title"_qs));
    QVERIFY(truncated(1, u"title"_qs));
    QVERIFY(truncated(2, u"title"_qs));
    QCOMPARE(in(line(1), u"time"_qs)->property("text").toString(), u"150:00"_qs);
    // The end time of an override beyond the hour is read whole, however long the app's name.
    QVERIFY(!truncated(5, u"subtitle"_qs));
    save(u"long-notes-and-names"_qs);
}

QTEST_MAIN(TestTimerPanelWindow)
#include "tst_timerpanelwindow.moc"
