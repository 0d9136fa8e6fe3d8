#include "singleinstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstance::SingleInstance(QString lockFilePath, QString socketPath, QObject *parent)
    : QObject(parent), m_lockFilePath(std::move(lockFilePath)), m_socketPath(std::move(socketPath))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

SingleInstance::Claim SingleInstance::claim()
{
    if (m_lockFd >= 0)
        return Claim::first;
    const QByteArray path = QFile::encodeName(m_lockFilePath);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Claim::unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Claim::another : Claim::unavailable;
    }
    m_lockFd = fd;
    return Claim::first;
}

bool SingleInstance::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_socketPath);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return m_server->listen(m_socketPath);
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == showRequest.toByteArray())
                    Q_EMIT showRequested();
            }
        });
    }
}

bool SingleInstance::askToShow(const QString &socketPath, std::chrono::milliseconds patience)
{
    const QDeadlineTimer deadline(patience);
    do {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(500)) {
            socket.write(showRequest.data(), showRequest.size());
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(500);
            return sent;
        }
        // The running program listens only once its start-up is done.
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return false;
}
