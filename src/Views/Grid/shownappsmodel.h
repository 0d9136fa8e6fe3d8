#pragma once

#include "appinfo.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

// The apps a grid shows, in display order (the drag preview's order while a tile is dragged), with what each tile
// draws: shown name, icon, pinned, blocked, selected. Knows nothing of pages or pixels. A new list is applied as row
// removes, moves and inserts by bundle identifier, so tiles keep their identity and slide to their new places (a
// change of many rows at once resets the rows instead).
// Recomputed at most once per event-loop turn after any number of change notices. Main thread; made by a grid's
// controller (or a test) and handed to the view.
class ShownAppsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the views")
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    // More changes than this at once are applied as a reset: tiles keep their identity (and slide) through the
    // small changes of a drag preview or a pin, not through a new search.
    static constexpr int maxStepsToAnimate = 24;

    enum Role {
        BundleIdRole = Qt::UserRole + 1,
        NameRole,
        IconSourceRole,
        IconCachedRole,
        PinnedRole,
        BlockedRole,
        SelectedRole,
    };

    // Where the rows come from; every function is asked again at each recomputation.
    struct Source
    {
        std::function<QList<AppInfo>()> apps; // in display order
        std::function<QString(const AppInfo &)> shownName;
        std::function<bool(const QString &)> isPinned;
        std::function<bool(const QString &)> isBlocked;
        std::function<std::optional<QString>()> selectedID;
        std::function<QString(const AppInfo &)> iconSource;
        std::function<bool(const QString &)> isIconCached;
        std::function<void(const AppInfo &)> launch;
    };

    explicit ShownAppsModel(Source source, QObject *parent = nullptr);

    [[nodiscard]] int count() const { return int(m_rows.size()); }
    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] QList<AppInfo> apps() const;
    [[nodiscard]] std::optional<int> rowOf(const QString &bundleID) const;

    // A click on a tile: launch its app.
    Q_INVOKABLE void activate(int row);
    [[nodiscard]] Q_INVOKABLE QString bundleIDAt(int row) const;
    // The roles of the row with that identifier, by role name; empty when it is not shown (the drag ghost's tile).
    [[nodiscard]] Q_INVOKABLE QVariantMap rowData(const QString &bundleID) const;

    // Something the rows depend on changed: recompute once, at the end of this event-loop turn.
    void scheduleRefresh();
    // While paused (its grid is not on screen) a change only marks the rows as out of date; they are recomputed when
    // it resumes.
    void setPaused(bool paused);
    [[nodiscard]] bool isPaused() const { return m_paused; }
    // Recompute now.
    void refresh();

Q_SIGNALS:
    void countChanged();
    // After each recomputation, also when nothing changed.
    void refreshed();

private:
    struct Row
    {
        AppInfo app;
        QString name;
        QString iconSource;
        bool iconCached = false;
        bool pinned = false;
        bool blocked = false;
        bool selected = false;

        [[nodiscard]] bool sameLook(const Row &other) const;
    };
    // An icon source is built from the app alone, so the one made for an equal app is taken again.
    struct IconSourceMemo
    {
        AppInfo app;
        QString iconSource;
    };
    [[nodiscard]] Row makeRow(const AppInfo &app, const std::optional<QString> &selected,
                              const QString &iconSource) const;
    // The app's icon source, built only when this app (not just its identifier) has none yet.
    [[nodiscard]] const QString &iconSourceOf(const AppInfo &app);

    Source m_source;
    QList<Row> m_rows;
    // By bundle identifier, kept across refreshes: a search that widens again (Backspace) finds the icon sources of
    // the apps it brings back instead of building thousands of URLs anew.
    QHash<QString, IconSourceMemo> m_iconSources;
    qsizetype m_widestList = 0;
    bool m_refreshQueued = false;
    bool m_paused = false;
    bool m_stale = false;
};
