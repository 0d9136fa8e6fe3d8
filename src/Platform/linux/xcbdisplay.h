#pragma once

#include "linux/x11display.h"

#include <QHash>

#include <optional>

struct xcb_connection_t;
class QSocketNotifier;

// The X server of $DISPLAY (or a named display) over xcb. Without a display, or when the connection fails or breaks,
// every answer is empty and nothing is sent. Main thread; owned by main.cpp (or a test).
class XcbDisplay : public X11Display
{
    Q_OBJECT
public:
    // An empty name means $DISPLAY.
    explicit XcbDisplay(const QByteArray &displayName = {}, QObject *parent = nullptr);
    ~XcbDisplay() override;

    [[nodiscard]] bool isConnected() const override;
    [[nodiscard]] quint32 rootWindow() const override { return m_root; }
    [[nodiscard]] quint32 atom(const QByteArray &name) override;
    [[nodiscard]] QList<std::optional<X11Property>> properties(const QList<quint32> &windows,
                                                              quint32 property) override;
    [[nodiscard]] QList<std::optional<X11WindowState>> windowStates(const QList<quint32> &windows) override;
    [[nodiscard]] quint32 selectionOwner(quint32 selection) override;
    [[nodiscard]] QList<qint64> clientProcesses(const QList<quint32> &windows) override;
    void sendToWindowManager(quint32 window, quint32 messageType, const std::array<quint32, 5> &data) override;
    void watchRootProperties() override;

private:
    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    QHash<QByteArray, quint32> m_atoms;
    QSocketNotifier *m_notifier = nullptr;
    std::optional<bool> m_hasResources; // the X Resource extension at 1.2 or later, asked once

    [[nodiscard]] bool hasResourceExtension();

    void readEvents();
    void scheduleQueuedEvents();
};
