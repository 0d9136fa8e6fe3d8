#pragma once

#include "fileviewer.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

#include <functional>

// Reveals items through the freedesktop file manager interface (org.freedesktop.FileManager1, ShowItems) on the
// session bus, or on a bus a test connects to. The call is asynchronous and may start an activatable file manager;
// when it comes back with an error (no file manager offers the interface, or no bus), the folder that holds the first
// item is opened with xdg-open instead, started detached with an argument list. Main thread; owned by main.cpp.
class LinuxFileViewer : public QObject, public FileViewer
{
    Q_OBJECT
public:
    static constexpr QStringView service = u"org.freedesktop.FileManager1";
    static constexpr QStringView path = u"/org/freedesktop/FileManager1";
    static constexpr QStringView interface = u"org.freedesktop.FileManager1";

    // Starts a program detached: its name (looked up in PATH) and its arguments.
    using Starter = std::function<void(const QString &program, const QStringList &arguments)>;

    explicit LinuxFileViewer(QDBusConnection bus = QDBusConnection::sessionBus(), Starter starter = {},
                             QObject *parent = nullptr);

    void revealItems(const QList<QUrl> &urls) override;

    // The folder that holds the item, as a file URL.
    [[nodiscard]] static QUrl containingFolder(const QUrl &item);

private:
    QDBusConnection m_bus;
    Starter m_starter;

    void openFolder(const QUrl &item);
};
