#include "notificationguidemodel.h"

#include "appstate.h"
#include "floatingtoastcontroller.h"
#include "systemsettings.h"

NotificationGuideModel::NotificationGuideModel(AppState &state, SystemSettings &settings, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_settings(settings)
{
}

void NotificationGuideModel::openSettings()
{
    Q_EMIT dismissRequested();
    if (m_settings.openNotificationSettings() == OpenResult::started)
        return;
    if (m_settings.openSettings() == OpenResult::started)
        return;
    m_state.toast().show(QString::fromUtf16(refusedText));
}

void NotificationGuideModel::close()
{
    Q_EMIT dismissRequested();
}
