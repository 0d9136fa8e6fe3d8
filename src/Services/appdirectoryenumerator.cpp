#include "appdirectoryenumerator.h"

#include "bundlereader.h"
#include "folderlisting.h"

#include <QHash>

namespace {

const QString appSuffix = u".app"_qs;
const QString desktopSuffix = u".desktop"_qs;
const QString lprojSuffix = u".lproj"_qs;

bool isSpaceOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString joinedPath(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

} // namespace

AppDirectoryEnumerator::AppDirectoryEnumerator(const BundleReader &reader)
    : m_reader(reader)
{
}

bool AppDirectoryEnumerator::isBundleName(QStringView name)
{
    return name.endsWith(appSuffix) || name.endsWith(desktopSuffix);
}

QList<AppDirectoryEnumerator::Found> AppDirectoryEnumerator::enumerate(const QStringList &scopes) const
{
    QList<Found> found;
    const auto take = [&](const QString &path) {
        const auto bundle = m_reader.open(path);
        if (bundle && !bundle->identifier.isEmpty())
            found.append({bundle->identifier, QUrl::fromLocalFile(path)});
    };
    for (const auto &root : scopes) {
        for (const auto &[name, kind] : FolderListing::sortedEntries(root)) {
            if (name.startsWith(u'.'))
                continue;
            const QString path = joinedPath(root, name);
            if (isBundleName(name)) {
                take(path);
            } else if (kind == FolderListing::Entry::Kind::folder) {
                for (const auto &inner : FolderListing::sortedNames(path)) {
                    if (isBundleName(inner) && !inner.startsWith(u'.'))
                        take(path + u'/' + inner);
                }
            }
        }
    }
    return found;
}

QString AppDirectoryEnumerator::displayName(const Bundle &bundle, const QString &path,
                                            const QStringList &preferredLanguages)
{
    QHash<QString, QString> table;
    for (auto it = bundle.localizationTables.constBegin(); it != bundle.localizationTables.constEnd(); ++it) {
        if (!it.key().endsWith(lprojSuffix))
            continue;
        auto name = Bundle::stringValue(*it, u"CFBundleDisplayName"_qs);
        if (!name)
            name = Bundle::stringValue(*it, u"CFBundleName"_qs);
        if (!name)
            continue;
        // A display name that is there but blank leaves the folder out; its CFBundleName is not tried.
        const QString trimmed = trimmedSpacesAndTabs(*name);
        if (!trimmed.isEmpty())
            table.insert(it.key().chopped(lprojSuffix.size()), trimmed);
    }

    for (QString language : preferredLanguages) {
        language.replace(u'_', u'-');
        QStringList parts = language.split(u'-', Qt::SkipEmptyParts);
        while (!parts.isEmpty()) {
            const QString key = parts.join(u'-');
            if (const auto it = table.constFind(key); it != table.constEnd())
                return *it;
            const QString underscored = QString(key).replace(u'-', u'_');
            if (const auto it = table.constFind(underscored); it != table.constEnd())
                return *it;
            parts.removeLast();
        }
    }

    if (auto name = Bundle::stringValue(bundle.infoDictionary, u"CFBundleDisplayName"_qs))
        return *name;
    if (auto name = Bundle::stringValue(bundle.infoDictionary, u"CFBundleName"_qs))
        return *name;
    return removingPathExtension(lastPathComponent(path));
}

QString AppDirectoryEnumerator::removingPathExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.first(dot) : name;
}

QString AppDirectoryEnumerator::removingBundleSuffix(const QString &name)
{
    for (const auto &suffix : {appSuffix, desktopSuffix}) {
        if (name.size() > suffix.size() && name.endsWith(suffix))
            return name.chopped(suffix.size());
    }
    return name;
}

QString AppDirectoryEnumerator::trimmedSpacesAndTabs(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrTab(text[begin]))
        ++begin;
    while (end > begin && isSpaceOrTab(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString AppDirectoryEnumerator::lastPathComponent(const QString &path)
{
    QStringView view(path);
    while (view.size() > 1 && view.endsWith(u'/'))
        view.chop(1);
    const qsizetype slash = view.lastIndexOf(u'/');
    return (slash < 0 ? view : view.sliced(slash + 1)).toString();
}
