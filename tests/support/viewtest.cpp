#include "viewtest.h"

#include "theme.h"
#include "viewsetup.h"

#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQmlEngine>
#include <QQmlError>
#include <QTest>
#include <QWheelEvent>

ViewTest::ViewTest(QString testName)
    : m_testName(std::move(testName))
{
    const QString fromEnvironment = qEnvironmentVariable("TARNWICK_SCREENSHOT_ROOT");
    QString rootDir = fromEnvironment.isEmpty() ? QStringLiteral(TARNWICK_SCREENSHOT_ROOT) : fromEnvironment;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        rootDir += QStringLiteral("-xcb");
    m_screenshotDir = rootDir + u'/' + m_testName;
    QDir().mkpath(m_screenshotDir);
    Theme::applyAppAppearance(false);
}

ViewTest::~ViewTest() = default;

QQuickItem *ViewTest::root() const
{
    return m_view ? m_view->rootObject() : nullptr;
}

bool ViewTest::loadView(const QString &name, const QVariantMap &initialProperties, QSize size)
{
    // The views stand in a folder per concern; a test names the view alone.
    QString path = u":/Tarnwick/Views/"_qs + name + u".qml"_qs;
    QDirIterator files(u":/Tarnwick/Views"_qs, {name + u".qml"_qs}, QDir::Files, QDirIterator::Subdirectories);
    if (files.hasNext())
        path = files.next();
    return load(QUrl(u"qrc"_qs + path), initialProperties, size);
}

bool ViewTest::loadFile(const QString &path, const QVariantMap &initialProperties, QSize size)
{
    return load(QUrl::fromLocalFile(path), initialProperties, size);
}

bool ViewTest::load(const QUrl &url, const QVariantMap &initialProperties, QSize size)
{
    m_view.reset();
    m_errors.clear();
    m_view = std::make_unique<QQuickView>();
    ViewSetup::prepareEngine(*m_view->engine(), m_iconCache);
    m_view->setColor(Theme::windowBackground());
    m_view->setResizeMode(size.isEmpty() ? QQuickView::SizeViewToRootObject : QQuickView::SizeRootObjectToView);
    m_view->setInitialProperties(initialProperties);
    m_view->setSource(url);
    if (m_view->status() != QQuickView::Ready) {
        for (const QQmlError &error : m_view->errors())
            m_errors += error.toString() + u'\n';
        return false;
    }
    if (!size.isEmpty())
        m_view->resize(size);
    m_view->setPosition(0, 0);
    m_view->show();
    if (!QTest::qWaitForWindowExposed(m_view.get())) {
        m_errors = QStringLiteral("the window was not exposed");
        return false;
    }
    // Window shortcuts (Return on a sheet's default button) need the window to be the active one.
    m_view->requestActivate();
    if (!QTest::qWaitForWindowActive(m_view.get())) {
        m_errors = QStringLiteral("the window did not become active");
        return false;
    }
    // The pointer starts outside the window. Qt drops a move to where the pointer already is, so without this a
    // test's first move to the point where the previous test left the pointer would hover nothing.
    QTest::mouseMove(m_view.get(), QPoint(-20, -20));
    QCoreApplication::processEvents();
    return true;
}

namespace {

// Items a Repeater makes are children of their parent item but not of its QObject, so findChild misses them.
QQuickItem *findItem(QQuickItem *item, const QString &objectName)
{
    if (item->objectName() == objectName)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = findItem(child, objectName))
            return found;
    }
    return nullptr;
}

} // namespace

QQuickItem *ViewTest::itemIn(QQuickItem *under, const QString &objectName)
{
    return under ? findItem(under, objectName) : nullptr;
}

QQuickItem *ViewTest::item(const QString &objectName) const
{
    QQuickItem *top = root();
    return top ? findItem(top, objectName) : nullptr;
}

QPointF ViewTest::centreOf(const QQuickItem *item)
{
    return pointIn(item, QPointF(item->width() / 2, item->height() / 2));
}

QPointF ViewTest::pointIn(const QQuickItem *item, QPointF local)
{
    return item->mapToScene(local);
}

void ViewTest::mouseMove(QPointF pos)
{
    QTest::mouseMove(m_view.get(), pos.toPoint());
    QCoreApplication::processEvents();
}

void ViewTest::mousePress(QPointF pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    QTest::mousePress(m_view.get(), button, modifiers, pos.toPoint());
}

void ViewTest::mouseRelease(QPointF pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int heldMs)
{
    QTest::mouseRelease(m_view.get(), button, modifiers, pos.toPoint(), heldMs);
}

void ViewTest::click(QPointF pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    mouseMove(pos);
    QTest::mouseClick(m_view.get(), button, modifiers, pos.toPoint());
    QCoreApplication::processEvents();
}

void ViewTest::wheel(QPointF pos, QPoint angleDelta, QPoint pixelDelta, Qt::KeyboardModifiers modifiers,
                     Qt::ScrollPhase phase)
{
    const QPointF global = m_view->mapToGlobal(pos);
    QWheelEvent event(pos, global, pixelDelta, angleDelta, Qt::NoButton, modifiers, phase, false);
    QGuiApplication::sendEvent(m_view.get(), &event);
    QCoreApplication::processEvents();
}

void ViewTest::key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(m_view.get(), key, modifiers);
    QCoreApplication::processEvents();
}

void ViewTest::type(const QString &text)
{
    for (const QChar ch : text) {
        const int code = ch.isLetterOrNumber() && ch.unicode() < 128 ? ch.toUpper().unicode() : 0;
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(ch));
        QGuiApplication::sendEvent(m_view.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, QString(ch));
        QGuiApplication::sendEvent(m_view.get(), &release);
    }
    QCoreApplication::processEvents();
}

Qt::CursorShape ViewTest::cursorShape() const
{
    return m_view->cursor().shape();
}

QImage ViewTest::grab(const QString &caseName)
{
    QCoreApplication::processEvents();
    const QImage image = m_view->grabWindow();
    image.save(m_screenshotDir + u'/' + caseName + u".png"_qs);
    return image;
}
