#pragma once

#include "bundlereader.h"

// Reads .app bundles: a folder with Contents/Info.plist (an XML property list) and the tables
// Contents/Resources/<language>.lproj/InfoPlist.strings. Any folder opens; one without a readable Info.plist has an
// empty identifier and dictionary. Stateless; safe to use from several threads. Owned by main.cpp (or a test).
class AppBundleReader : public BundleReader
{
public:
    [[nodiscard]] std::optional<Bundle> open(const QString &path) const override;
    [[nodiscard]] std::optional<Instant> creationDate(const QString &path) const override;
};
