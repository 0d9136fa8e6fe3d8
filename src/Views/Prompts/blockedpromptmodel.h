#pragma once

#include "appstate.h"
#include "instant.h"
#include "timerservice.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The reasons row of the blocked-launch prompt: its one-line text and whether it leads to the rules. Pure.
namespace BlockedRulesRow {
// The first two reasons joined by "、", and " 等 N 条" when there are three or more; "" for none.
[[nodiscard]] QString text(const QList<AppState::BlockSourceSummary> &summaries);
// Some reason is a rule's or a plan's window, which the supervision panel lists.
[[nodiscard]] bool viewable(const QList<AppState::BlockSourceSummary> &summaries);
} // namespace BlockedRulesRow

// The card that stands in for a launch the rules refuse: the app's name, the user's message, until when and why the
// app is blocked, and the answers (give up, or an override of one minute, of a chosen number of minutes, or until the
// present block ends, after which the app opens). Follows the state object's prompt: a prompt replaced while the card
// shows keeps the card's view state. Everything that depends on the clock is computed when asked, and announced
// every 60 s and on every change of the state object. Main thread; one per card, owned by the card.
class BlockedPromptModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by LaunchPromptModels for each card")
    Q_PROPERTY(QString appName READ appName NOTIFY contentChanged)
    Q_PROPERTY(QString titleText READ titleText NOTIFY contentChanged)
    Q_PROPERTY(QString slogan READ slogan NOTIFY contentChanged)
    Q_PROPERTY(bool embedded READ isEmbedded NOTIFY contentChanged)
    Q_PROPERTY(QString iconSource READ iconSource NOTIFY contentChanged)
    Q_PROPERTY(bool showInfoPanel READ showInfoPanel NOTIFY contentChanged)
    Q_PROPERTY(bool showCountdown READ showCountdown NOTIFY contentChanged)
    Q_PROPERTY(bool showDivider READ showDivider NOTIFY contentChanged)
    Q_PROPERTY(bool showReasons READ showReasons NOTIFY contentChanged)
    Q_PROPERTY(QString untilText READ untilText NOTIFY contentChanged)
    Q_PROPERTY(QString remainingText READ remainingText NOTIFY contentChanged)
    Q_PROPERTY(QString reasonsText READ reasonsText NOTIFY contentChanged)
    Q_PROPERTY(bool reasonsViewable READ reasonsViewable NOTIFY contentChanged)
    Q_PROPERTY(bool showIgnoreOptions READ showIgnoreOptions WRITE setShowIgnoreOptions NOTIFY showIgnoreOptionsChanged)
    Q_PROPERTY(int ignoreMinutes READ ignoreMinutes WRITE setIgnoreMinutes NOTIFY ignoreMinutesChanged)
public:
    static constexpr Duration redrawInterval = std::chrono::seconds{60};

    explicit BlockedPromptModel(AppState &state, QObject *parent = nullptr);

    // Whole minutes from `from` to `until`, rounded up and at least 1: "m 分钟", "h 小时" or "h 小时 r 分".
    [[nodiscard]] static QString remainingText(Instant from, Instant until);
    // The built-in message for an app of that name.
    [[nodiscard]] static QString builtInSlogan(const QString &appName);

    [[nodiscard]] const std::optional<AppState::BlockedPromptInfo> &prompt() const { return m_prompt; }
    [[nodiscard]] QString appName() const;
    [[nodiscard]] QString titleText() const { return appName() + u" · 禁启时段"_qs; }
    [[nodiscard]] QString slogan() const;
    [[nodiscard]] bool isEmbedded() const;
    [[nodiscard]] QString iconSource() const;
    [[nodiscard]] QList<AppState::BlockSourceSummary> summaries() const;
    [[nodiscard]] bool showCountdown() const;
    [[nodiscard]] bool showReasons() const { return !summaries().isEmpty(); }
    [[nodiscard]] bool showInfoPanel() const { return showCountdown() || showReasons(); }
    [[nodiscard]] bool showDivider() const { return showCountdown() && showReasons(); }
    [[nodiscard]] QString untilText() const;     // "HH:mm 解除"
    [[nodiscard]] QString remainingText() const; // "剩余 …"
    [[nodiscard]] QString reasonsText() const { return BlockedRulesRow::text(summaries()); }
    [[nodiscard]] bool reasonsViewable() const { return BlockedRulesRow::viewable(summaries()); }

    [[nodiscard]] bool showIgnoreOptions() const { return m_showIgnoreOptions; }
    void setShowIgnoreOptions(bool show);
    [[nodiscard]] int ignoreMinutes() const { return m_ignoreMinutes; }
    void setIgnoreMinutes(int minutes); // taken as given: the field's arrows keep their range

    // The answers; each acts only while the state object still holds a prompt.
    Q_INVOKABLE void dismiss();           // "好，先专注", Return, Escape, a click on the scrim
    Q_INVOKABLE void openRules();         // the reasons row, when viewable
    Q_INVOKABLE void toggleIgnoreOptions(); // "忽略限额"
    Q_INVOKABLE void ignoreOneMinute();   // "忽略 1 分钟"
    Q_INVOKABLE void ignoreTyped();       // "确定": ignore(ignoreMinutes)
    Q_INVOKABLE void ignoreSession();     // "暂停本次限制"
    void ignore(int minutes);
    void proceedAfterIgnore();

Q_SIGNALS:
    void contentChanged();
    void showIgnoreOptionsChanged();
    void ignoreMinutesChanged();

private:
    [[nodiscard]] Instant now() const;
    [[nodiscard]] bool answerable() const { return m_state.blockedPrompt().has_value() && m_prompt.has_value(); }
    void grant(Instant end, Instant at);
    void followPrompt();

    AppState &m_state;
    std::optional<AppState::BlockedPromptInfo> m_prompt;
    bool m_showIgnoreOptions = false;
    int m_ignoreMinutes = 15;
    TimerHandle m_redraw;
};
