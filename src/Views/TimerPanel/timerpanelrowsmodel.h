#pragma once

#include "timerpanellines.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>

#include <functional>

// The lines the floating timer panel shows, in order, as the panel's controller decided them. The view binds to the
// roles and reports a click on a line's close button through close(). Rows keep their identity across updates (a
// line that stays is changed in place, never made anew). Main thread; owned by the controller.
class TimerPanelRowsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the timer panel's controller")
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(QColor pauseSymbolColor READ pauseSymbolColor CONSTANT)
public:
    enum Role {
        KeyRole = Qt::UserRole + 1,
        IconSourceRole,
        IconOpacityRole,
        TitleRole,
        TitleColorRole,
        SubtitleRole,
        PauseShownRole,
        TimeTextRole,
        TimeColorRole,
        CloseToolTipRole,
        DividerBeforeRole,
    };

    using CloseHandler = std::function<void(const TimerPanelLine &)>;

    explicit TimerPanelRowsModel(CloseHandler onClose, QObject *parent = nullptr);

    [[nodiscard]] int count() const { return int(m_lines.size()); }
    [[nodiscard]] static QColor pauseSymbolColor() { return TimerPanelLines::pauseSymbol(); }
    [[nodiscard]] const QList<TimerPanelLine> &lines() const { return m_lines; }
    // Brings the rows to `lines`: removes, moves and inserts by key, then changes the rows that differ.
    void setLines(const QList<TimerPanelLine> &lines);

    // The close button of a line: hides that line (the session runs on, the override stays).
    Q_INVOKABLE void close(int row);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void countChanged();

private:
    CloseHandler m_onClose;
    QList<TimerPanelLine> m_lines;
};
