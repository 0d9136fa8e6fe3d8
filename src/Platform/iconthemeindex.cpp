#include "iconthemeindex.h"

#include <QFile>
#include <QFileInfo>

#include <climits>
#include <cstdlib>

namespace {

const QStringList extensions = {u"png"_qs, u"svg"_qs, u"xpm"_qs};

// The groups of an index.theme file: key=value lines under [Group] headers; "#" starts a comment line.
QHash<QString, QHash<QString, QString>> readGroups(const QString &path)
{
    QHash<QString, QHash<QString, QString>> groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return groups;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || group.isEmpty())
            continue;
        groups[group].insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return groups;
}

QStringList listValue(const QString &value)
{
    QStringList out;
    for (const auto &part : value.split(u',', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            out.append(trimmed);
    }
    return out;
}

int intValue(const QHash<QString, QString> &group, const QString &key, int fallback)
{
    bool ok = false;
    const int value = group.value(key).toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

struct IconThemeIndex::Theme
{
    enum class Type { fixed, scalable, threshold };
    struct Directory
    {
        QString name;
        int size = 0;
        int scale = 1;
        Type type = Type::threshold;
        int minSize = 0;
        int maxSize = 0;
        int threshold = 2;

        [[nodiscard]] bool matches(int iconSize) const
        {
            if (scale != 1)
                return false;
            switch (type) {
            case Type::fixed: return size == iconSize;
            case Type::scalable: return minSize <= iconSize && iconSize <= maxSize;
            case Type::threshold: return size - threshold <= iconSize && iconSize <= size + threshold;
            }
            return false;
        }

        [[nodiscard]] int distance(int iconSize) const
        {
            switch (type) {
            case Type::fixed:
                return std::abs(size * scale - iconSize);
            case Type::scalable:
                if (iconSize < minSize * scale)
                    return minSize * scale - iconSize;
                if (iconSize > maxSize * scale)
                    return iconSize - maxSize * scale;
                return 0;
            case Type::threshold:
                if (iconSize < (size - threshold) * scale)
                    return (size - threshold) * scale - iconSize;
                if (iconSize > (size + threshold) * scale)
                    return iconSize - (size + threshold) * scale;
                return 0;
            }
            return INT_MAX;
        }
    };

    QString name;
    QStringList parents;
    QList<Directory> directories;
    QStringList roots; // <base folder>/<theme>, for every base folder that has one
};

IconThemeIndex::IconThemeIndex(QStringList baseFolders, QString themeName)
    : m_baseFolders(std::move(baseFolders))
    , m_themeName(std::move(themeName))
{
}

IconThemeIndex::~IconThemeIndex() = default;

std::optional<QString> IconThemeIndex::find(const QString &name, int size) const
{
    if (name.isEmpty())
        return std::nullopt;
    QStringList visited;
    if (!m_themeName.isEmpty()) {
        if (auto file = findInTheme(m_themeName, name, size, visited))
            return file;
    }
    if (auto file = findInTheme(fallbackTheme.toString(), name, size, visited))
        return file;
    for (const auto &base : m_baseFolders) {
        for (const auto &extension : extensions) {
            const QString file = base + u'/' + name + u'.' + extension;
            if (QFileInfo(file).isFile())
                return file;
        }
    }
    return std::nullopt;
}

std::shared_ptr<const IconThemeIndex::Theme> IconThemeIndex::theme(const QString &name) const
{
    {
        std::lock_guard lock(m_mutex);
        if (const auto it = m_themes.constFind(name); it != m_themes.constEnd())
            return *it;
    }
    std::shared_ptr<Theme> made;
    QStringList roots;
    for (const auto &base : m_baseFolders) {
        const QString root = base + u'/' + name;
        if (!QFileInfo(root).isDir())
            continue;
        // Every base folder may hold files of the theme; the first index.theme met describes it.
        roots.append(root);
        if (made || !QFileInfo(root + u"/index.theme"_qs).isFile())
            continue;
        const auto groups = readGroups(root + u"/index.theme"_qs);
        const auto header = groups.value(u"Icon Theme"_qs);
        made = std::make_shared<Theme>();
        made->name = name;
        made->parents = listValue(header.value(u"Inherits"_qs));
        const QStringList names =
            listValue(header.value(u"Directories"_qs)) + listValue(header.value(u"ScaledDirectories"_qs));
        for (const auto &dirName : names) {
            const auto group = groups.value(dirName);
            Theme::Directory dir;
            dir.name = dirName;
            dir.size = intValue(group, u"Size"_qs, 0);
            if (dir.size <= 0)
                continue;
            dir.scale = intValue(group, u"Scale"_qs, 1);
            const QString type = group.value(u"Type"_qs, u"Threshold"_qs);
            dir.type = type == u"Fixed"      ? Theme::Type::fixed
                       : type == u"Scalable" ? Theme::Type::scalable
                                             : Theme::Type::threshold;
            dir.minSize = intValue(group, u"MinSize"_qs, dir.size);
            dir.maxSize = intValue(group, u"MaxSize"_qs, dir.size);
            dir.threshold = intValue(group, u"Threshold"_qs, 2);
            made->directories.append(dir);
        }
    }
    if (made)
        made->roots = roots;
    std::lock_guard lock(m_mutex);
    return *m_themes.insert(name, made);
}

std::optional<QString> IconThemeIndex::findInTheme(const QString &themeName, const QString &name, int size,
                                                   QStringList &visited) const
{
    if (visited.contains(themeName))
        return std::nullopt;
    visited.append(themeName);
    const auto found = theme(themeName);
    if (!found)
        return std::nullopt;
    if (auto file = lookUp(*found, name, size))
        return file;
    for (const auto &parent : found->parents) {
        if (auto file = findInTheme(parent, name, size, visited))
            return file;
    }
    return std::nullopt;
}

std::optional<QString> IconThemeIndex::lookUp(const Theme &theme, const QString &name, int size) const
{
    const auto fileIn = [&](const Theme::Directory &dir) -> std::optional<QString> {
        for (const auto &root : theme.roots) {
            for (const auto &extension : extensions) {
                const QString file = root + u'/' + dir.name + u'/' + name + u'.' + extension;
                if (QFileInfo(file).isFile())
                    return file;
            }
        }
        return std::nullopt;
    };
    std::optional<QString> closest;
    int closestDistance = INT_MAX;
    for (const auto &dir : theme.directories) {
        if (dir.matches(size)) {
            if (auto file = fileIn(dir))
                return file;
            continue;
        }
        const int distance = dir.distance(size);
        if (distance >= closestDistance)
            continue;
        if (auto file = fileIn(dir)) {
            closest = file;
            closestDistance = distance;
        }
    }
    return closest;
}
