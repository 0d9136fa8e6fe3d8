#pragma once

#include <QObject>
#include <QString>

#include <chrono>

class QLocalServer;

// One running program per user: an exclusive lock on a file beside the store, taken before the store opens, and a
// local socket on which the running program hears a later start ask it to show its window. The lock's descriptor is
// close-on-exec, so apps the program starts never hold it. Main thread; owned by main.cpp.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Claim {
        first,       // the lock is ours
        another,     // another program holds it
        unavailable, // the lock file cannot be made (say, its folder cannot be); the store's open will tell why
    };

    SingleInstance(QString lockFilePath, QString socketPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    [[nodiscard]] Claim claim();
    // Starts listening; a stale socket left by a program that died is removed first (the lock says none runs).
    [[nodiscard]] bool listen();

    // Asks the running program to show its window, trying for up to `patience` while it is still starting.
    [[nodiscard]] static bool askToShow(const QString &socketPath, std::chrono::milliseconds patience);

    static constexpr QByteArrayView showRequest = "show\n";

Q_SIGNALS:
    void showRequested();

private:
    void acceptConnections();

    QString m_lockFilePath;
    QString m_socketPath;
    int m_lockFd = -1;
    QLocalServer *m_server = nullptr;
};
