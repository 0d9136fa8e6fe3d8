#include "startupfailure.h"

namespace StartupFailure {

namespace {

QString englishReason(StoreOpenError error)
{
    switch (error) {
    case StoreOpenError::folderUnavailable:
        return QStringLiteral("its folder cannot be created");
    case StoreOpenError::cannotOpen:
        return QStringLiteral("the file cannot be opened or created");
    case StoreOpenError::notAStore:
        return QStringLiteral("the file is damaged or is not a Tarnwick store");
    case StoreOpenError::unsupportedVersion:
        return QStringLiteral("the store belongs to another version of Tarnwick");
    }
    return QStringLiteral("unknown error");
}

QString chineseReason(StoreOpenError error)
{
    switch (error) {
    case StoreOpenError::folderUnavailable:
        return QStringLiteral("数据文件夹无法创建。");
    case StoreOpenError::cannotOpen:
        return QStringLiteral("数据文件无法打开或创建。");
    case StoreOpenError::notAStore:
        return QStringLiteral("数据文件已损坏，或不是 Tarnwick 的数据文件。");
    case StoreOpenError::unsupportedVersion:
        return QStringLiteral("数据文件属于另一版本的 Tarnwick。");
    }
    return QString();
}

} // namespace

QString consoleLine(StoreOpenError error, const QString &path)
{
    return QStringLiteral("tarnwick: cannot open the store %1: %2").arg(path, englishReason(error));
}

QString windowMessage(StoreOpenError error)
{
    return QStringLiteral("Tarnwick 无法启动：") + chineseReason(error);
}

} // namespace StartupFailure
