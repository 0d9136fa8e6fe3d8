// The launch-conditions tab: the focus and search-page app lists and their pickers.

#include "supervisionpanelmodel.h"

#include "appstate.h"
#include "embeddedapp.h"
#include "preferences.h"
#include "ruleeditormodel.h"
#include "supervisionpanelkeys.h"

#include <QSet>

// --- Launch-conditions tab.

QList<AppInfo> SupervisionPanelModel::focusControlApps() const
{
    QList<AppInfo> apps;
    for (const AppInfo &app : m_state.targetableApps()) {
        if (!m_state.seams().embeddedApps.contains(app.bundleID))
            apps.append(app);
    }
    return apps;
}

QList<AppInfo> SupervisionPanelModel::searchPageConfigurableApps() const
{
    QSet<QString> linked;
    for (const AppSearchDeepLink::Link &link : AppSearchDeepLink::links())
        linked.insert(link.bundleID);
    QList<AppInfo> apps;
    for (const AppInfo &app : m_state.targetableApps()) {
        if (linked.contains(app.bundleID) && AppSearchDeepLink::launchPanelBundleIDs().contains(app.bundleID))
            apps.append(app);
    }
    return apps;
}

namespace {

QStringList idsOf(const QList<AppInfo> &apps)
{
    QStringList ids;
    ids.reserve(apps.size());
    for (const AppInfo &app : apps)
        ids.append(app.bundleID);
    return ids;
}

} // namespace

QStringList SupervisionPanelModel::focusControlAppIDs() const
{
    return idsOf(focusControlApps());
}

QStringList SupervisionPanelModel::searchPageConfigurableAppIDs() const
{
    return idsOf(searchPageConfigurableApps());
}

QSet<QString> SupervisionPanelModel::focusSelection() const
{
    const QStringList stored = m_state.seams().preferences.stringList(SupervisionPanelKeys::focusApps).value_or(QStringList());
    return QSet<QString>(stored.begin(), stored.end());
}

void SupervisionPanelModel::setFocusSelection(const QSet<QString> &selection)
{
    m_state.setFocusControlled(selection);
}

QSet<QString> SupervisionPanelModel::searchPageSelection() const
{
    QSet<QString> selection;
    for (const QString &id : searchPageConfigurableAppIDs()) {
        if (m_state.searchDeepLinks().isEnabled(id))
            selection.insert(id);
    }
    return selection;
}

void SupervisionPanelModel::setSearchPageSelection(const QSet<QString> &selection)
{
    for (const QString &id : searchPageConfigurableAppIDs())
        m_state.searchDeepLinks().setEnabled(selection.contains(id), id);
    m_state.announceChange();
}

int SupervisionPanelModel::focusControlCount() const
{
    const QSet<QString> stored = focusSelection();
    int n = 0;
    for (const QString &id : focusControlAppIDs())
        n += stored.contains(id) ? 1 : 0;
    return n;
}

int SupervisionPanelModel::searchPageCount() const
{
    return int(searchPageSelection().size());
}

QString SupervisionPanelModel::focusCountText() const
{
    return QStringLiteral("已勾选 %1 个应用").arg(focusControlCount());
}

QString SupervisionPanelModel::searchPageCountText() const
{
    return QStringLiteral("已开启 %1 个应用").arg(searchPageCount());
}

void SupervisionPanelModel::setShowAppPicker(bool show)
{
    if (m_showAppPicker == show)
        return;
    m_showAppPicker = show;
    Q_EMIT pickersChanged();
}

void SupervisionPanelModel::setShowSearchPagePicker(bool show)
{
    if (m_showSearchPagePicker == show)
        return;
    m_showSearchPagePicker = show;
    Q_EMIT pickersChanged();
}

QString SupervisionPanelModel::shownName(const AppInfo &app) const
{
    return m_state.alias(app).value_or(app.name);
}

AppPickerModel *SupervisionPanelModel::makeFocusPicker(QObject *owner)
{
    auto *picker = new AppPickerModel(
        focusControlApps(), [this](const AppInfo &app) { return shownName(app); },
        AppPickerModel::MultiSelection{[this] { return focusSelection(); },
                                       [this](const QSet<QString> &selection) { setFocusSelection(selection); }},
        owner);
    // A write announces a change of the state object; the check marks follow the stored list.
    connect(this, &SupervisionPanelModel::launchChanged, picker, &AppPickerModel::selectionChanged);
    return picker;
}

AppPickerModel *SupervisionPanelModel::makeSearchPagePicker(QObject *owner)
{
    auto *picker = new AppPickerModel(
        searchPageConfigurableApps(), [this](const AppInfo &app) { return shownName(app); },
        AppPickerModel::MultiSelection{[this] { return searchPageSelection(); },
                                       [this](const QSet<QString> &selection) { setSearchPageSelection(selection); }},
        owner);
    connect(this, &SupervisionPanelModel::launchChanged, picker, &AppPickerModel::selectionChanged);
    return picker;
}
