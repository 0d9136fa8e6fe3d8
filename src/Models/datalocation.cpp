#include "datalocation.h"

#include <QDir>
#include <QStandardPaths>

namespace DataLocation {

QString dataFolder()
{
    return dataFolderIn(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString dataFolderIn(const QString &baseFolder)
{
    return baseFolder + u"/Tarnwick"_qs;
}

QString configFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Tarnwick"_qs;
}

} // namespace DataLocation
