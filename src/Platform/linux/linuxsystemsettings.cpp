#include "linuxsystemsettings.h"

#include "detachedprocess.h"

#include <QProcessEnvironment>
#include <QStandardPaths>

LinuxSystemSettings::LinuxSystemSettings()
    : LinuxSystemSettings(
          qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
          [](const QString &name) -> std::optional<QString> {
              const QString path = QStandardPaths::findExecutable(name);
              if (path.isEmpty())
                  return std::nullopt;
              return path;
          },
          [](const QString &executable, const QStringList &arguments) {
              DetachedProcess process;
              process.executable = executable;
              process.arguments = arguments;
              process.environment = QProcessEnvironment::systemEnvironment();
              return process.start().has_value();
          })
{
}

LinuxSystemSettings::LinuxSystemSettings(QString currentDesktop, ProgramLookup lookup, Starter starter)
    : m_currentDesktop(std::move(currentDesktop))
    , m_lookup(std::move(lookup))
    , m_starter(std::move(starter))
{
}

QStringList LinuxSystemSettings::command(const QString &currentDesktop, bool notifications)
{
    // The first desktop of the list that we know decides; "ubuntu:GNOME" is GNOME.
    const QStringList desktops = currentDesktop.split(u':', Qt::SkipEmptyParts);
    for (const QString &entry : desktops) {
        const QString desktop = entry.trimmed().toUpper();
        if (desktop == u"GNOME" || desktop.startsWith(u"GNOME-")) {
            QStringList argv{QStringLiteral("gnome-control-center")};
            if (notifications)
                argv.append(QStringLiteral("notifications"));
            return argv;
        }
        if (desktop == u"KDE") {
            QStringList argv{QStringLiteral("systemsettings")};
            if (notifications)
                argv.append(QStringLiteral("kcm_notifications"));
            return argv;
        }
    }
    return {};
}

OpenResult LinuxSystemSettings::openNotificationSettings()
{
    return run(true);
}

OpenResult LinuxSystemSettings::openSettings()
{
    return run(false);
}

OpenResult LinuxSystemSettings::run(bool notifications)
{
    const QStringList argv = command(m_currentDesktop, notifications);
    if (argv.isEmpty())
        return OpenResult::refused;
    const std::optional<QString> executable = m_lookup(argv.first());
    if (!executable)
        return OpenResult::refused;
    return m_starter(*executable, argv) ? OpenResult::started : OpenResult::refused;
}
