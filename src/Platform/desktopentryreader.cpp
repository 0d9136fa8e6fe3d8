#include "desktopentryreader.h"

#include "desktopexec.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString desktopSuffix = u".desktop"_qs;

// Below `folder`, a file whose path relative to it (with "/" as "-") is `rest` + ".desktop".
bool holds(const QString &folder, const QString &rest, int depth)
{
    if (QFileInfo(folder + u'/' + rest + desktopSuffix).isFile())
        return true;
    // Sub-folders are bounded as the index bounds its walk.
    if (depth >= 8)
        return false;
    for (qsizetype dash = rest.indexOf(u'-'); dash > 0; dash = rest.indexOf(u'-', dash + 1)) {
        const QString sub = folder + u'/' + rest.first(dash);
        if (QFileInfo(sub).isDir() && holds(sub, rest.sliced(dash + 1), depth + 1))
            return true;
    }
    return false;
}

} // namespace

DesktopEntryReader::DesktopEntryReader(Options options)
    : m_options(std::move(options))
{
}

std::optional<DesktopEntryReader::Placement> DesktopEntryReader::placement(const QString &path,
                                                                           const QStringList &roots)
{
    if (!path.endsWith(desktopSuffix))
        return std::nullopt;
    const QString clean = QDir::cleanPath(path);
    for (int i = 0; i < roots.size(); ++i) {
        const QString root = QDir::cleanPath(roots[i]);
        if (root.isEmpty() || !clean.startsWith(root + u'/'))
            continue;
        QString relative = clean.sliced(root.size() + 1);
        relative.chop(desktopSuffix.size());
        if (relative.isEmpty() || relative.endsWith(u'/'))
            return std::nullopt;
        relative.replace(u'/', u'-');
        return Placement{i, relative};
    }
    return std::nullopt;
}

bool DesktopEntryReader::rootHoldsId(const QString &root, const QString &id)
{
    return !id.isEmpty() && holds(QDir::cleanPath(root), id, 0);
}

Bundle DesktopEntryReader::bundleOf(const QString &path, const QString &id, const DesktopEntry &entry)
{
    Bundle bundle;
    bundle.path = path;
    bundle.identifier = id;
    bundle.infoDictionary.insert(u"CFBundleIdentifier"_qs, id);
    if (auto name = entry.value(u"Name"_qs))
        bundle.infoDictionary.insert(u"CFBundleName"_qs, *name);
    const auto names = entry.localizedValues(u"Name"_qs);
    for (auto it = names.constBegin(); it != names.constEnd(); ++it)
        bundle.localizationTables.insert(it.key() + u".lproj"_qs, QVariantMap{{u"CFBundleName"_qs, it.value()}});
    return bundle;
}

bool DesktopEntryReader::canBeOpened(const DesktopEntry &entry) const
{
    if (entry.type() != u"Application" || entry.noDisplay() || entry.hidden())
        return false;
    if (!entry.isShownIn(m_options.currentDesktops))
        return false;
    if (const auto program = entry.tryExec(); program && m_options.programExists) {
        if (program->isEmpty() || !m_options.programExists(*program))
            return false;
    }
    return startsAProgram(entry);
}

bool DesktopEntryReader::startsAProgram(const DesktopEntry &entry) const
{
    const std::optional<QString> exec = entry.exec();
    // Such an entry is started over the bus; there is no program to look for.
    if (!exec)
        return entry.boolean(u"DBusActivatable"_qs);
    const std::optional<QStringList> words = DesktopExec::expand(*exec, {});
    if (!words)
        return false;
    if (!m_options.programExists)
        return true;
    // The executable is the first word, as the Desktop Entry Specification has it: in "env A=1 app" that is env.
    QString program = words->first();
    if (program.contains(u'/') && !QDir::isAbsolutePath(program)) {
        // Relative to the entry's working folder, where the launcher starts it; without one there is no telling.
        const QString folder = entry.workingDirectory().value_or(QString());
        if (!QDir::isAbsolutePath(folder))
            return false;
        program = QDir(folder).absoluteFilePath(program);
    }
    return m_options.programExists(program);
}

std::optional<Bundle> DesktopEntryReader::open(const QString &path) const
{
    const auto place = placement(path, m_options.roots);
    if (!place)
        return std::nullopt;
    for (int earlier = 0; earlier < place->rootIndex; ++earlier) {
        if (rootHoldsId(m_options.roots[earlier], place->id))
            return std::nullopt;
    }
    const auto entry = DesktopEntry::load(path);
    if (!entry || !canBeOpened(*entry))
        return std::nullopt;
    return bundleOf(path, place->id, *entry);
}

std::optional<Instant> DesktopEntryReader::creationDate(const QString &path) const
{
    return fileBirthTime(path);
}
