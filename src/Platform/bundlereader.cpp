#include "bundlereader.h"

#include <QFileInfo>

std::optional<Instant> BundleReader::fileBirthTime(const QString &path)
{
    const QDateTime born = QFileInfo(path).birthTime();
    if (!born.isValid() || born.toMSecsSinceEpoch() == 0)
        return std::nullopt;
    return Instants::fromDateTime(born);
}
