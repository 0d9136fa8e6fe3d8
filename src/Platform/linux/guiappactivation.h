#pragma once

#include "appactivation.h"

#include <QPointer>
#include <QWindow>

// The program's activity through Qt: active while one of its windows has the focus, as the application state says;
// activate and hide act on the main window, once it is known. Floating panels are not touched. Main thread; owned
// by main.cpp.
class GuiAppActivation : public AppActivation
{
    Q_OBJECT
public:
    explicit GuiAppActivation(QObject *parent = nullptr);

    void setMainWindow(QWindow *window) { m_window = window; }

    [[nodiscard]] bool isActive() const override;
    void activate() override;
    void hide() override;

private:
    void stateChanged(Qt::ApplicationState state);

    QPointer<QWindow> m_window;
    bool m_wasActive = false;
};
