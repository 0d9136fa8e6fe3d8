#pragma once

#include "linux/x11display.h"

#include <QHash>
#include <QMap>

#include <cstring>

// An X server in memory: atoms by name, properties per window, window states, and a record of the messages sent to
// the window manager.
class FakeX11Display : public X11Display
{
    Q_OBJECT
public:
    static constexpr quint32 root = 1;
    static constexpr quint32 atomType = 4, cardinalType = 6, stringType = 31, windowType = 33;

    struct Message
    {
        quint32 window;
        quint32 type;
        std::array<quint32, 5> data;
    };

    explicit FakeX11Display(bool connected = true)
        : m_connected(connected)
    {
    }

    [[nodiscard]] bool isConnected() const override { return m_connected; }
    [[nodiscard]] quint32 rootWindow() const override { return root; }
    [[nodiscard]] quint32 atom(const QByteArray &name) override
    {
        if (!m_connected)
            return 0;
        if (name == "RESOURCE_MANAGER")
            return 23;
        if (name == "WM_CLASS")
            return 67; // predefined atoms have fixed numbers
        auto it = m_atoms.find(name);
        if (it == m_atoms.end())
            it = m_atoms.insert(name, quint32(100 + m_atoms.size()));
        return *it;
    }
    [[nodiscard]] QList<std::optional<X11Property>> properties(const QList<quint32> &windows,
                                                              quint32 property) override
    {
        QList<std::optional<X11Property>> out;
        for (const quint32 w : windows) {
            const auto it = m_properties.constFind({w, property});
            out.append(it == m_properties.cend() ? std::nullopt : std::optional<X11Property>(*it));
        }
        return out;
    }
    [[nodiscard]] QList<std::optional<X11WindowState>> windowStates(const QList<quint32> &windows) override
    {
        QList<std::optional<X11WindowState>> out;
        for (const quint32 w : windows)
            out.append(m_states.contains(w) ? std::optional<X11WindowState>(m_states.value(w)) : std::nullopt);
        return out;
    }
    [[nodiscard]] QList<qint64> clientProcesses(const QList<quint32> &windows) override
    {
        ++m_clientQueries;
        QList<qint64> out;
        for (const quint32 w : windows)
            out.append(m_connected ? m_clientPids.value(w, 0) : 0);
        return out;
    }
    void sendToWindowManager(quint32 window, quint32 messageType, const std::array<quint32, 5> &data) override
    {
        m_messages.append({window, messageType, data});
    }
    void watchRootProperties() override { m_watching = true; }
    [[nodiscard]] quint32 selectionOwner(quint32 selection) override
    {
        return m_connected ? m_selectionOwners.value(selection) : 0;
    }
    void setSelectionOwner(const QByteArray &selection, quint32 owner) { m_selectionOwners.insert(atom(selection), owner); }

    // Test controls.
    void setWords(quint32 window, const QByteArray &name, quint32 type, const QList<quint32> &words)
    {
        QByteArray data(words.size() * 4, Qt::Uninitialized);
        if (!words.isEmpty())
            std::memcpy(data.data(), words.constData(), size_t(data.size()));
        m_properties.insert({window, atom(name)}, X11Property{type, 32, data});
    }
    void setRaw(quint32 window, const QByteArray &name, const X11Property &p) { m_properties.insert({window, atom(name)}, p); }
    void removeProperty(quint32 window, const QByteArray &name) { m_properties.remove({window, atom(name)}); }
    void setState(quint32 window, bool viewable, int width, int height)
    {
        m_states.insert(window, {viewable, width, height});
    }
    void removeState(quint32 window) { m_states.remove(window); }
    // A managed window of `pid`, listed in _NET_CLIENT_LIST.
    void addClient(quint32 window, quint32 pid, bool viewable = true, int width = 800, int height = 600)
    {
        m_clients.append(window);
        setWords(root, "_NET_CLIENT_LIST", windowType, m_clients);
        if (pid)
            setWords(window, "_NET_WM_PID", cardinalType, {pid});
        setState(window, viewable, width, height);
    }
    // A managed window without _NET_WM_PID: its client's process is known to the resource query only (0: not even
    // there), its WM_CLASS is the instance and class names given.
    void addAnonymousClient(quint32 window, quint32 clientPid, const QByteArray &instanceName = {},
                            const QByteArray &className = {})
    {
        m_clients.append(window);
        setWords(root, "_NET_CLIENT_LIST", windowType, m_clients);
        if (clientPid)
            m_clientPids.insert(window, clientPid);
        if (!instanceName.isEmpty() || !className.isEmpty())
            setRaw(window, "WM_CLASS", X11Property{stringType, 8, instanceName + '\0' + className + '\0'});
        setState(window, true, 800, 600);
    }
    // The window manager announces the new client list.
    void announceClients() { Q_EMIT rootPropertyChanged(atom("_NET_CLIENT_LIST")); }
    void setClientPid(quint32 window, quint32 pid) { m_clientPids.insert(window, pid); }
    [[nodiscard]] int clientQueries() const { return m_clientQueries; }
    void activate(quint32 window)
    {
        setWords(root, "_NET_ACTIVE_WINDOW", windowType, {window});
        Q_EMIT rootPropertyChanged(atom("_NET_ACTIVE_WINDOW"));
    }
    [[nodiscard]] const QList<Message> &messages() const { return m_messages; }
    [[nodiscard]] bool isWatching() const { return m_watching; }

private:
    bool m_connected = true;
    QHash<quint32, quint32> m_selectionOwners;
    bool m_watching = false;
    QHash<QByteArray, quint32> m_atoms;
    QMap<std::pair<quint32, quint32>, X11Property> m_properties;
    QHash<quint32, X11WindowState> m_states;
    QList<quint32> m_clients;
    QHash<quint32, qint64> m_clientPids;
    int m_clientQueries = 0;
    QList<Message> m_messages;
};
