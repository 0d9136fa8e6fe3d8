#pragma once

#include "appstate.h"
#include "focussession.h"
#include "instant.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

class ScheduleCalendar;

// One line of the floating timer panel, everything it shows decided: texts, colours and opacities. A plain value.
struct TimerPanelLine
{
    enum class Kind { session, grace };

    Kind kind = Kind::session;
    // The line's identity in the list: "session:" and the session's id, or "grace:" and the override's bundle
    // identifier.
    QString key;
    QUuid sessionID;                    // session lines
    AppState::GraceOverride grace;      // grace lines
    QString iconSource;
    double iconOpacity = 1.0;
    QString title;
    QColor titleColor;
    QString subtitle;
    bool pauseShown = false;
    QString timeText; // empty: no countdown
    QColor timeColor;
    QString closeToolTip;
    bool dividerBefore = false;

    friend bool operator==(const TimerPanelLine &, const TimerPanelLine &) = default;
};

// The rules of the timer panel's lines: which show, in which order, and how each reads at a given moment.
// Pure functions; any thread.
namespace TimerPanelLines {

// Under this many seconds a running countdown turns to the danger colour.
inline constexpr double dangerBelowSeconds = 120;
// An override that ends within this many seconds shows a countdown; a later one shows its end time.
inline constexpr double countdownWithinSeconds = 3600;

inline const QString pausedSubtitle = QStringLiteral("已暂停 · 忽略结束后继续");
inline const QString autoQuitSubtitle = QStringLiteral("到点自动退出");
inline const QString graceSubtitle = QStringLiteral("忽略中");
inline const QString graceUntilPrefix = QStringLiteral("忽略至 ");
inline const QString sessionCloseToolTip = QStringLiteral("隐藏此条（计时继续）");
inline const QString graceCloseToolTip = QStringLiteral("隐藏此条（忽略照常生效）");

// The fixed colours of the light look.
[[nodiscard]] QColor mutedText();   // secondary texts, a paused title
[[nodiscard]] QColor pauseSymbol();
[[nodiscard]] QColor runningTime(); // a countdown with time to spare
[[nodiscard]] QColor pausedTime();

// Names one override with one end: the bundle identifier, "-" and the end in microseconds since 1970. A new
// override for the same app with another end has another key.
[[nodiscard]] QString graceKey(const AppState::GraceOverride &grace);

struct Inputs
{
    QList<FocusSession> sessions;          // in start order
    QHash<QUuid, double> pausedRemaining;  // seconds left of the paused sessions
    QSet<QUuid> hiddenSessionIDs;
    QList<AppState::GraceOverride> graces; // earliest end first
    QSet<QString> hiddenGraceKeys;
    Instant sessionNow; // the clock, read for this rendering
    Instant graceNow;   // the panel's ticker
};

// The visible session lines in order, then the visible grace lines in order; every line after the first has a
// divider above it.
[[nodiscard]] QList<TimerPanelLine> build(const Inputs &in, const ScheduleCalendar &calendar);

[[nodiscard]] TimerPanelLine sessionLine(const FocusSession &session, std::optional<double> pausedRemaining,
                                         Instant now);
[[nodiscard]] TimerPanelLine graceLine(const AppState::GraceOverride &grace, Instant now,
                                       const ScheduleCalendar &calendar);

} // namespace TimerPanelLines
