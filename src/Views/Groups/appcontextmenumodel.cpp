#include "appcontextmenumodel.h"

#include "appgroup.h"
#include "appsearchdeeplink.h"
#include "appstate.h"
#include "embeddedapp.h"
#include "floatingtoastcontroller.h"
#include "storecontext.h"

#include <QVariantMap>

namespace {

using Entry = AppContextMenuEntry;

Entry command(QString label, std::function<void()> action, bool checked = false)
{
    return Entry{Entry::Kind::command, std::move(label), checked, {}, std::move(action)};
}

Entry divider()
{
    return Entry{Entry::Kind::divider, {}, false, {}, {}};
}

bool hasSearchPage(const QString &bundleID)
{
    if (AppSearchDeepLink::url(bundleID))
        return true;
    const auto &links = AppSearchDeepLink::links();
    return std::any_of(links.begin(), links.end(), [&](const auto &link) { return link.bundleID == bundleID; });
}

} // namespace

AppContextMenuModel::AppContextMenuModel(AppState &state, StoreContext &context, Reveal reveal, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_context(context)
    , m_reveal(std::move(reveal))
{
}

QList<AppContextMenuEntry> AppContextMenuModel::entries(const AppInfo &app, bool isPinned) const
{
    return m_state.showHiddenApps() ? hiddenEntries(app) : normalEntries(app, isPinned);
}

QList<AppContextMenuEntry> AppContextMenuModel::hiddenEntries(const AppInfo &app) const
{
    AppState *state = &m_state;
    return {command(u"取消隐藏"_qs, [state, app] { state->unhideApp(app); }), divider(), revealEntry(app)};
}

QList<AppContextMenuEntry> AppContextMenuModel::normalEntries(const AppInfo &app, bool isPinned) const
{
    AppState *state = &m_state;
    const QString id = app.bundleID;
    const bool embedded = m_state.seams().embeddedApps.contains(id);
    QList<Entry> out;
    out.append(command(embedded ? u"定时退出…"_qs : u"打开"_qs, [state, app] { state->requestLaunch(app); }));
    out.append(command(u"置顶"_qs, [state, app] { state->togglePin(app); }, isPinned));
    out.append(command(u"置入程序坞常驻"_qs, [state, app] { state->pinToDock(app); }));
    out.append(command(u"重命名"_qs, [state, id] { state->setRenameTargetBundleID(id); }));
    if (!embedded) {
        out.append(command(u"定时退出"_qs, [state, app] { state->toggleFocusControl(app); },
                           m_state.isFocusControlled(id)));
    }
    if (hasSearchPage(id)) {
        out.append(command(
            u"打开搜索页"_qs,
            [state, id] {
                const bool enabled = state->searchDeepLinks().isEnabled(id);
                state->searchDeepLinks().setEnabled(!enabled, id);
                state->announceChange();
            },
            m_state.searchDeepLinks().isEnabled(id)));
    }
    out.append(groupSubmenu(app));
    if (const auto selected = m_state.selectedGroupID()) {
        const QList<AppGroup *> groups = m_state.groups();
        const auto found = std::find_if(groups.begin(), groups.end(),
                                        [&](const AppGroup *g) { return g->storeID() == *selected; });
        if (found != groups.end() && (*found)->bundleIDs().contains(id)) {
            const StoreID group = *selected;
            out.append(command(u"移出分组"_qs, [this, group, app] { removeFromSelectedGroup(group, app); }));
        }
    }
    out.append(divider());
    out.append(revealEntry(app));
    out.append(command(u"隐藏"_qs, [state, app] { state->hideApp(app); }));
    out.append(command(u"设置禁启时段…"_qs, [state] { state->setShowSupervision(true); }));
    return out;
}

AppContextMenuEntry AppContextMenuModel::groupSubmenu(const AppInfo &app) const
{
    Entry submenu{Entry::Kind::submenu, u"移入分组"_qs, false, {}, {}};
    const QString id = app.bundleID;
    for (const AppGroup *group : m_state.groups()) {
        const bool member = group->bundleIDs().contains(id);
        const StoreID groupID = group->storeID();
        submenu.children.append(
            command(group->name(), [this, groupID, id, member] { toggleMembership(groupID, id, member); }, member));
    }
    if (submenu.children.isEmpty())
        submenu.children.append(Entry{Entry::Kind::note, u"暂无分组"_qs, false, {}, {}});
    return submenu;
}

AppContextMenuEntry AppContextMenuModel::revealEntry(const AppInfo &app) const
{
    const Reveal reveal = m_reveal;
    return command(u"在文件管理器中显示"_qs, [reveal, url = app.url] {
        if (reveal)
            reveal({url});
    });
}

void AppContextMenuModel::toggleMembership(const StoreID &groupID, const QString &bundleID, bool member) const
{
    AppGroup *group = m_context.record<AppGroup>(groupID);
    if (!group)
        return;
    QStringList members = group->bundleIDs();
    if (member)
        members.removeAll(bundleID);
    else
        members.append(bundleID);
    group->setBundleIDs(members);
    std::ignore = m_context.save();
    m_state.publishStoreChange();
}

void AppContextMenuModel::removeFromSelectedGroup(const StoreID &groupID, const AppInfo &app) const
{
    AppGroup *group = m_context.record<AppGroup>(groupID);
    if (!group)
        return;
    QStringList members = group->bundleIDs();
    members.removeAll(app.bundleID);
    group->setBundleIDs(members);
    std::ignore = m_context.save();
    m_state.publishStoreChange();
    m_state.toast().show(u"已将「"_qs + app.name + u"」移出「"_qs + group->name() + u"」"_qs);
}

QVariantList AppContextMenuModel::build(const QString &bundleID, bool isPinned)
{
    m_actions.clear();
    const QList<AppInfo> apps = m_state.targetableApps();
    const auto app = std::find_if(apps.begin(), apps.end(), [&](const AppInfo &a) { return a.bundleID == bundleID; });
    if (app == apps.end())
        return {};
    return toVariant(entries(*app, isPinned));
}

QVariantList AppContextMenuModel::toVariant(const QList<AppContextMenuEntry> &entries)
{
    static const char *const kinds[] = {"command", "divider", "submenu", "note"};
    QVariantList out;
    out.reserve(entries.size());
    for (const Entry &entry : entries) {
        QVariantMap map{{u"kind"_qs, QString::fromLatin1(kinds[int(entry.kind)])},
                        {u"label"_qs, entry.label},
                        {u"checked"_qs, entry.checked},
                        {u"id"_qs, -1}};
        if (entry.kind == Entry::Kind::command) {
            map[u"id"_qs] = int(m_actions.size());
            m_actions.append(entry.trigger);
        }
        if (entry.kind == Entry::Kind::submenu)
            map[u"entries"_qs] = toVariant(entry.children);
        out.append(map);
    }
    return out;
}

void AppContextMenuModel::trigger(int id)
{
    if (id < 0 || id >= m_actions.size())
        return;
    // Copied: the action may lead to a new build of this menu.
    const std::function<void()> action = m_actions.at(id);
    if (action)
        action();
}
