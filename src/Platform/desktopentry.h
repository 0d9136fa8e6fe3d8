#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The [Desktop Entry] group of one desktop entry file, read by the Desktop Entry Specification: values of type string
// come back with their escapes (\s \n \t \r \\) resolved, lists split at unescaped ";", booleans as "true" or not.
// The launcher and the icon code re-read an entry from its location through this class; the Exec value is handed out
// with only the general escapes resolved, for the caller to apply the Exec quoting rules on top. A plain value.
class DesktopEntry
{
public:
    // The entry in `bytes`; nothing when they are not valid UTF-8, begin with a byte-order mark or hold no
    // [Desktop Entry] group. Lines that are neither comments, group headers nor key=value pairs are ignored.
    [[nodiscard]] static std::optional<DesktopEntry> parse(const QByteArray &bytes);
    // The same for a file; nothing when it cannot be read or is no plain file (a pipe, a device). A file whose
    // bytes are those read before is not parsed again. Any thread.
    [[nodiscard]] static std::optional<DesktopEntry> load(const QString &filePath);

    [[nodiscard]] bool contains(const QString &key) const { return m_values.contains(QStringView(key)); }
    // The unlocalized value of a string key; nothing when absent.
    [[nodiscard]] std::optional<QString> value(const QString &key) const;
    // The value for the first of `locales` (POSIX form: lang_COUNTRY.ENCODING@MODIFIER) that has one, each tried
    // as the Desktop Entry Specification orders it (lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER, lang), then
    // the unlocalized value.
    [[nodiscard]] std::optional<QString> localizedValue(const QString &key, const QStringList &locales) const;
    // Every localized value of `key`, by locale with the encoding part dropped (for example "zh_CN", "sr@latin").
    [[nodiscard]] QHash<QString, QString> localizedValues(const QString &key) const;
    [[nodiscard]] bool boolean(const QString &key) const;
    [[nodiscard]] QStringList stringList(const QString &key) const;

    [[nodiscard]] QString type() const { return value(u"Type"_qs).value_or(QString()); }
    [[nodiscard]] QString name() const { return value(u"Name"_qs).value_or(QString()); }
    [[nodiscard]] std::optional<QString> exec() const { return value(u"Exec"_qs); }
    [[nodiscard]] std::optional<QString> tryExec() const { return value(u"TryExec"_qs); }
    [[nodiscard]] std::optional<QString> icon() const { return value(u"Icon"_qs); }
    [[nodiscard]] std::optional<QString> workingDirectory() const { return value(u"Path"_qs); }
    [[nodiscard]] bool terminal() const { return boolean(u"Terminal"_qs); }
    [[nodiscard]] bool noDisplay() const { return boolean(u"NoDisplay"_qs); }
    [[nodiscard]] bool hidden() const { return boolean(u"Hidden"_qs); }
    [[nodiscard]] QStringList onlyShowIn() const { return stringList(u"OnlyShowIn"_qs); }
    [[nodiscard]] QStringList notShowIn() const { return stringList(u"NotShowIn"_qs); }

    // Whether the entry is shown on a desktop whose $XDG_CURRENT_DESKTOP names `currentDesktops`: the names are
    // tried in order, the first found in OnlyShowIn shows it and the first found in NotShowIn hides it; when none is
    // found it is shown unless it has an OnlyShowIn key.
    [[nodiscard]] bool isShownIn(const QStringList &currentDesktops) const;

    // "zh-Hans-CN" -> "zh_CN": a BCP 47 language tag as the POSIX locale that desktop entries key their values by
    // (the script is dropped, the region kept).
    [[nodiscard]] static QString posixLocale(const QString &languageTag);

    // Resolves \s \n \t \r \\ (other escapes stay as they are).
    [[nodiscard]] static QString unescape(QStringView raw);

private:
    QString m_text;          // the file's text; never changed, so that views into it stay good in every copy
    QStringList m_ownedKeys; // keys that lost an encoding part, which the text does not hold as such
    QHash<QStringView, QStringView> m_values; // raw values by key, "Name[zh_CN]" as written less any encoding
};
