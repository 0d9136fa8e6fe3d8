#include "linux/desktopentrylookup.h"

#include "desktopentry.h"
#include "desktopentryreader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

// A name that two entries share stands for neither.
void insertOnce(QHash<QString, QString> &names, const QString &name, const QString &bundleID)
{
    if (name.isEmpty())
        return;
    const auto it = names.constFind(name);
    if (it == names.cend())
        names.insert(name, bundleID);
    else if (*it != bundleID)
        names.insert(name, QString());
}

} // namespace

DesktopEntryLookup::DesktopEntryLookup(const QList<DesktopAppEntry> &entries, const ProgramResolver &resolve)
{
    QHash<QString, QSet<QString>> runners;
    for (const auto &entry : entries) {
        if (entry.bundleID.isEmpty() || m_names.contains(entry.bundleID))
            continue; // the first entry of an id is the one that counts
        m_names.insert(entry.bundleID, entry.localizedName);
        if (!entry.filePath.isEmpty())
            m_byFile.insert(QDir::cleanPath(entry.filePath), entry.bundleID);
        insertOnce(m_byWindowClass, entry.startupWMClass.toCaseFolded(), entry.bundleID);
        const QString program = execProgram(entry.exec);
        if (program.isEmpty() || isWrapperProgram(program))
            continue;
        insertOnce(m_byProgramName, program.section(u'/', -1).toCaseFolded(), entry.bundleID);
        if (const auto path = resolve(program); path && !path->isEmpty()) {
            runners[*path].insert(entry.bundleID);
            if (!isWrapperProgram(*path))
                insertOnce(m_byProgramName, path->section(u'/', -1).toCaseFolded(), entry.bundleID);
        }
    }
    for (auto it = runners.cbegin(); it != runners.cend(); ++it) {
        if (it.value().size() == 1 && !isWrapperProgram(it.key()))
            m_byExecutable.insert(it.key(), *it.value().cbegin());
    }
}

DesktopEntryLookup::ProgramResolver DesktopEntryLookup::searchPathResolver()
{
    return [](const QString &program) -> std::optional<QString> {
        QString found;
        if (program.startsWith(u'/')) {
            found = program;
        } else if (!program.contains(u'/')) {
            const QString path = qEnvironmentVariable("PATH", QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
            for (const QString &dir : path.split(u':', Qt::SkipEmptyParts)) {
                const QFileInfo candidate(dir + u'/' + program);
                if (candidate.isFile() && candidate.isExecutable()) {
                    found = candidate.filePath();
                    break;
                }
            }
        }
        if (found.isEmpty())
            return std::nullopt;
        const QString canonical = QFileInfo(found).canonicalFilePath();
        if (canonical.isEmpty())
            return std::nullopt;
        return canonical;
    };
}

QList<DesktopAppEntry> DesktopEntryLookup::readEntries(const QStringList &paths, const QStringList &roots,
                                                      const QStringList &locales)
{
    QList<DesktopAppEntry> out;
    for (const QString &path : paths) {
        const auto entry = DesktopEntry::load(path);
        if (!entry)
            continue;
        const auto placement = DesktopEntryReader::placement(path, roots);
        const auto id = placement ? std::optional<QString>(placement->id) : desktopFileID(path);
        if (!id)
            continue;
        out.append({*id, entry->localizedValue(u"Name"_qs, locales).value_or(QString()),
                    entry->exec().value_or(QString()), path,
                    entry->value(u"StartupWMClass"_qs).value_or(QString())});
    }
    return out;
}

QString DesktopEntryLookup::execProgram(const QString &exec)
{
    const QString text = exec.trimmed();
    QString out;
    if (text.startsWith(u'"')) {
        for (qsizetype i = 1; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == u'\\' && i + 1 < text.size()) {
                out.append(text.at(++i));
                continue;
            }
            if (c == u'"')
                return out;
            out.append(c);
        }
        return {}; // an unclosed quote is no valid Exec
    }
    for (const QChar c : text) {
        if (c.isSpace())
            break;
        out.append(c);
    }
    return out;
}

bool DesktopEntryLookup::isWrapperProgram(const QString &path)
{
    static const QSet<QString> exact = {
        u"sh"_qs, u"bash"_qs, u"dash"_qs, u"zsh"_qs, u"ksh"_qs, u"mksh"_qs, u"csh"_qs, u"tcsh"_qs, u"fish"_qs,
        u"busybox"_qs, u"env"_qs, u"flatpak"_qs, u"flatpak-spawn"_qs, u"snap"_qs, u"bwrap"_qs, u"firejail"_qs,
        u"sudo"_qs, u"pkexec"_qs, u"su"_qs, u"gksu"_qs, u"gksudo"_qs, u"kdesu"_qs, u"xdg-open"_qs, u"gio"_qs,
        u"gtk-launch"_qs, u"kioclient"_qs, u"kioclient5"_qs, u"kioclient6"_qs, u"exo-open"_qs, u"nohup"_qs,
        u"setsid"_qs, u"nice"_qs, u"ionice"_qs, u"taskset"_qs, u"stdbuf"_qs, u"timeout"_qs, u"dbus-launch"_qs,
        u"dbus-run-session"_qs, u"systemd-run"_qs, u"gjs"_qs, u"gjs-console"_qs, u"qemu"_qs, u"appimagelauncher"_qs,
    };
    // Interpreters and runtimes, with or without a version: python3, python3.11, perl5.36, node18, wine64 ...
    static const QRegularExpression versioned(QStringLiteral(
        "^(python|pypy|perl|ruby|irb|node|nodejs|lua|luajit|php|tclsh|wish|electron|java|wine|mono|guile|"
        "Rscript|qemu-[a-z0-9_]+|ld-linux[a-z0-9_-]*)[0-9.\\-]*(\\.so\\.[0-9]+)?$"));
    const QString name = path.section(u'/', -1);
    return exact.contains(name) || versioned.match(name).hasMatch();
}

std::optional<QString> DesktopEntryLookup::desktopFileID(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    static constexpr QStringView folder = u"/applications/";
    const auto at = clean.lastIndexOf(folder);
    if (at < 0 || !clean.endsWith(u".desktop"))
        return std::nullopt;
    QString relative = clean.mid(at + folder.size());
    relative.chop(int(QStringView(u".desktop").size()));
    if (relative.isEmpty())
        return std::nullopt;
    return relative.replace(u'/', u'-');
}

std::optional<QString> DesktopEntryLookup::bundleIDForExecutable(const QString &executable) const
{
    if (executable.isEmpty() || executable == u"/")
        return std::nullopt;
    if (const auto it = m_byExecutable.constFind(executable); it != m_byExecutable.cend())
        return *it;
    return std::nullopt;
}

std::optional<QString> DesktopEntryLookup::bundleIDForDesktopFile(const QString &path) const
{
    if (path.isEmpty())
        return std::nullopt;
    if (const auto it = m_byFile.constFind(QDir::cleanPath(path)); it != m_byFile.cend())
        return *it;
    return desktopFileID(path);
}

std::optional<QString> DesktopEntryLookup::bundleIDForWindowClass(const QString &instanceName,
                                                                  const QString &className) const
{
    const QString names[] = {className.toCaseFolded(), instanceName.toCaseFolded()};
    for (const QHash<QString, QString> *table : {&m_byWindowClass, &m_byProgramName}) {
        QSet<QString> found;
        for (const QString &name : names) {
            if (name.isEmpty())
                continue;
            if (const auto it = table->constFind(name); it != table->cend())
                found.insert(*it);
        }
        if (found.size() == 1 && !found.cbegin()->isEmpty())
            return *found.cbegin();
        if (!found.isEmpty())
            return std::nullopt; // the names point at different entries, or at shared ones
    }
    return std::nullopt;
}
