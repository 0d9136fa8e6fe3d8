#pragma once

#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QQuickItem>
#include <QQuickView>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <memory>

class IconCache;

// Drives one QML view in a test: loads a file of Tarnwick.Views (or a test page beside the test) into a fresh
// QQuickView with the program's look and image providers, sends it real mouse, key and wheel events, and writes
// screenshots to <build>/screenshots/<test>/<case>.png (screenshots-xcb/... under a real X server). Main thread.
class ViewTest
{
public:
    // `testName` names the screenshot folder.
    explicit ViewTest(QString testName);
    ~ViewTest();
    ViewTest(const ViewTest &) = delete;
    ViewTest &operator=(const ViewTest &) = delete;

    // The cache behind image://appicon for the views loaded after this call; without one they have no app icons.
    void setIconCache(IconCache &cache) { m_iconCache = &cache; }

    // Loads the view <name>.qml (from whichever folder under qrc:/Tarnwick/Views holds it) into a new window of
    // `size` (the root's own size when empty), shows it and waits until it is exposed. False, with the engine's errors in errors(), when it does not load.
    [[nodiscard]] bool loadView(const QString &name, const QVariantMap &initialProperties = {}, QSize size = {});
    // The same for a QML file of the test itself (a page that places several views).
    [[nodiscard]] bool loadFile(const QString &path, const QVariantMap &initialProperties = {}, QSize size = {});
    [[nodiscard]] QString errors() const { return m_errors; }

    [[nodiscard]] QQuickView *view() const { return m_view.get(); }
    [[nodiscard]] QQuickItem *root() const;
    // The item with that objectName under the root (the root itself when it has the name).
    [[nodiscard]] QQuickItem *item(const QString &objectName) const;
    // The item with that objectName among `under` and the items inside it.
    [[nodiscard]] static QQuickItem *itemIn(QQuickItem *under, const QString &objectName);
    // An item's centre, or a point given in its own coordinates, in window coordinates.
    [[nodiscard]] static QPointF centreOf(const QQuickItem *item);
    [[nodiscard]] static QPointF pointIn(const QQuickItem *item, QPointF local);

    void mouseMove(QPointF pos);
    void mousePress(QPointF pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});
    // `heldMs` after the press (waited for, and in the events' timestamps, which is what Qt measures a hold by).
    void mouseRelease(QPointF pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {},
                      int heldMs = -1);
    void click(QPointF pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});
    // A wheel event at `pos`, sent to the window (its event filters see it first).
    void wheel(QPointF pos, QPoint angleDelta, QPoint pixelDelta = {}, Qt::KeyboardModifiers modifiers = {},
               Qt::ScrollPhase phase = Qt::NoScrollPhase);
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {});
    // One key press and release per character, as typing would send them (QTest's keyClicks is for widgets only).
    void type(const QString &text);

    // The window's cursor shape right now.
    [[nodiscard]] Qt::CursorShape cursorShape() const;

    // Lets pending events, bindings and animations run, then renders and writes <case>.png; returns the image.
    QImage grab(const QString &caseName);
    [[nodiscard]] QString screenshotDir() const { return m_screenshotDir; }

private:
    bool load(const QUrl &url, const QVariantMap &initialProperties, QSize size);

    QString m_testName;
    QString m_screenshotDir;
    QString m_errors;
    IconCache *m_iconCache = nullptr;
    std::unique_ptr<QQuickView> m_view;
};
