#include "portablebundlereader.h"

PortableBundleReader::PortableBundleReader(DesktopEntryReader::Options desktopOptions)
    : m_desktopEntries(std::move(desktopOptions))
{
}

const BundleReader &PortableBundleReader::readerFor(const QString &path) const
{
    if (path.endsWith(u".desktop"))
        return m_desktopEntries;
    return m_appBundles;
}

std::optional<Bundle> PortableBundleReader::open(const QString &path) const
{
    return readerFor(path).open(path);
}

std::optional<Instant> PortableBundleReader::creationDate(const QString &path) const
{
    return readerFor(path).creationDate(path);
}
