#pragma once

#include "systemsettings.h"

#include <QStringList>

// Records the calls in order, as "notifications" and "settings"; each answers refused once marked so.
class FakeSystemSettings : public SystemSettings
{
public:
    OpenResult openNotificationSettings() override
    {
        m_calls.append(QStringLiteral("notifications"));
        return m_refuseNotifications ? OpenResult::refused : OpenResult::started;
    }
    OpenResult openSettings() override
    {
        m_calls.append(QStringLiteral("settings"));
        return m_refuseSettings ? OpenResult::refused : OpenResult::started;
    }

    void refuseNotificationSettings(bool refuse = true) { m_refuseNotifications = refuse; }
    void refuseSettings(bool refuse = true) { m_refuseSettings = refuse; }
    [[nodiscard]] const QStringList &calls() const { return m_calls; }

private:
    QStringList m_calls;
    bool m_refuseNotifications = false;
    bool m_refuseSettings = false;
};
