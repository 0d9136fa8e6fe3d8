#include "installstamp.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace InstallStamp {

QString ofFile(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QByteArray encoded = QFile::encodeName(path);
    struct statx info = {};
    if (::statx(AT_FDCWD, encoded.constData(), 0, STATX_INO | STATX_BTIME | STATX_CTIME, &info) != 0)
        return {};
    if (!(info.stx_mask & STATX_INO))
        return {};
    const bool hasBirth = info.stx_mask & STATX_BTIME;
    if (!hasBirth && !(info.stx_mask & STATX_CTIME))
        return {};
    const qint64 seconds = hasBirth ? qint64(info.stx_btime.tv_sec) : qint64(info.stx_ctime.tv_sec);
    return u"%1:%2:%3|%4"_qs.arg(info.stx_dev_major)
        .arg(info.stx_dev_minor)
        .arg(quint64(info.stx_ino))
        .arg(seconds);
}

QString ofRunningProgram()
{
    return ofFile(u"/proc/self/exe"_qs);
}

} // namespace InstallStamp
