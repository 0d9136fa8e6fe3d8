#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>

class AppState;
class IconCache;
class QQuickWindow;
class QTimer;

// The program's screenshot mode (--screenshot FILE): once the first scan is done, the icons of the apps on the
// first page are loaded and no image of the window is still loading, it lets the window draw them, grabs it, writes
// the PNG and reports the path. Should the icons not all load within a bounded wait, it grabs what shows and says so.
// Main thread; made by main.cpp.
class FirstGridScreenshot : public QObject
{
    Q_OBJECT
public:
    FirstGridScreenshot(AppState &state, IconCache &icons, QString path, QObject *parent = nullptr);

    // Starts watching `window`, which shows the grid.
    void watch(QQuickWindow *window);

Q_SIGNALS:
    // The file is written (ok) or could not be; `message` is the line to print.
    void finished(bool ok, const QString &message);

private:
    void check();
    [[nodiscard]] bool firstPageIconsLoaded() const;
    void grab(bool complete);

    AppState &m_state;
    IconCache &m_icons;
    QString m_path;
    QPointer<QQuickWindow> m_window;
    QTimer *m_poll = nullptr;
    std::chrono::steady_clock::time_point m_started;
    int m_framesAfterReady = -1;
    bool m_done = false;
};
