#pragma once

#include "blockedpromptmodel.h"
#include "focussetupmodel.h"
#include "notificationguidemodel.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

class AppState;
class Clipboard;
class SystemSettings;

// Makes the view models of the launch prompts (the blocked-launch prompt, the focus set-up sheet, the notification
// guide banner), each owned by the view that asks, so that it goes with it. Main thread; made by main.cpp (or a test)
// from the state object and the seams, which outlive it.
class LaunchPromptModels : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by main.cpp")
public:
    LaunchPromptModels(AppState &state, Clipboard &clipboard, SystemSettings &settings, QObject *parent = nullptr);

    Q_INVOKABLE BlockedPromptModel *blockedPrompt(QObject *owner);
    Q_INVOKABLE FocusSetupModel *focusSetup(QObject *owner);
    Q_INVOKABLE NotificationGuideModel *notificationGuide(QObject *owner);

private:
    AppState &m_state;
    Clipboard &m_clipboard;
    SystemSettings &m_settings;
};
