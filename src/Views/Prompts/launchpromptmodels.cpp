#include "launchpromptmodels.h"

#include "blockedpromptmodel.h"
#include "focussetupmodel.h"
#include "notificationguidemodel.h"

#include <QQmlEngine>

namespace {
// Returned to QML, but owned by the view that asked: the engine must never collect it.
template <class T>
T *keptByOwner(T *model)
{
    QQmlEngine::setObjectOwnership(model, QQmlEngine::CppOwnership);
    return model;
}
} // namespace

LaunchPromptModels::LaunchPromptModels(AppState &state, Clipboard &clipboard, SystemSettings &settings,
                                       QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_clipboard(clipboard)
    , m_settings(settings)
{
}

BlockedPromptModel *LaunchPromptModels::blockedPrompt(QObject *owner)
{
    return keptByOwner(new BlockedPromptModel(m_state, owner));
}

FocusSetupModel *LaunchPromptModels::focusSetup(QObject *owner)
{
    return keptByOwner(new FocusSetupModel(m_state, m_clipboard, owner));
}

NotificationGuideModel *LaunchPromptModels::notificationGuide(QObject *owner)
{
    return keptByOwner(new NotificationGuideModel(m_state, m_settings, owner));
}
