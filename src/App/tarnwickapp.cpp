#include "tarnwickapp.h"

#include "appstate.h"
#include "preferences.h"

#include <QQmlComponent>
#include <QQmlEngine>

TarnwickApp::TarnwickApp(AppState &state, QQmlEngine &engine, QUrl windowUrl, std::function<void()> terminate,
                         QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine), m_windowUrl(std::move(windowUrl)),
      m_delegate(std::move(terminate))
{
    m_state.replyToTermination = [this](bool approve) { m_delegate.replyToTermination(approve); };
}

TarnwickApp::~TarnwickApp()
{
    m_state.replyToTermination = nullptr;
    if (m_window)
        QObject::disconnect(m_window.get(), nullptr, this, nullptr);
}

QSize TarnwickApp::defaultWindowSize(const Preferences &preferences)
{
    const qint64 storedColumns = preferences.integerValue(QStringLiteral("gridPreferredColumns")).value_or(0);
    const qint64 storedRows = preferences.integerValue(QStringLiteral("gridPreferredRows")).value_or(0);
    const int c = storedColumns >= 5 && storedColumns <= 12 ? int(storedColumns) : 7;
    const int r = storedRows >= 2 && storedRows <= 8 ? int(storedRows) : 4;
    return QSize((c - 1) * 30 + c * 110 + 80, (r - 1) * 20 + r * 114 + 44 + 203);
}

bool TarnwickApp::showMainWindow()
{
    if (!m_window) {
        QQmlComponent component(&m_engine, m_windowUrl);
        std::unique_ptr<QObject> made(component.createWithInitialProperties(m_windowProperties));
        auto *window = qobject_cast<QQuickWindow *>(made.get());
        if (!window) {
            m_windowError = component.errorString();
            return false;
        }
        made.release();
        m_window.reset(window);
        m_window->resize(defaultWindowSize(m_state.seams().preferences));
        connect(m_window.get(), &QWindow::visibleChanged, this, &TarnwickApp::visibilityChanged);
        Q_EMIT mainWindowMade(m_window.get());
    }
    if (m_window->visibility() == QWindow::Minimized)
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->requestActivate();
    // A window that was visible already sends no visibleChanged.
    visibilityChanged(m_window->isVisible());
    return true;
}

void TarnwickApp::visibilityChanged(bool visible)
{
    if (visible) {
        m_delegate.state = &m_state;
        m_state.mainWindow = m_window.get();
        return;
    }
    if (m_delegate.state == &m_state)
        m_delegate.state = nullptr;
    if (m_state.mainWindow == m_window.get())
        m_state.mainWindow = nullptr;
}
