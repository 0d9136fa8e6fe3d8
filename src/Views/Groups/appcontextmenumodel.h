#pragma once

#include "appinfo.h"
#include "storeid.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <functional>

class AppState;
class StoreContext;

// One entry of the app context menu: a command, a divider, the submenu of groups, or a text that cannot be chosen.
// A checked command shows the "checkmark" symbol before its title.
struct AppContextMenuEntry
{
    enum class Kind { command, divider, submenu, note };
    Kind kind = Kind::command;
    QString label;
    bool checked = false;
    QList<AppContextMenuEntry> children; // the submenu's entries
    std::function<void()> trigger;       // a command's action
};

// The right-click menu of an app tile, for both grids: on each right click it computes the entries for that app from
// the state of that moment (the variant for hidden-apps mode, checks, which entries show, the groups and whether each
// holds the app), and runs the chosen entry's action. Keeps no state between two menus but the last menu's actions.
// Main thread; made by main.cpp (or a test) and handed to both grids.
class AppContextMenuModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by main.cpp and handed to the grids")
public:
    // Shows the items in the desktop's file manager.
    using Reveal = std::function<void(const QList<QUrl> &items)>;

    AppContextMenuModel(AppState &state, StoreContext &context, Reveal reveal, QObject *parent = nullptr);

    // The menu for that app now. `isPinned`: whether the grid's pinned set holds the app.
    [[nodiscard]] QList<AppContextMenuEntry> entries(const AppInfo &app, bool isPinned) const;

    // For QML: the menu of the first offered app with that bundle identifier, as a list of maps (kind: "command",
    // "divider", "submenu" or "note"; label; checked; id, the number to trigger; entries, a submenu's list). Empty
    // when no offered app has the identifier. The ids stay valid until the next build.
    Q_INVOKABLE QVariantList build(const QString &bundleID, bool isPinned);
    // Runs the command with that id from the last build; nothing for an unknown id.
    Q_INVOKABLE void trigger(int id);

private:
    [[nodiscard]] QList<AppContextMenuEntry> normalEntries(const AppInfo &app, bool isPinned) const;
    [[nodiscard]] QList<AppContextMenuEntry> hiddenEntries(const AppInfo &app) const;
    [[nodiscard]] AppContextMenuEntry groupSubmenu(const AppInfo &app) const;
    [[nodiscard]] AppContextMenuEntry revealEntry(const AppInfo &app) const;
    void toggleMembership(const StoreID &group, const QString &bundleID, bool member) const;
    void removeFromSelectedGroup(const StoreID &group, const AppInfo &app) const;
    QVariantList toVariant(const QList<AppContextMenuEntry> &entries);

    AppState &m_state;
    StoreContext &m_context;
    Reveal m_reveal;
    QList<std::function<void()>> m_actions;
};
