#pragma once

#include "shownappsmodel.h"

#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// A window onto the shown apps: the rows [first, first + count) of a ShownAppsModel, so that a grid builds tiles only
// for what is on screen or next to it, however many apps there are. Each row carries the source's roles and its
// `position` in the source (where the tile stands). After every recomputation of the source, and when the window
// moves, the rows are brought up to date:
//  - a row whose app stays in the window keeps its identity (its tile slides; a changed order is applied as moves);
//  - between two such rows, rows whose apps left are given to apps that came, in place, so a new search rebinds the
//    tiles there instead of making new ones; only what is left over is removed or inserted.
// Main thread; made by a grid's controller (or a test) over that grid's model, which outlives it.
class ShownAppsSlice : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the views")
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    // The source's roles, and this one.
    static constexpr int PositionRole = ShownAppsModel::SelectedRole + 100;

    explicit ShownAppsSlice(ShownAppsModel &source, QObject *parent = nullptr);

    [[nodiscard]] int first() const { return m_first; }
    [[nodiscard]] int windowSize() const { return m_windowSize; }
    // The window: `size` rows from `first` (both at least 0); the rows follow at once.
    void setWindow(int first, int size);

    [[nodiscard]] int count() const { return int(m_rows.size()); }
    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    // The identifiers of the rows, in order.
    [[nodiscard]] QStringList bundleIDs() const;

    // Brings the rows up to date with the source; the source's `refreshed` does it.
    void sync();

Q_SIGNALS:
    void countChanged();

private:
    struct Row
    {
        QString id;
        QList<QVariant> values; // by m_roles
    };
    [[nodiscard]] Row rowAt(int sourceRow) const;
    void replaceRow(int row, Row fresh);

    ShownAppsModel &m_source;
    QList<int> m_roles; // the source's roles and PositionRole
    QHash<int, QByteArray> m_roleNames;
    QList<Row> m_rows;
    int m_first = 0;
    int m_windowSize = 0;
};
