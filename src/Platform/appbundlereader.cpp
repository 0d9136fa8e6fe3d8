#include "appbundlereader.h"

#include "propertylist.h"

#include <QDir>
#include <QFileInfo>

std::optional<Bundle> AppBundleReader::open(const QString &path) const
{
    if (!QFileInfo(path).isDir())
        return std::nullopt;
    Bundle bundle;
    bundle.path = path;
    if (auto info = PropertyList::readXmlDictionary(path + u"/Contents/Info.plist"_qs)) {
        bundle.infoDictionary = std::move(*info);
        bundle.identifier = Bundle::stringValue(bundle.infoDictionary, u"CFBundleIdentifier"_qs).value_or(QString());
    }
    const QString resources = path + u"/Contents/Resources"_qs;
    const QStringList entries =
        QDir(resources).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const auto &entry : entries) {
        if (!entry.endsWith(u".lproj"))
            continue;
        if (auto table = PropertyList::readStrings(resources + u'/' + entry + u"/InfoPlist.strings"_qs))
            bundle.localizationTables.insert(entry, std::move(*table));
    }
    return bundle;
}

std::optional<Instant> AppBundleReader::creationDate(const QString &path) const
{
    return fileBirthTime(path);
}
