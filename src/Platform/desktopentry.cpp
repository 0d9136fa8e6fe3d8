#include "desktopentry.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

const QString desktopEntryGroup = u"Desktop Entry"_qs;

bool isKeyChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-';
}

// "Name" or "Name[zh_CN.UTF-8]" as the key it is stored under ("Name[zh_CN]"); nothing for a malformed key.
std::optional<QString> normalizedKey(QStringView key)
{
    qsizetype bracket = key.indexOf(u'[');
    const QStringView base = bracket < 0 ? key : key.first(bracket);
    if (base.isEmpty())
        return std::nullopt;
    for (QChar c : base) {
        if (!isKeyChar(c))
            return std::nullopt;
    }
    if (bracket < 0)
        return base.toString();
    if (!key.endsWith(u']') || key.size() - bracket < 3)
        return std::nullopt;
    QString locale = key.sliced(bracket + 1, key.size() - bracket - 2).toString();
    const qsizetype dot = locale.indexOf(u'.');
    if (dot >= 0) {
        const qsizetype at = locale.indexOf(u'@', dot);
        locale.remove(dot, (at < 0 ? locale.size() : at) - dot);
    }
    if (locale.isEmpty())
        return std::nullopt;
    return base.toString() + u'[' + locale + u']';
}

struct LocaleParts
{
    QString lang;
    QString country;
    QString modifier;
};

LocaleParts splitLocale(QString locale)
{
    LocaleParts parts;
    const qsizetype at = locale.indexOf(u'@');
    if (at >= 0) {
        parts.modifier = locale.sliced(at + 1);
        locale.truncate(at);
    }
    const qsizetype dot = locale.indexOf(u'.');
    if (dot >= 0)
        locale.truncate(dot);
    const qsizetype underscore = locale.indexOf(u'_');
    if (underscore >= 0) {
        parts.country = locale.sliced(underscore + 1);
        locale.truncate(underscore);
    }
    parts.lang = locale;
    return parts;
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::parse(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;

    DesktopEntry entry;
    enum class Where { BeforeGroups, InEntry, Elsewhere } where = Where::BeforeGroups;
    bool sawEntryGroup = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const bool isEntryGroup = line.sliced(1, line.size() - 2) == desktopEntryGroup;
            // A second [Desktop Entry] group is not the entry; the first one counts.
            where = isEntryGroup && !sawEntryGroup ? Where::InEntry : Where::Elsewhere;
            sawEntryGroup = sawEntryGroup || isEntryGroup;
            continue;
        }
        if (where != Where::InEntry)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const auto key = normalizedKey(line.first(eq).trimmed());
        if (!key || entry.m_values.contains(*key))
            continue;
        entry.m_values.insert(*key, line.sliced(eq + 1).trimmed().toString());
    }
    if (!sawEntryGroup)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::load(const QString &filePath)
{
    // Opening a named pipe waits for a writer, and a device may never end: only plain files are entries.
    if (!QFileInfo(filePath).isFile())
        return std::nullopt;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parse(file.readAll());
}

std::optional<QString> DesktopEntry::value(const QString &key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return unescape(*it);
}

std::optional<QString> DesktopEntry::localizedValue(const QString &key, const QStringList &locales) const
{
    for (const auto &locale : locales) {
        const LocaleParts p = splitLocale(locale);
        if (p.lang.isEmpty())
            continue;
        QStringList candidates;
        if (!p.country.isEmpty() && !p.modifier.isEmpty())
            candidates << p.lang + u'_' + p.country + u'@' + p.modifier;
        if (!p.country.isEmpty())
            candidates << p.lang + u'_' + p.country;
        if (!p.modifier.isEmpty())
            candidates << p.lang + u'@' + p.modifier;
        candidates << p.lang;
        for (const auto &candidate : candidates) {
            if (auto v = value(key + u'[' + candidate + u']'))
                return v;
        }
    }
    return value(key);
}

QHash<QString, QString> DesktopEntry::localizedValues(const QString &key) const
{
    QHash<QString, QString> out;
    const QString prefix = key + u'[';
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it) {
        if (it.key().startsWith(prefix))
            out.insert(it.key().sliced(prefix.size()).chopped(1), unescape(*it));
    }
    return out;
}

bool DesktopEntry::boolean(const QString &key) const
{
    const auto it = m_values.constFind(key);
    return it != m_values.constEnd() && *it == u"true";
}

QStringList DesktopEntry::stringList(const QString &key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return {};
    QStringList out;
    QString current;
    const QString &raw = *it;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'\\' && i + 1 < raw.size()) {
            if (raw[i + 1] == u';')
                current += u';';
            else
                current += unescape(QStringView(raw).sliced(i, 2));
            ++i;
        } else if (c == u';') {
            if (!current.isEmpty())
                out << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        out << current;
    return out;
}

bool DesktopEntry::isShownIn(const QStringList &currentDesktops) const
{
    const QStringList only = onlyShowIn();
    const QStringList never = notShowIn();
    for (const auto &desktop : currentDesktops) {
        if (only.contains(desktop))
            return true;
        if (never.contains(desktop))
            return false;
    }
    return !contains(u"OnlyShowIn"_qs);
}

QString DesktopEntry::posixLocale(const QString &languageTag)
{
    if (languageTag.contains(u'_') || languageTag.contains(u'@') || languageTag.contains(u'.'))
        return languageTag;
    const QStringList parts = languageTag.split(u'-', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    QString out = parts.first();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString &part = parts[i];
        const bool isRegion = (part.size() == 2 && part[0].isLetter() && part[1].isLetter())
            || (part.size() == 3 && part[0].isDigit() && part[1].isDigit() && part[2].isDigit());
        if (isRegion)
            return out + u'_' + part.toUpper();
    }
    return out;
}

QString DesktopEntry::unescape(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw[i + 1];
        switch (next.unicode()) {
        case 's': out += u' '; break;
        case 'n': out += u'\n'; break;
        case 't': out += u'\t'; break;
        case 'r': out += u'\r'; break;
        case '\\': out += u'\\'; break;
        default: out += c; out += next; break;
        }
        ++i;
    }
    return out;
}
