#include "renamesheetmodel.h"

#include "appstate.h"

RenameSheetModel::RenameSheetModel(AppState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
{
    connect(&m_state, &AppState::changed, this, &RenameSheetModel::updateSubtitle);
}

std::optional<AppInfo> RenameSheetModel::app() const
{
    if (m_bundleID.isEmpty())
        return std::nullopt;
    for (const AppInfo &app : m_state.targetableApps()) {
        if (app.bundleID == m_bundleID)
            return app;
    }
    return std::nullopt;
}

void RenameSheetModel::updateSubtitle()
{
    const auto found = app();
    const QString subtitle = found ? u"原名："_qs + found->name + u"（清空即恢复原名）"_qs : QString();
    if (subtitle == m_subtitle)
        return;
    m_subtitle = subtitle;
    Q_EMIT subtitleChanged();
}

bool RenameSheetModel::open(const QString &bundleID)
{
    m_bundleID = bundleID;
    const auto found = app();
    m_initialText = found ? m_state.alias(*found).value_or(found->name) : QString();
    Q_EMIT bundleIDChanged();
    updateSubtitle();
    return found.has_value();
}

void RenameSheetModel::save(const QString &text)
{
    if (const auto found = app())
        m_state.setAlias(text, *found);
}
