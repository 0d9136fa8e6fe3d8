#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// Readers of the two text forms an .app bundle keeps its information in: XML property lists (Info.plist) and string
// tables (InfoPlist.strings: "key" = "value"; with /* */ and // comments, in UTF-8 or in UTF-16 with a byte-order
// mark). Binary property lists are not read. Pure functions.
class PropertyList
{
public:
    // The top value of an XML property list: QVariantMap for <dict>, QVariantList for <array>, QString, qint64,
    // double, bool, QDateTime (UTC) or QByteArray; nothing when the document is malformed.
    [[nodiscard]] static std::optional<QVariant> parseXml(const QByteArray &bytes);
    // A string table; nothing when it is malformed. A table written as an XML property list dictionary is read too.
    [[nodiscard]] static std::optional<QVariantMap> parseStrings(const QByteArray &bytes);

    // The same for files; nothing when the file cannot be read, is no plain file (a pipe, a device) or its top
    // value is not a dictionary.
    [[nodiscard]] static std::optional<QVariantMap> readXmlDictionary(const QString &filePath);
    [[nodiscard]] static std::optional<QVariantMap> readStrings(const QString &filePath);
};
