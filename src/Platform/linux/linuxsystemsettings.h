#pragma once

#include "systemsettings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The settings program of the desktop named by XDG_CURRENT_DESKTOP: GNOME's gnome-control-center or KDE's
// systemsettings, started detached with an argument list (no shell). Any other desktop, or a settings program that is
// not on the PATH or does not start, is refused. Main thread; owned by main.cpp.
class LinuxSystemSettings : public SystemSettings
{
public:
    // The absolute path of a program found on the PATH, or nothing.
    using ProgramLookup = std::function<std::optional<QString>(const QString &name)>;
    // Starts `executable` with the whole argument vector; false when it could not be started.
    using Starter = std::function<bool(const QString &executable, const QStringList &arguments)>;

    // The desktop list as XDG_CURRENT_DESKTOP gives it (entries separated by colons); PATH lookup and a detached start.
    LinuxSystemSettings();
    LinuxSystemSettings(QString currentDesktop, ProgramLookup lookup, Starter starter);

    OpenResult openNotificationSettings() override;
    OpenResult openSettings() override;

    // The argument vector, program name first, for the notification page or the start page; empty for a desktop
    // we do not know.
    [[nodiscard]] static QStringList command(const QString &currentDesktop, bool notifications);

private:
    OpenResult run(bool notifications);

    QString m_currentDesktop;
    ProgramLookup m_lookup;
    Starter m_starter;
};
