#include "timerpanelrowsmodel.h"

#include "listdiff.h"

namespace {

QStringList keysOf(const QList<TimerPanelLine> &lines)
{
    QStringList keys;
    keys.reserve(lines.size());
    for (const TimerPanelLine &line : lines)
        keys.append(line.key);
    return keys;
}

// The roles whose values differ between two readings of one line: a tick usually changes the time alone, and the
// view then updates that one text.
QList<int> changedRoles(const TimerPanelLine &from, const TimerPanelLine &to)
{
    using M = TimerPanelRowsModel;
    QList<int> roles;
    const auto add = [&roles](bool differs, int role) {
        if (differs)
            roles.append(role);
    };
    add(from.key != to.key, M::KeyRole);
    add(from.iconSource != to.iconSource, M::IconSourceRole);
    add(from.iconOpacity != to.iconOpacity, M::IconOpacityRole);
    add(from.title != to.title, M::TitleRole);
    add(from.titleColor != to.titleColor, M::TitleColorRole);
    add(from.subtitle != to.subtitle, M::SubtitleRole);
    add(from.pauseShown != to.pauseShown, M::PauseShownRole);
    add(from.timeText != to.timeText, M::TimeTextRole);
    add(from.timeColor != to.timeColor, M::TimeColorRole);
    add(from.closeToolTip != to.closeToolTip, M::CloseToolTipRole);
    add(from.dividerBefore != to.dividerBefore, M::DividerBeforeRole);
    return roles;
}

} // namespace

TimerPanelRowsModel::TimerPanelRowsModel(CloseHandler onClose, QObject *parent)
    : QAbstractListModel(parent)
    , m_onClose(std::move(onClose))
{
}

void TimerPanelRowsModel::setLines(const QList<TimerPanelLine> &lines)
{
    const int before = count();
    const QStringList to = keysOf(lines);
    if (keysOf(m_lines) != to) {
        for (const ListDiff::Step &step : ListDiff::steps(keysOf(m_lines), to)) {
            switch (step.kind) {
            case ListDiff::Step::Kind::Remove:
                beginRemoveRows({}, step.from, step.from);
                m_lines.removeAt(step.from);
                endRemoveRows();
                break;
            case ListDiff::Step::Kind::Insert:
                beginInsertRows({}, step.to, step.to);
                m_lines.insert(step.to, lines.at(to.indexOf(step.id)));
                endInsertRows();
                break;
            case ListDiff::Step::Kind::Move:
                // Moving down, beginMoveRows wants the row after the destination.
                beginMoveRows({}, step.from, step.from, {}, step.to > step.from ? step.to + 1 : step.to);
                m_lines.move(step.from, step.to);
                endMoveRows();
                break;
            }
        }
    }
    for (int row = 0; row < count(); ++row) {
        if (m_lines.at(row) == lines.at(row))
            continue;
        const QList<int> roles = changedRoles(m_lines.at(row), lines.at(row));
        m_lines[row] = lines.at(row); // also what no role shows: the override a close button hides
        if (!roles.isEmpty())
            Q_EMIT dataChanged(index(row), index(row), roles);
    }
    if (count() != before)
        Q_EMIT countChanged();
}

void TimerPanelRowsModel::close(int row)
{
    if (row < 0 || row >= count() || !m_onClose)
        return;
    m_onClose(m_lines.at(row));
}

int TimerPanelRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant TimerPanelRowsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TimerPanelLine &line = m_lines.at(index.row());
    switch (role) {
    case KeyRole:
        return line.key;
    case IconSourceRole:
        return line.iconSource;
    case IconOpacityRole:
        return line.iconOpacity;
    case TitleRole:
        return line.title;
    case TitleColorRole:
        return line.titleColor;
    case SubtitleRole:
        return line.subtitle;
    case PauseShownRole:
        return line.pauseShown;
    case TimeTextRole:
        return line.timeText;
    case TimeColorRole:
        return line.timeColor;
    case CloseToolTipRole:
        return line.closeToolTip;
    case DividerBeforeRole:
        return line.dividerBefore;
    default:
        return {};
    }
}

QHash<int, QByteArray> TimerPanelRowsModel::roleNames() const
{
    return {
        {KeyRole, "key"},
        {IconSourceRole, "iconSource"},
        {IconOpacityRole, "iconOpacity"},
        {TitleRole, "title"},
        {TitleColorRole, "titleColor"},
        {SubtitleRole, "subtitle"},
        {PauseShownRole, "pauseShown"},
        {TimeTextRole, "timeText"},
        {TimeColorRole, "timeColor"},
        {CloseToolTipRole, "closeToolTip"},
        {DividerBeforeRole, "dividerBefore"},
    };
}
