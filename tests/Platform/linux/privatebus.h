#pragma once

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// A dbus-daemon of the test's own, on a socket in a temporary folder, with its own (possibly empty) folder of
// activatable services; never the session or system bus of the machine. Stopped (it is our child) when dropped.
class PrivateBus
{
public:
    // `activatable`: names of services to list as activatable (never started by the tests).
    explicit PrivateBus(const QStringList &activatable = {})
    {
        const QString services = m_dir.path() + u"/services"_qs;
        QDir().mkpath(services);
        for (const QString &name : activatable) {
            QFile f(services + u'/' + name + u".service"_qs);
            if (f.open(QIODevice::WriteOnly))
                f.write("[D-BUS Service]\nName=" + name.toUtf8() + "\nExec=/bin/false\n");
        }
        QFile config(m_dir.path() + u"/bus.conf"_qs);
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=)" + QFile::encodeName(m_dir.path()) + R"(/socket</listen>
  <servicedir>)" + QFile::encodeName(services) + R"(</servicedir>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)");
        config.close();
        m_daemon.setProgram(u"dbus-daemon"_qs);
        m_daemon.setArguments({u"--config-file="_qs + config.fileName(), u"--nofork"_qs, u"--print-address=1"_qs});
        m_daemon.start();
        if (!m_daemon.waitForStarted(5000))
            return;
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }

    ~PrivateBus()
    {
        for (const QString &name : std::as_const(m_connections))
            QDBusConnection::disconnectFromBus(name);
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill(); // our own child
            m_daemon.waitForFinished(5000);
        }
    }

    [[nodiscard]] bool isRunning() const { return !m_address.isEmpty(); }
    [[nodiscard]] QString address() const { return m_address; }

    // A new connection to this bus, under a name of its own.
    QDBusConnection connect(const QString &name)
    {
        m_connections.append(name);
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};
