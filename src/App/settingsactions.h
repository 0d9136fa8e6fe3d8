#pragma once

class SystemSettings;

namespace SettingsActions {

// The desktop's notification settings; when they cannot be opened, its settings program, whatever that answers.
void openNotificationSettings(SystemSettings &settings);

} // namespace SettingsActions
