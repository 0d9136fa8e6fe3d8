#pragma once

#include "appdelegate.h"

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QSize>
#include <QUrl>
#include <QVariantMap>

#include <functional>
#include <memory>

class AppState;
class Preferences;
class QQmlEngine;

// The application entry: the delegate and the one launcher window, a QML file loaded by URL with the properties
// main.cpp gives it. The window is made the first time it is shown and then only hidden and shown again; nothing
// makes a second one. While it is on screen the delegate knows the state object, and the state knows the window.
// Closing it does not end the program. Main thread; owned by main.cpp (or a test).
class TarnwickApp : public QObject
{
    Q_OBJECT
public:
    // `terminate` ends the program; the delegate calls it once a quit is allowed.
    TarnwickApp(AppState &state, QQmlEngine &engine, QUrl windowUrl, std::function<void()> terminate,
                QObject *parent = nullptr);
    ~TarnwickApp() override;

    [[nodiscard]] AppDelegate &delegate() { return m_delegate; }
    // Properties the window gets when it is made.
    void setWindowProperties(QVariantMap properties) { m_windowProperties = std::move(properties); }

    // Makes the window on the first call; shows it un-minimised, raised and asking for the focus. False when the
    // window's file could not be made into a window.
    bool showMainWindow();
    [[nodiscard]] QQuickWindow *mainWindow() const { return m_window.get(); }
    // The loader's errors when the window could not be made.
    [[nodiscard]] const QString &windowError() const { return m_windowError; }

    // The window's first size from the stored columns and rows at icon scale 1: 1030 x 763 with nothing stored.
    [[nodiscard]] static QSize defaultWindowSize(const Preferences &preferences);

Q_SIGNALS:
    void mainWindowMade(QQuickWindow *window);

private:
    void visibilityChanged(bool visible);

    AppState &m_state;
    QQmlEngine &m_engine;
    QUrl m_windowUrl;
    AppDelegate m_delegate;
    QVariantMap m_windowProperties;
    std::unique_ptr<QQuickWindow> m_window;
    QString m_windowError;
};
