#include "guiappactivation.h"

#include <QGuiApplication>

GuiAppActivation::GuiAppActivation(QObject *parent) : AppActivation(parent)
{
    m_wasActive = isActive();
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &GuiAppActivation::stateChanged);
}

bool GuiAppActivation::isActive() const
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void GuiAppActivation::activate()
{
    if (!m_window)
        return;
    if (m_window->visibility() == QWindow::Minimized || !m_window->isVisible())
        m_window->showNormal();
    m_window->raise();
    m_window->requestActivate();
}

void GuiAppActivation::hide()
{
    if (m_window && m_window->isVisible())
        m_window->showMinimized();
}

void GuiAppActivation::stateChanged(Qt::ApplicationState state)
{
    const bool active = state == Qt::ApplicationActive;
    if (active == m_wasActive)
        return;
    m_wasActive = active;
    if (active)
        Q_EMIT becameActive();
    else
        Q_EMIT resignedActive();
}
