#include "xdgenvironment.h"

#include <QDir>
#include <QFileInfo>

namespace {

QStringList absoluteParts(const QString &list)
{
    QStringList out;
    for (const auto &part : list.split(u':', Qt::SkipEmptyParts)) {
        if (!QDir::isAbsolutePath(part))
            continue;
        const QString clean = QDir::cleanPath(part);
        if (!out.contains(clean))
            out.append(clean);
    }
    return out;
}

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QStringList XdgEnvironment::applicationRoots(const QProcessEnvironment &env)
{
    if (const QStringList replaced = absoluteParts(env.value(u"TARNWICK_APP_DIRS"_qs)); !replaced.isEmpty())
        return replaced;

    QStringList roots;
    QString dataHome = env.value(u"XDG_DATA_HOME"_qs);
    if (!QDir::isAbsolutePath(dataHome)) {
        const QString home = env.value(u"HOME"_qs);
        dataHome = QDir::isAbsolutePath(home) ? home + u"/.local/share"_qs : QString();
    }
    if (!dataHome.isEmpty())
        roots.append(QDir::cleanPath(dataHome + u"/applications"_qs));

    QStringList dataDirs = absoluteParts(env.value(u"XDG_DATA_DIRS"_qs));
    if (dataDirs.isEmpty())
        dataDirs = {u"/usr/local/share"_qs, u"/usr/share"_qs};
    for (const auto &dir : dataDirs) {
        const QString root = QDir::cleanPath(dir + u"/applications"_qs);
        if (!roots.contains(root))
            roots.append(root);
    }
    return roots;
}

QStringList XdgEnvironment::currentDesktops(const QProcessEnvironment &env)
{
    return env.value(u"XDG_CURRENT_DESKTOP"_qs).split(u':', Qt::SkipEmptyParts);
}

bool XdgEnvironment::programExists(const QString &program, const QProcessEnvironment &env)
{
    if (program.isEmpty())
        return false;
    if (program.contains(u'/'))
        return QDir::isAbsolutePath(program) && isExecutableFile(program);
    for (const auto &dir : env.value(u"PATH"_qs).split(u':', Qt::SkipEmptyParts)) {
        if (isExecutableFile(dir + u'/' + program))
            return true;
    }
    return false;
}

bool XdgEnvironment::isWaylandSession(const QProcessEnvironment &env)
{
    return env.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0
           || !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}
