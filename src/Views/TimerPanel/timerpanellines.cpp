#include "timerpanellines.h"

#include "scheduletext.h"
#include "theme.h"
#include "timerpanelcontent.h"

#include <QUrl>

#include <algorithm>

namespace TimerPanelLines {

namespace {

QString iconSourceOf(const QString &bundleID)
{
    // Without a bundle location the icon cache finds the icon by the identifier alone.
    return u"image://appicon/"_qs + QString::fromLatin1(QUrl::toPercentEncoding(bundleID));
}

double secondsBetween(Instant from, Instant to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

QColor mutedText()
{
    return Theme::secondary();
}

QColor pauseSymbol()
{
    return QColor(176, 176, 180);
}

QColor runningTime()
{
    return QColor(28, 28, 30);
}

QColor pausedTime()
{
    return QColor(166, 166, 171);
}

QString graceKey(const AppState::GraceOverride &grace)
{
    return grace.bundleID + u'-' + QString::number(grace.until.time_since_epoch().count());
}

TimerPanelLine sessionLine(const FocusSession &session, std::optional<double> pausedRemaining, Instant now)
{
    const bool paused = pausedRemaining.has_value();
    const double left = paused ? *pausedRemaining : std::max(0.0, secondsBetween(now, session.deadline));
    TimerPanelLine line;
    line.kind = TimerPanelLine::Kind::session;
    line.key = u"session:"_qs + session.id.toString(QUuid::WithoutBraces);
    line.sessionID = session.id;
    line.iconSource = iconSourceOf(session.bundleID);
    line.iconOpacity = paused ? 0.45 : 1.0;
    line.title = session.taskNote.value_or(session.appName);
    line.titleColor = paused ? mutedText() : Theme::primary();
    if (paused)
        line.subtitle = pausedSubtitle;
    else
        line.subtitle = session.taskNote ? session.appName : autoQuitSubtitle;
    line.pauseShown = paused;
    line.timeText = TimerPanelContent::format(left);
    if (paused)
        line.timeColor = pausedTime();
    else
        line.timeColor = left < dangerBelowSeconds ? Theme::danger() : runningTime();
    line.closeToolTip = sessionCloseToolTip;
    return line;
}

TimerPanelLine graceLine(const AppState::GraceOverride &grace, Instant now, const ScheduleCalendar &calendar)
{
    // Not clamped: once the end has passed the countdown reads 00:00, in the danger colour.
    const double left = secondsBetween(now, grace.until);
    const bool countdown = left <= countdownWithinSeconds;
    TimerPanelLine line;
    line.kind = TimerPanelLine::Kind::grace;
    line.key = u"grace:"_qs + grace.bundleID;
    line.grace = grace;
    line.iconSource = iconSourceOf(grace.bundleID);
    line.title = grace.appName;
    line.titleColor = Theme::primary();
    line.subtitle = countdown ? graceSubtitle : graceUntilPrefix + ScheduleText::time(grace.until, calendar);
    if (countdown) {
        line.timeText = TimerPanelContent::format(left);
        line.timeColor = left < dangerBelowSeconds ? Theme::danger() : runningTime();
    }
    line.closeToolTip = graceCloseToolTip;
    return line;
}

QList<TimerPanelLine> build(const Inputs &in, const ScheduleCalendar &calendar)
{
    QList<TimerPanelLine> lines;
    for (const FocusSession &session : in.sessions) {
        if (in.hiddenSessionIDs.contains(session.id))
            continue;
        const auto paused = in.pausedRemaining.constFind(session.id);
        lines.append(sessionLine(session,
                                 paused == in.pausedRemaining.cend() ? std::nullopt : std::optional<double>(*paused),
                                 in.sessionNow));
    }
    for (const AppState::GraceOverride &grace : in.graces) {
        if (!in.hiddenGraceKeys.contains(graceKey(grace)))
            lines.append(graceLine(grace, in.graceNow, calendar));
    }
    for (qsizetype i = 1; i < lines.size(); ++i)
        lines[i].dividerBefore = true;
    return lines;
}

} // namespace TimerPanelLines
