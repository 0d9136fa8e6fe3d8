#pragma once

#include "apppicklist.h"
#include "appstate.h"

#include <QAbstractListModel>
#include <QHash>
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
class GroupAddAppsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by GroupAddAppsModels for each opening of the sheet")
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
    Q_PROPERTY(QString subtitle READ subtitle CONSTANT)
    Q_PROPERTY(QString addButtonLabel READ addButtonLabel NOTIFY selectionChanged)
    Q_PROPERTY(bool canAdd READ canAdd NOTIFY selectionChanged)
public:
    enum Role { BundleIdRole = Qt::UserRole + 1, NameRole, IconSourceRole, MemberRole, CheckedRole, AccessibleValueRole };

    explicit GroupAddAppsModel(AppState &state, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QString &search() const { return m_search; }
    void setSearch(const QString &search);
    [[nodiscard]] int count() const { return int(m_shown.size()); }
    [[nodiscard]] QString title() const;
    [[nodiscard]] static QString subtitle() { return QStringLiteral("勾选后批量加入分组，支持名称与拼音搜索"); }
    [[nodiscard]] QString addButtonLabel() const;
    [[nodiscard]] bool canAdd() const { return !m_selection.isEmpty(); }

    [[nodiscard]] const QList<AppInfo> &offeredApps() const { return m_sorted; }
    [[nodiscard]] const QList<AppInfo> &shownApps() const { return m_shown; }
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
    void searchChanged();
    void countChanged();
    void titleChanged();
    void selectionChanged();
    void finished();

private:
    void refreshSoon();
    void refilter();
    void refreshMembers();
    void setSelection(QSet<QString> selection);
    [[nodiscard]] QString shownName(const AppInfo &app) const;

    AppState &m_state;
    StoreContext &m_context;
    QList<AppInfo> m_offeredInput; // targetable and not hidden, in the state's order: the sort's input
    QHash<QString, QString> m_aliases;
    QList<AppInfo> m_sorted;
    QList<AppInfo> m_shown;
    QSet<QString> m_members;
    QSet<QString> m_selection;
    QString m_search;
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
