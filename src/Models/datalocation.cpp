#include "datalocation.h"

#include <QDir>
#include <QStandardPaths>

namespace DataLocation {

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Tarnwick"_qs;
}

QString configFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Tarnwick"_qs;
}

} // namespace DataLocation
