#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>

#include <array>
#include <optional>

// One window property as the X server returns it.
struct X11Property
{
    quint32 type = 0; // the type atom
    int format = 0;   // 8, 16 or 32 bits per item
    QByteArray data;

    // The items of a 32-bit property of the given type; none for another type or format.
    [[nodiscard]] std::optional<QList<quint32>> words(quint32 expectedType) const;
    // The text of an 8-bit property of the given type.
    [[nodiscard]] std::optional<QByteArray> text(quint32 expectedType) const;
};
Q_DECLARE_METATYPE(X11Property)

struct X11WindowState
{
    bool viewable = false; // mapped, with all its ancestors
    int width = 0;         // pixels
    int height = 0;
};

// The few requests to an X server that the window list and the activation watch need, batched so that the real
// connection can send them all before it waits for the first answer. Main thread; owned by main.cpp (or a test).
class X11Display : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual bool isConnected() const = 0;
    [[nodiscard]] virtual quint32 rootWindow() const = 0;
    // The atom of a name, made when the server does not know it yet; 0 without a connection.
    [[nodiscard]] virtual quint32 atom(const QByteArray &name) = 0;
    // One property of each window, in the order of `windows`; none where the window or property is missing.
    [[nodiscard]] virtual QList<std::optional<X11Property>> properties(const QList<quint32> &windows,
                                                                      quint32 property) = 0;
    [[nodiscard]] virtual QList<std::optional<X11WindowState>> windowStates(const QList<quint32> &windows) = 0;
    // The window that owns a selection; 0 when nobody owns it or without a connection.
    [[nodiscard]] virtual quint32 selectionOwner(quint32 selection) = 0;
    // The process of the client that made each window, as the X Resource extension (1.2) tells for local clients;
    // 0 where it cannot tell (a remote client, a window gone, no extension).
    [[nodiscard]] virtual QList<qint64> clientProcesses(const QList<quint32> &windows) = 0;
    // A client message about `window` to the root window, for the window manager.
    virtual void sendToWindowManager(quint32 window, quint32 messageType, const std::array<quint32, 5> &data) = 0;
    // From now on, rootPropertyChanged comes for every property change of the root window.
    virtual void watchRootProperties() = 0;

Q_SIGNALS:
    void rootPropertyChanged(quint32 atom);
};
