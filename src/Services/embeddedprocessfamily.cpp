#include "embeddedprocessfamily.h"

#include "appidentity.h"
#include "processtable.h"

#include <QDir>
#include <QFileInfo>

EmbeddedProcessFamily::EmbeddedProcessFamily(ProcessTable &table)
    : m_table(table)
{
}

QList<qint64> EmbeddedProcessFamily::allPIDs() const
{
    return m_table.allPIDs();
}

namespace {

// "/opt/X.app/" and "/opt/./X.app" are "/opt/X.app"; "/opt/.." and "//" are the root.
QString bundleRoot(const QString &bundlePath)
{
    return QDir::cleanPath(bundlePath);
}

} // namespace

bool EmbeddedProcessFamily::isUsableBundlePath(const QString &bundlePath)
{
    return bundlePath.startsWith(u'/') && bundleRoot(bundlePath) != u"/"_qs;
}

bool EmbeddedProcessFamily::isInside(const QString &executable, const QString &bundlePath)
{
    if (!isUsableBundlePath(bundlePath))
        return false;
    const QString root = bundleRoot(bundlePath);
    return executable == root || executable.startsWith(root + u'/');
}

QList<EmbeddedProcessFamily::Member> EmbeddedProcessFamily::members(const EmbeddedApp &app) const
{
    QList<Member> out;
    if (!isUsableBundlePath(app.bundlePath))
        return out;
    // The kernel reports executables by their resolved path, so a bundle reached through a link is also looked
    // for where the link leads.
    QStringList roots{bundleRoot(app.bundlePath)};
    const QString resolved = QFileInfo(app.bundlePath).canonicalFilePath();
    if (!resolved.isEmpty() && resolved != roots.first() && isUsableBundlePath(resolved))
        roots.append(resolved);

    const qint64 self = AppIdentity::processID();
    for (const qint64 pid : m_table.allPIDs()) {
        if (pid <= 1 || pid == self)
            continue;
        const auto path = m_table.executablePath(pid);
        if (!path || path->isEmpty())
            continue;
        for (const auto &root : roots) {
            if (isInside(*path, root)) {
                out.append({pid, *path});
                break;
            }
        }
    }
    return out;
}

QList<qint64> EmbeddedProcessFamily::pids(const EmbeddedApp &app) const
{
    QList<qint64> out;
    for (const auto &m : members(app))
        out.append(m.pid);
    return out;
}

void EmbeddedProcessFamily::killAll(const EmbeddedApp &app)
{
    for (const auto &m : members(app))
        m_table.kill(m.pid, m.executable);
}
