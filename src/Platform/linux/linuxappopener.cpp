#include "linux/linuxappopener.h"

#include "desktopentry.h"
#include "desktopexec.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The terminals that run a command given after a flag, tried in this order: Debian's alternative first, then the
// desktops' own, then xterm.
struct Terminal
{
    const char16_t *program;
    const char16_t *flag;
};
constexpr Terminal terminals[] = {
    {u"x-terminal-emulator", u"-e"}, {u"gnome-terminal", u"--"}, {u"konsole", u"-e"}, {u"xfce4-terminal", u"-x"},
    {u"mate-terminal", u"-x"},       {u"kgx", u"--"},            {u"tilix", u"-e"},   {u"xterm", u"-e"},
};

} // namespace

LinuxAppOpener::LinuxAppOpener(Options options)
    : m_options(std::move(options))
{
    if (m_options.environment.isEmpty())
        m_options.environment = QProcessEnvironment::systemEnvironment();
    if (!m_options.start)
        m_options.start = [](const DetachedProcess &process) { return process.start(); };
}

OpenResult LinuxAppOpener::openApplication(const QString &appPath)
{
    if (m_options.activateRunning && m_options.activateRunning(appPath))
        return OpenResult::started;
    return open(appPath, {});
}

OpenResult LinuxAppOpener::openURL(const QUrl &url, const QString &appPath)
{
    return open(appPath, {url});
}

OpenResult LinuxAppOpener::open(const QString &appPath, const QList<QUrl> &urls)
{
    const auto process = command(appPath, urls);
    if (!process)
        return OpenResult::refused;
    return m_options.start(*process) ? OpenResult::started : OpenResult::refused;
}

std::optional<DetachedProcess> LinuxAppOpener::command(const QString &appPath, const QList<QUrl> &urls) const
{
    if (!appPath.endsWith(u".desktop"))
        return std::nullopt;
    const auto entry = DesktopEntry::load(appPath);
    if (!entry)
        return std::nullopt;
    const QString exec = entry->exec().value_or(QString());
    DesktopExec::Inputs inputs;
    inputs.urls = urls;
    inputs.icon = entry->icon().value_or(QString());
    inputs.name = entry->localizedValue(u"Name"_qs, m_options.locales).value_or(QString());
    inputs.desktopFile = appPath;
    const auto words = DesktopExec::expand(exec, inputs);
    if (!words)
        return std::nullopt;

    const QString workingDirectory = entry->workingDirectory().value_or(QString());
    if (!workingDirectory.isEmpty() && !QFileInfo(workingDirectory).isDir())
        return std::nullopt;
    const auto program = findProgram(words->first(), workingDirectory);
    if (!program)
        return std::nullopt;

    DetachedProcess process;
    if (entry->terminal()) {
        for (const Terminal &terminal : terminals) {
            const QString name = QString::fromUtf16(terminal.program);
            if (const auto found = findProgram(name, workingDirectory)) {
                process.executable = *found;
                process.arguments = QStringList{name, QString::fromUtf16(terminal.flag)} + *words;
                break;
            }
        }
        if (process.executable.isEmpty())
            return std::nullopt;
    } else {
        process.executable = *program;
        process.arguments = *words;
    }
    process.workingDirectory = workingDirectory;
    process.environment = m_options.environment;
    process.environment.insert(u"GIO_LAUNCHED_DESKTOP_FILE"_qs, appPath);
    process.ownPidVariable = u"GIO_LAUNCHED_DESKTOP_FILE_PID"_qs;
    return process;
}

std::optional<QString> LinuxAppOpener::findProgram(const QString &program, const QString &workingDirectory) const
{
    if (program.contains(u'/')) {
        const QString base = workingDirectory.isEmpty() ? QDir::currentPath() : workingDirectory;
        const QFileInfo info(QDir(base).absoluteFilePath(program));
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
        return std::nullopt;
    }
    QString path = m_options.environment.value(u"PATH"_qs);
    if (path.isEmpty())
        path = u"/usr/local/bin:/usr/bin:/bin"_qs;
    const QString found = QStandardPaths::findExecutable(program, path.split(u':', Qt::SkipEmptyParts));
    if (found.isEmpty())
        return std::nullopt;
    return found;
}
