#include "settingsactions.h"

#include "systemsettings.h"

void SettingsActions::openNotificationSettings(SystemSettings &settings)
{
    if (settings.openNotificationSettings() == OpenResult::refused)
        (void)settings.openSettings();
}
