#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// What the catalogue reads of one app at one location: its identifier, its information dictionary and its
// localization tables. An .app bundle fills these from Contents/Info.plist and Contents/Resources/*.lproj; a desktop
// entry from its Name keys. A plain value, safe to hand between threads.
struct Bundle
{
    QString path;       // the location it was opened at
    QString identifier; // CFBundleIdentifier, or the desktop-file id; may be empty
    // Keys such as "CFBundleName" and "CFBundleDisplayName"; values are QString, bool, qint64, double, QDateTime,
    // QByteArray, QVariantList or QVariantMap, as the property list had them.
    QVariantMap infoDictionary;
    // The resource folder's entries whose names end with ".lproj", by entry name (for example "zh_CN.lproj"),
    // each with its InfoPlist.strings table. Entries whose table cannot be read are absent.
    QMap<QString, QVariantMap> localizationTables;

    // A string value of the information dictionary; nothing when it is absent or not a string.
    [[nodiscard]] static std::optional<QString> stringValue(const QVariantMap &table, const QString &key)
    {
        const auto it = table.constFind(key);
        if (it == table.constEnd() || it->typeId() != QMetaType::QString)
            return std::nullopt;
        return it->toString();
    }

    friend bool operator==(const Bundle &, const Bundle &) = default;
};
