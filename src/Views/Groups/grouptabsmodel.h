#pragma once

#include "storeid.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

class AppGroup;
class AppState;
class StoreContext;

// The group tab strip: the groups in tab order (following the store's changes), which tab is selected, hidden-apps
// mode, the naming sheet and the drag that reorders tabs. One verb per user action; the strip's QML only lays out and
// forwards. Main thread; made for each strip (by the main view's controller or a test), over the state object and its
// main store context.
class GroupTabsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the strip")
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool hiddenMode READ hiddenMode NOTIFY selectionChanged)
    Q_PROPERTY(bool allAppsSelected READ allAppsSelected NOTIFY selectionChanged)
    Q_PROPERTY(bool naming READ naming NOTIFY namingChanged)
    Q_PROPERTY(QString newName READ newName WRITE setNewName NOTIFY newNameChanged)
    Q_PROPERTY(bool hoveringAddGroup MEMBER m_hoveringAddGroup NOTIFY hoveringAddGroupChanged)
public:
    enum Role { GroupIDRole = Qt::UserRole + 1, RefIDRole, NameRole, SelectedRole, MarkerShownRole, MarkerAfterRole };
    Q_ENUM(Role)

    // Where a drop would put the dragged tab: before or after the tab with that refID.
    struct DropSlot
    {
        QString refID;
        bool after = false;
        friend bool operator==(const DropSlot &, const DropSlot &) = default;
    };

    GroupTabsModel(AppState &state, StoreContext &context, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] int count() const { return int(m_rows.size()); }
    [[nodiscard]] bool hiddenMode() const;
    [[nodiscard]] bool allAppsSelected() const;
    [[nodiscard]] bool naming() const { return m_renamingGroup.has_value(); }
    [[nodiscard]] const QString &newName() const { return m_newName; }
    void setNewName(const QString &name);

    // --- Selection.
    Q_INVOKABLE void selectAll();
    Q_INVOKABLE void selectGroup(int row);
    Q_INVOKABLE void leaveHiddenMode();

    // --- Creating, naming, deleting.
    Q_INVOKABLE void addGroup();
    Q_INVOKABLE void renameGroup(int row);
    Q_INVOKABLE void confirmNaming();
    Q_INVOKABLE void cancelNaming();
    Q_INVOKABLE void deleteGroup(int row);

    // --- Reordering by dragging one tab onto another. `x` is the pointer's position inside the tab, `width` the
    // tab's width as laid out.
    Q_INVOKABLE void dragStarted(int row);
    Q_INVOKABLE void dragEntered(int row, double x, double width);
    Q_INVOKABLE void dragExited(int row);
    // True when the drop was taken (a group moved).
    Q_INVOKABLE bool dropped(int row, double x, double width);
    // The drag ended, on a tab or anywhere else: nothing of it is left.
    Q_INVOKABLE void dragEnded();

    // Puts `moving` before or after `target` and numbers every group by its new position; saves. Nothing changes
    // when the two share a refID or either is not a live group.
    void moveGroup(const AppGroup &moving, const AppGroup &target, bool after);

    [[nodiscard]] const std::optional<QString> &draggingGroupID() const { return m_draggingGroupID; }
    [[nodiscard]] const std::optional<DropSlot> &dropSlot() const { return m_dropSlot; }
    [[nodiscard]] std::optional<StoreID> renamingGroup() const { return m_renamingGroup; }

Q_SIGNALS:
    void countChanged();
    void selectionChanged();
    void namingChanged();
    void newNameChanged();
    void hoveringAddGroupChanged();

private:
    struct Row
    {
        StoreID id;
        QString refID;
        QString name;
    };

    [[nodiscard]] QList<AppGroup *> orderedGroups() const;
    [[nodiscard]] AppGroup *groupAt(int row) const;
    void reload();
    void setDropSlot(const std::optional<DropSlot> &slot);
    void openNaming(const AppGroup &group);
    void closeNaming();
    void save();

    AppState &m_state;
    StoreContext &m_context;
    QList<Row> m_rows;
    std::optional<StoreID> m_renamingGroup;
    QString m_newName;
    bool m_hoveringAddGroup = false;
    std::optional<QString> m_draggingGroupID;
    std::optional<DropSlot> m_dropSlot;
};
