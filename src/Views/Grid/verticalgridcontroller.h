#pragma once

#include "flatscrollbarlayout.h"
#include "gridcontroller.h"
#include "timerservice.h"
#include "verticalautoscroll.h"

#include <QPointF>
#include <QtQml/qqmlregistration.h>

// The vertical grid's rules: columns and spacing for the width it is given, where each cell stands in the scrolled
// content, the reorder drag with its auto-scroll near the top and bottom, the thin scrollbar, scrolling a selected
// app into view, and the empty state. The QML file lays out what this says and reports the scroll view's numbers.
// Main thread; made by the main view's controller (or a test) per grid shown.
class VerticalGridController : public GridController
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the vertical grid")
    Q_PROPERTY(double contentHeight READ contentHeight NOTIFY layoutChanged)
    Q_PROPERTY(bool reorderEnabled READ reorderEnabled NOTIFY layoutChanged)

    Q_PROPERTY(bool knobVisible READ knobVisible NOTIFY scrollbarChanged)
    Q_PROPERTY(double knobTop READ knobTop NOTIFY scrollbarChanged)
    Q_PROPERTY(double knobHeight READ knobHeight NOTIFY scrollbarChanged)
public:
    VerticalGridController(GridHost &host, TimerService &timers, QObject *parent = nullptr);

    [[nodiscard]] double contentHeight() const;
    [[nodiscard]] bool reorderEnabled() const { return m_reorderEnabled; }
    [[nodiscard]] Q_INVOKABLE QPointF cellPosition(int index) const;

    [[nodiscard]] bool knobVisible() const { return m_knob.has_value(); }
    [[nodiscard]] double knobTop() const { return m_knob ? m_knob->top : 0; }
    [[nodiscard]] double knobHeight() const { return m_knob ? m_knob->height : 0; }
    [[nodiscard]] const ScrollBarMetrics &scrollMetrics() const { return m_metrics; }

    // The grid came on screen / went away. While it is away its rows are not recomputed.
    Q_INVOKABLE void shown();
    Q_INVOKABLE void hidden();
    // The scroll view's numbers whenever one of them changes: offset from the top, content and visible height,
    // and the height of the scrollbar's track.
    Q_INVOKABLE void setScrollMetrics(double offset, double contentHeight, double visibleHeight, double trackHeight);

    // The drag gesture over the content, past its threshold, in content coordinates.
    Q_INVOKABLE void dragChanged(QPointF pressPosition, QPointF position);
    Q_INVOKABLE void dragEnded();
    // The gesture is no longer alive: a reorder that still runs was cancelled and is thrown away.
    Q_INVOKABLE void gestureEnded();
    // The scrollbar knob dragged by `dy` since its press, in scene coordinates.
    Q_INVOKABLE void knobDragChanged(double dy);
    Q_INVOKABLE void knobDragEnded();
    Q_INVOKABLE void addTileTapped();

    // The least scroll that brings cell `index` into a view of `visibleHeight` at `offset`.
    [[nodiscard]] static double revealOffset(const GridLayoutGeometry &g, int index, const ScrollBarMetrics &m);

    [[nodiscard]] const VerticalAutoScroll &autoScroll() const { return m_autoScroll; }

Q_SIGNALS:
    void scrollbarChanged();
    // The view scrolls to this offset from the top (it reports back through setScrollMetrics).
    void scrollRequested(double offset);

private:
    void relayout() override;
    // Scrolls the selected app into view.
    void selectionChanged() override;
    void afterRefresh() override;
    void updateKnob();
    void updateTileWindow();

    VerticalAutoScroll m_autoScroll;

    bool m_reorderEnabled = true;
    ScrollBarMetrics m_metrics;
    double m_trackHeight = 0;
    std::optional<FlatScrollbarLayout::Knob> m_knob;
    std::optional<double> m_knobDragStart;
};
