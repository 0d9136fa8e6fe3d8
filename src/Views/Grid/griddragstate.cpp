#include "griddragstate.h"

#include "appsorter.h"

#include <QHash>

#include <algorithm>

GridDragState::GridDragState(QObject *parent)
    : QObject(parent)
{
}

void GridDragState::setPointer(QPointF pointer)
{
    if (pointer == m_pointer)
        return;
    m_pointer = pointer;
    Q_EMIT pointerChanged();
}

QVariant GridDragState::previewOrderValue() const
{
    return m_previewOrder ? QVariant(*m_previewOrder) : QVariant();
}

QList<AppInfo> GridDragState::displayApps(const QList<AppInfo> &apps) const
{
    if (m_previewOrder)
        return AppSorter::sort(apps, *m_previewOrder);
    if (!m_draggingID || m_baseOrder.isEmpty())
        return apps;
    return AppSorter::sort(apps, m_baseOrder);
}

bool GridDragState::startReorder(const QList<AppInfo> &shown, int index)
{
    if (index < 0 || index >= shown.size())
        return false;
    QStringList order;
    order.reserve(shown.size());
    for (const AppInfo &app : shown)
        order.append(app.bundleID);
    m_baseOrder = order;
    setDraggingID(shown.at(index).bundleID);
    return true;
}

void GridDragState::updatePreview(QPointF contentPoint, const GridDragGeometry &grid, bool pagesAnimating)
{
    if (!m_draggingID)
        return;
    QStringList order = m_previewOrder.value_or(m_baseOrder);
    const qsizetype from = order.indexOf(*m_draggingID);
    if (from < 0)
        return;
    const int to = GridDragReorder::targetIndex(contentPoint, grid);
    if (to == from)
        return;
    const QStringList before = order;
    order.removeAt(from);
    order.insert(std::min<qsizetype>(to, order.size()), *m_draggingID);
    if (order == before || pagesAnimating)
        return;
    setPreviewOrder(std::move(order));
}

GridDragCommit GridDragState::commit(bool groupSelected, const QList<AppInfo> &shown)
{
    GridDragCommit result;
    if (m_previewOrder) {
        if (groupSelected) {
            result.kind = GridDragCommit::Kind::GroupOrder;
            result.bundleIDs = *m_previewOrder;
        } else {
            QHash<QString, const AppInfo *> byID;
            for (const AppInfo &app : shown) {
                if (!byID.contains(app.bundleID))
                    byID.insert(app.bundleID, &app);
            }
            result.kind = GridDragCommit::Kind::CustomOrder;
            for (const QString &id : *m_previewOrder) {
                if (const auto it = byID.constFind(id); it != byID.constEnd())
                    result.apps.append(**it);
            }
        }
    }
    setDraggingID(std::nullopt);
    setPreviewOrder(std::nullopt);
    return result;
}

void GridDragState::discard()
{
    setDraggingID(std::nullopt);
    setPreviewOrder(std::nullopt);
}

void GridDragState::setDraggingID(std::optional<QString> id)
{
    if (id == m_draggingID)
        return;
    m_draggingID = std::move(id);
    Q_EMIT draggingIDChanged();
}

void GridDragState::setPreviewOrder(std::optional<QStringList> order)
{
    if (order == m_previewOrder)
        return;
    m_previewOrder = std::move(order);
    Q_EMIT previewOrderChanged();
}
