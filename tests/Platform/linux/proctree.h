#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <unistd.h>

// A fixture tree shaped like /proc, for the readers and the instance mapping: <root>/<pid>/{stat,cgroup,environ}
// and an exe link (which may point nowhere, as a deleted executable's does).
struct FixtureProcess
{
    qint64 pid = 0;
    qint64 parentPid = 1;
    quint64 startTime = 0; // 0: the pid, so that later pids are younger
    QString exe;           // empty: no exe link (a kernel thread, or someone else's process)
    QString cgroup = QStringLiteral("/");
    QStringList environment;
};
Q_DECLARE_METATYPE(FixtureProcess)

inline FixtureProcess process(qint64 pid, qint64 parentPid = 1, const QString &exe = {},
                              const QString &cgroup = QStringLiteral("/"), const QStringList &environment = {},
                              quint64 startTime = 0)
{
    FixtureProcess p;
    p.pid = pid;
    p.parentPid = parentPid;
    p.exe = exe;
    p.cgroup = cgroup;
    p.environment = environment;
    p.startTime = startTime;
    return p;
}

class ProcTree
{
public:
    explicit ProcTree(QString root)
        : m_root(std::move(root))
    {
        QDir().mkpath(m_root);
    }

    [[nodiscard]] const QString &root() const { return m_root; }

    void add(const FixtureProcess &p)
    {
        const QString dir = m_root + u'/' + QString::number(p.pid);
        QDir().mkpath(dir);
        const quint64 start = p.startTime ? p.startTime : quint64(p.pid);
        QStringList fields{QStringLiteral("S"), QString::number(p.parentPid)};
        for (int field = 5; field <= 21; ++field)
            fields.append(QStringLiteral("0"));
        fields.append(QString::number(start));
        fields.append({QStringLiteral("1000"), QStringLiteral("200")});
        write(dir + u"/stat"_qs, u"%1 (fixture (%1)) %2\n"_qs.arg(p.pid).arg(fields.join(u' ')).toUtf8());
        write(dir + u"/cgroup"_qs, ("0::" + p.cgroup + "\n").toUtf8());
        QByteArray environ;
        for (const QString &v : p.environment)
            environ += v.toUtf8() + '\0';
        write(dir + u"/environ"_qs, environ);
        QFile::remove(dir + u"/exe"_qs);
        if (!p.exe.isEmpty())
            (void)::symlink(QFile::encodeName(p.exe).constData(), QFile::encodeName(dir + u"/exe"_qs).constData());
    }

    void remove(qint64 pid) { QDir(m_root + u'/' + QString::number(pid)).removeRecursively(); }

    // A new process under a pid that was in use: made aside first, so its folder is surely a new inode.
    void replace(const FixtureProcess &p)
    {
        ProcTree staging(m_root + u"/.staging"_qs);
        staging.add(p);
        remove(p.pid);
        QDir().rename(staging.root() + u'/' + QString::number(p.pid), m_root + u'/' + QString::number(p.pid));
    }

    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }

private:
    QString m_root;
};

inline QStringList gioLaunch(const QString &desktopFile, qint64 pid)
{
    return {u"GIO_LAUNCHED_DESKTOP_FILE="_qs + desktopFile, u"GIO_LAUNCHED_DESKTOP_FILE_PID="_qs + QString::number(pid),
            u"HOME=/home/user"_qs};
}

inline QString userScope(const QString &unit)
{
    return u"/user.slice/user-1000.slice/user@1000.service/app.slice/"_qs + unit;
}
