#pragma once

#include "appbundlereader.h"
#include "desktopentryreader.h"

// The reader the program uses: a location ending in ".desktop" is read as a desktop entry, any other as an .app
// bundle. Stateless after construction; safe to use from several threads. Owned by main.cpp.
class PortableBundleReader : public BundleReader
{
public:
    explicit PortableBundleReader(DesktopEntryReader::Options desktopOptions);

    [[nodiscard]] std::optional<Bundle> open(const QString &path) const override;
    [[nodiscard]] std::optional<Instant> creationDate(const QString &path) const override;

private:
    DesktopEntryReader m_desktopEntries;
    AppBundleReader m_appBundles;

    [[nodiscard]] const BundleReader &readerFor(const QString &path) const;
};
