#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

class AppState;
class SystemSettings;

// The notification guide banner's answers: "去开启" hides the banner, then opens the desktop's notification settings,
// else its settings, else tells the user through the toast; the close button only hides it. The hidden flag belongs
// to the window (dismissRequested asks for it). Main thread; one per banner, owned by the banner.
class NotificationGuideModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by LaunchPromptModels for each banner")
public:
    static constexpr const char16_t *refusedText = u"未能打开通知设置，请在桌面设置中开启";

    NotificationGuideModel(AppState &state, SystemSettings &settings, QObject *parent = nullptr);

    Q_INVOKABLE void openSettings();
    Q_INVOKABLE void close();

Q_SIGNALS:
    void dismissRequested();

private:
    AppState &m_state;
    SystemSettings &m_settings;
};
