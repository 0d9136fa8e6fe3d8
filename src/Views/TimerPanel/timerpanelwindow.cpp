#include "timerpanelwindow.h"

#include "floatingwindowsetup.h"
#include "timerpanelgeometry.h"
#include "timerpanelrowsmodel.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QScreen>

namespace {

const QUrl contentUrl(QStringLiteral("qrc:/Tarnwick/Views/TimerPanel/TimerPanelContent.qml"));

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

TimerPanelWindow::TimerPanelWindow()
{
    setColor(Qt::transparent);
    setTitle(QStringLiteral("Tarnwick"));
}

TimerPanelWindow::~TimerPanelWindow()
{
    delete m_content.data();
}

std::unique_ptr<TimerPanelWindow> TimerPanelWindow::make(QQmlEngine &engine, TimerPanelRowsModel &rows,
                                                         const FloatingWindowSetup &setup, QString *error)
{
    QQmlComponent component(&engine, contentUrl);
    std::unique_ptr<QObject> made(
        component.createWithInitialProperties({{QStringLiteral("rows"), QVariant::fromValue(&rows)}}));
    auto *content = qobject_cast<QQuickItem *>(made.get());
    if (!content) {
        if (error)
            *error = component.errorString();
        return nullptr;
    }
    made.release();
    auto window = std::make_unique<TimerPanelWindow>();
    window->setContent(content);
    setup.prepare(*window, false);
    return window;
}

void TimerPanelWindow::setContent(QQuickItem *content)
{
    m_content = content;
    content->setParentItem(contentItem());
    const auto changed = [this] {
        if (contentSizeChanged)
            contentSizeChanged();
    };
    connect(content, &QQuickItem::implicitWidthChanged, this, changed);
    connect(content, &QQuickItem::implicitHeightChanged, this, changed);
}

QRect TimerPanelWindow::constrainFrameRect(const QRect &proposed, QScreen *screen) const
{
    if (!screen)
        screen = this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return TimerPanelGeometry::constrained(proposed, screen ? std::optional<QRect>(screen->availableGeometry())
                                                            : std::nullopt);
}

void TimerPanelWindow::setFrame(const QRect &frame)
{
    setGeometry(frame);
}

void TimerPanelWindow::orderFront()
{
    // Shown and raised, never activated: the window does not take the focus.
    if (!isVisible())
        setVisible(true);
    raise();
}

void TimerPanelWindow::orderOut()
{
    setVisible(false);
}

QSize TimerPanelWindow::contentSize() const
{
    if (!m_content)
        return {};
    return {qCeil(m_content->implicitWidth()), qCeil(m_content->implicitHeight())};
}

void TimerPanelWindow::mousePressEvent(QMouseEvent *event)
{
    QQuickWindow::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    m_grabOffset = TimerPanelGeometry::grabOffset(position(), event->globalPosition().toPoint());
    m_systemMoveStarted = false;
}

void TimerPanelWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!event->buttons().testFlag(Qt::LeftButton) || !m_grabOffset) {
        QQuickWindow::mouseMoveEvent(event);
        return;
    }
    if (onWayland()) {
        // The compositor moves the window; it keeps the pointer until the button goes up.
        if (!m_systemMoveStarted) {
            m_systemMoveStarted = true;
            cancelContentPress();
            startSystemMove();
        }
        return;
    }
    const QRect proposed = TimerPanelGeometry::dragged(*m_grabOffset, event->globalPosition().toPoint(), size());
    const QPoint placed = constrainFrameRect(proposed, screen()).topLeft();
    if (placed == position())
        return;
    cancelContentPress();
    setPosition(placed);
}

void TimerPanelWindow::cancelContentPress()
{
    if (QQuickItem *grabber = mouseGrabberItem())
        grabber->ungrabMouse();
}
