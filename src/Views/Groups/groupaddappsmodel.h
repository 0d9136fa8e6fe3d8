#pragma once

#include "apppicklistmodel.h"
#include "appstate.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QtQml/qqml.h>

class AppGroup;
class StoreContext;

// The sheet that adds apps to the selected group: the offered apps (the targetable ones that are not hidden, in the
// order of their own names, shown under their aliases), the search, the checked identifiers, the member marks, the
// texts and add(). The offered list is sorted once per change of its inputs and filtered per keystroke; it, the
// member marks and the title follow the state object and the store while the sheet is open. Made for each opening by
// GroupAddAppsModels (owned by the sheet), so every opening starts with an empty search and selection. Main thread.
class GroupAddAppsModel : public AppPickListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by GroupAddAppsModels for each opening of the sheet")
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
    Q_PROPERTY(QString subtitle READ subtitle CONSTANT)
    Q_PROPERTY(QString addButtonLabel READ addButtonLabel NOTIFY selectionChanged)
    Q_PROPERTY(bool canAdd READ canAdd NOTIFY selectionChanged)
public:
    enum Role { MemberRole = FirstOwnRole, CheckedRole, AccessibleValueRole };

    explicit GroupAddAppsModel(AppState &state, QObject *parent = nullptr);

    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] QString title() const;
    [[nodiscard]] static QString subtitle() { return QStringLiteral("勾选后批量加入分组，支持名称与拼音搜索"); }
    [[nodiscard]] QString addButtonLabel() const;
    [[nodiscard]] bool canAdd() const { return !m_selection.isEmpty(); }

    [[nodiscard]] const QList<AppInfo> &offeredApps() const { return sortedApps(); }
    [[nodiscard]] const QSet<QString> &selection() const { return m_selection; }
    // The group the sheet adds to: the group the selected tab names, if it still exists.
    [[nodiscard]] AppGroup *targetGroup() const;

    // A row click; a member's row ignores it.
    Q_INVOKABLE void toggle(int row);
    // "全选": every shown app that is not a member. "清空": every shown app. Hidden checks stay.
    Q_INVOKABLE void selectAllShown();
    Q_INVOKABLE void clearShown();
    // Appends the checked offered apps in name order, saves, toasts the growth and reports finished(). Without a
    // target group or a checked app it does nothing at all.
    Q_INVOKABLE void add();
    // Reads the state object and the store again now (their changes otherwise arrive a turn later).
    void refresh();

Q_SIGNALS:
    void titleChanged();
    void selectionChanged();
    void finished();

protected:
    [[nodiscard]] QVariant rowData(const AppInfo &app, int role) const override;

private:
    void refreshSoon();
    void refreshMembers();
    void setSelection(QSet<QString> selection);

    AppState &m_state;
    StoreContext &m_context;
    QList<AppInfo> m_offeredInput; // targetable and not hidden, in the state's order: the sort's input
    QSet<QString> m_members;
    QSet<QString> m_selection;
    QString m_title;
    bool m_refreshQueued = false;
};

// Makes the add sheet's model for each opening; QML reaches it as a singleton. Main thread.
class GroupAddAppsModels : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;
    // A new model over `state`, owned by `owner` (the sheet), so that it goes with it.
    Q_INVOKABLE static GroupAddAppsModel *create(AppState *state, QObject *owner);
};
