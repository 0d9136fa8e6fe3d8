#pragma once

#include <QObject>
#include <QPointer>

class AppState;
class QQuickWindow;

// The program's start-up report (--report-start), read by the start-up benchmark: a line on stdout at the first frame
// that shows app tiles ("tiles"), at the first frame that shows every tile in view with its icon once the first scan
// is done ("icons"), and at every later frame the number of tiles in view ("frame N"); again each time the window is
// shown after a close. Main thread; made by main.cpp.
class StartupReport : public QObject
{
    Q_OBJECT
public:
    explicit StartupReport(AppState &state, QObject *parent = nullptr);

    // Starts watching `window`, which shows the grid.
    void watch(QQuickWindow *window);

private:
    void frameSwapped();

    AppState &m_state;
    QPointer<QQuickWindow> m_window;
    bool m_tilesShown = false;
    bool m_iconsShown = false;
};
