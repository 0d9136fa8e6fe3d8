#include "desktopentry.h"

#include <QFile>
#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <mutex>
#include <unordered_map>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString desktopEntryGroup = u"Desktop Entry"_qs;

bool isKeyChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-';
}

// "Name" or "Name[zh_CN.UTF-8]" as the key it is stored under ("Name[zh_CN]"); nothing for a malformed key. A key
// that loses an encoding part is kept in `owned`; any other stays a view into the text.
std::optional<QStringView> normalizedKey(QStringView key, QStringList &owned)
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
        return base;
    if (!key.endsWith(u']') || key.size() - bracket < 3)
        return std::nullopt;
    const QStringView locale = key.sliced(bracket + 1, key.size() - bracket - 2);
    const qsizetype dot = locale.indexOf(u'.');
    if (dot < 0)
        return key;
    const qsizetype at = locale.indexOf(u'@', dot);
    QString withoutEncoding = locale.first(dot).toString();
    if (at >= 0)
        withoutEncoding += locale.sliced(at);
    if (withoutEncoding.isEmpty())
        return std::nullopt;
    owned.append(base.toString() + u'[' + withoutEncoding + u']');
    return QStringView(owned.constLast());
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
    // Keys and values stay views into this text, which no copy of the entry ever changes.
    entry.m_text = text;
    enum class Where { BeforeGroups, InEntry, Elsewhere } where = Where::BeforeGroups;
    bool sawEntryGroup = false;
    for (QStringView line : QStringView(entry.m_text).split(u'\n')) {
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
        const auto key = normalizedKey(line.first(eq).trimmed(), entry.m_ownedKeys);
        if (!key || entry.m_values.contains(*key))
            continue;
        entry.m_values.insert(*key, line.sliced(eq + 1).trimmed());
    }
    if (!sawEntryGroup)
        return std::nullopt;
    return entry;
}

namespace {

// The entries read lately, by path and the bytes they were parsed from: the index, the reader and the launcher read
// the same files one after another, and a rescan reads again files that mostly did not change. Reading a file is
// cheap, parsing it is not; comparing the bytes (not the file's times, which can stay the same across a quick
// rewrite) makes this a pure memo, so sharing it across the process changes no result. Any thread.
class ReadEntries
{
public:
    std::optional<std::optional<DesktopEntry>> find(const QString &path, const QByteArray &bytes)
    {
        Shard &shard = shardOf(path);
        const std::lock_guard lock(shard.mutex);
        const auto it = shard.entries.find(path);
        if (it == shard.entries.end() || it->second.first != bytes)
            return std::nullopt;
        return it->second.second;
    }

    void keep(const QString &path, const QByteArray &bytes, const std::optional<DesktopEntry> &entry)
    {
        Shard &shard = shardOf(path);
        const std::lock_guard lock(shard.mutex);
        // Far above any real set of applications folders; it only keeps files that come and go from piling up.
        if (shard.entries.size() >= 1024)
            shard.entries.clear();
        shard.entries.insert_or_assign(path, std::pair(bytes, entry));
    }

private:
    // Several threads read entries at once; each path's lock is one of several.
    struct Shard
    {
        std::mutex mutex;
        std::unordered_map<QString, std::pair<QByteArray, std::optional<DesktopEntry>>> entries;
    };
    std::array<Shard, 16> m_shards;

    Shard &shardOf(const QString &path) { return m_shards[qHash(path) % m_shards.size()]; }
};

ReadEntries &readEntries()
{
    static ReadEntries instance;
    return instance;
}

std::optional<QByteArray> readAll(int fd, off_t size)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(size) + 1);
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            return bytes;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        bytes.append(buffer, qsizetype(n));
    }
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::load(const QString &filePath)
{
    // Opening a named pipe waits for a writer, and a device may never end: only plain files are entries. Opening
    // without waiting and then looking at what was opened leaves no moment for a swap.
    const int fd = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        bytes = readAll(fd, st.st_size);
    ::close(fd);
    if (!bytes)
        return std::nullopt;
    if (auto known = readEntries().find(filePath, *bytes))
        return *known;
    std::optional<DesktopEntry> entry = parse(*bytes);
    readEntries().keep(filePath, *bytes, entry);
    return entry;
}

std::optional<QString> DesktopEntry::value(const QString &key) const
{
    const auto it = m_values.constFind(QStringView(key));
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
            out.insert(it.key().sliced(prefix.size()).chopped(1).toString(), unescape(*it));
    }
    return out;
}

bool DesktopEntry::boolean(const QString &key) const
{
    const auto it = m_values.constFind(QStringView(key));
    return it != m_values.constEnd() && *it == u"true";
}

QStringList DesktopEntry::stringList(const QString &key) const
{
    const auto it = m_values.constFind(QStringView(key));
    if (it == m_values.constEnd())
        return {};
    QStringList out;
    QString current;
    const QStringView raw = *it;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'\\' && i + 1 < raw.size()) {
            if (raw[i + 1] == u';')
                current += u';';
            else
                current += unescape(raw.sliced(i, 2));
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
