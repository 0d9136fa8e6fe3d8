#include "blockedpromptmodel.h"

#include "clock.h"
#include "embeddedapp.h"
#include "preferences.h"
#include "schedulecalendar.h"
#include "scheduletext.h"

#include <QUrl>
#include <QUrlQuery>

namespace {
const QString sloganKey = QStringLiteral("blockedSlogan");
}

QString BlockedRulesRow::text(const QList<AppState::BlockSourceSummary> &summaries)
{
    if (summaries.isEmpty())
        return {};
    QString result = summaries.first().text;
    if (summaries.size() >= 2)
        result += u'、' + summaries.at(1).text;
    if (summaries.size() >= 3)
        result += u" 等 "_qs + QString::number(summaries.size()) + u" 条"_qs;
    return result;
}

bool BlockedRulesRow::viewable(const QList<AppState::BlockSourceSummary> &summaries)
{
    return std::any_of(summaries.begin(), summaries.end(),
                       [](const AppState::BlockSourceSummary &s) { return s.viewable; });
}

BlockedPromptModel::BlockedPromptModel(AppState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_prompt(state.blockedPrompt())
{
    connect(&m_state, &AppState::changed, this, &BlockedPromptModel::contentChanged);
    connect(&m_state, &AppState::blockedPromptChanged, this, &BlockedPromptModel::followPrompt);
    m_redraw = m_state.seams().timers.startRepeating(redrawInterval, [this] { Q_EMIT contentChanged(); });
}

void BlockedPromptModel::followPrompt()
{
    // A cleared prompt leaves the card showing its last one while it fades out.
    if (!m_state.blockedPrompt())
        return;
    m_prompt = m_state.blockedPrompt();
    Q_EMIT contentChanged();
}

QString BlockedPromptModel::remainingText(Instant from, Instant until)
{
    // 64-bit microseconds: no span a clock can give overflows here.
    constexpr std::int64_t minute = std::chrono::duration_cast<Duration>(std::chrono::minutes{1}).count();
    const std::int64_t span = (until - from).count();
    std::int64_t m = span > 0 ? (span + minute - 1) / minute : 0;
    if (m < 1)
        m = 1;
    if (m < 60)
        return QString::number(m) + u" 分钟"_qs;
    if (m % 60 == 0)
        return QString::number(m / 60) + u" 小时"_qs;
    return QString::number(m / 60) + u" 小时 "_qs + QString::number(m % 60) + u" 分"_qs;
}

QString BlockedPromptModel::builtInSlogan(const QString &appName)
{
    return u"现在不是打开「"_qs + appName + u"」的时间，先专注手头的事吧"_qs;
}

Instant BlockedPromptModel::now() const
{
    return m_state.seams().clock.now();
}

QString BlockedPromptModel::appName() const
{
    if (!m_prompt)
        return {};
    return m_state.appName(m_prompt->app.bundleID).value_or(m_prompt->app.name);
}

QString BlockedPromptModel::slogan() const
{
    const std::optional<QString> stored = m_state.seams().preferences.stringValue(sloganKey);
    if (stored && !stored->isEmpty())
        return *stored;
    return builtInSlogan(appName());
}

bool BlockedPromptModel::isEmbedded() const
{
    return m_prompt && m_state.seams().embeddedApps.contains(m_prompt->app.bundleID);
}

QString BlockedPromptModel::iconSource() const
{
    if (!m_prompt)
        return {};
    QUrlQuery query;
    query.addQueryItem(u"path"_qs, QString::fromLatin1(QUrl::toPercentEncoding(m_prompt->app.path())));
    return u"image://appicon/"_qs + QString::fromLatin1(QUrl::toPercentEncoding(m_prompt->app.bundleID)) + u'?'
           + query.toString(QUrl::FullyEncoded);
}

QList<AppState::BlockSourceSummary> BlockedPromptModel::summaries() const
{
    if (!m_prompt)
        return {};
    return m_state.activeBlockSummaries(m_prompt->app.bundleID, now());
}

bool BlockedPromptModel::showCountdown() const
{
    return m_prompt && m_prompt->until && *m_prompt->until > now();
}

QString BlockedPromptModel::untilText() const
{
    if (!showCountdown())
        return {};
    return ScheduleText::time(*m_prompt->until, ScheduleCalendar::system()) + u" 解除"_qs;
}

QString BlockedPromptModel::remainingText() const
{
    if (!showCountdown())
        return {};
    return u"剩余 "_qs + remainingText(now(), *m_prompt->until);
}

void BlockedPromptModel::setShowIgnoreOptions(bool show)
{
    if (m_showIgnoreOptions == show)
        return;
    m_showIgnoreOptions = show;
    Q_EMIT showIgnoreOptionsChanged();
}

void BlockedPromptModel::setIgnoreMinutes(int minutes)
{
    if (m_ignoreMinutes == minutes)
        return;
    m_ignoreMinutes = minutes;
    Q_EMIT ignoreMinutesChanged();
}

void BlockedPromptModel::dismiss()
{
    if (!answerable())
        return;
    m_state.setBlockedPrompt(std::nullopt);
}

void BlockedPromptModel::openRules()
{
    if (!answerable() || !reasonsViewable())
        return;
    m_state.setBlockedPrompt(std::nullopt);
    m_state.supervisionInitialTab = SupervisionTab::restrict;
    m_state.setShowSupervision(true);
}

void BlockedPromptModel::toggleIgnoreOptions()
{
    setShowIgnoreOptions(!m_showIgnoreOptions);
}

void BlockedPromptModel::ignoreOneMinute()
{
    if (!answerable())
        return;
    const Instant at = now();
    grant(at + std::chrono::minutes{1}, at);
}

void BlockedPromptModel::ignoreTyped()
{
    ignore(m_ignoreMinutes);
}

void BlockedPromptModel::ignore(int minutes)
{
    if (!answerable())
        return;
    const Instant at = now();
    grant(at + std::chrono::minutes{std::max(minutes, 1)}, at);
}

void BlockedPromptModel::ignoreSession()
{
    if (!answerable())
        return;
    const Instant at = now();
    const QString &bundleID = m_prompt->app.bundleID;
    // A prompt left open past the end of its block: nothing is left to pause, and the fallback end (a day ahead)
    // would also lift the app's next windows. Open the app without an override.
    if (m_state.activeBlockSummaries(bundleID, at).isEmpty() && !m_state.blockedBundleIDs(at).contains(bundleID)) {
        proceedAfterIgnore();
        return;
    }
    grant(m_state.ignoreSessionEnd(bundleID, at), at);
}

void BlockedPromptModel::grant(Instant end, Instant at)
{
    m_state.ignoreBlockedApp(m_prompt->app.bundleID, appName(), end, at);
    proceedAfterIgnore();
}

void BlockedPromptModel::proceedAfterIgnore()
{
    if (!m_prompt)
        return;
    const AppInfo app = m_prompt->app;
    const bool embedded = isEmbedded();
    m_state.setBlockedPrompt(std::nullopt);
    // An app that runs inside its host is only allowed to run; there is nothing to open.
    if (!embedded)
        m_state.skipFocusAndLaunch(app);
}
