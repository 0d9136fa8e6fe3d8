#include "focussetupmodel.h"

#include "appstate.h"
#include "clipboard.h"
#include "embeddedapp.h"
#include "floatingtoastcontroller.h"

#include <QUrl>
#include <QUrlQuery>

FocusSetupModel::FocusSetupModel(AppState &state, Clipboard &clipboard, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_clipboard(clipboard)
    , m_app(state.pendingFocusApp().value_or(AppInfo{}))
    , m_embedded(state.seams().embeddedApps.contains(m_app.bundleID))
    , m_noteAutoCopy(state.isNoteAutoCopyEnabled())
{
    connect(&m_state, &AppState::changed, this, [this] {
        const bool now = m_state.isNoteAutoCopyEnabled();
        if (now == m_noteAutoCopy)
            return;
        m_noteAutoCopy = now;
        Q_EMIT noteAutoCopyChanged();
    });
}

QString FocusSetupModel::subtitle() const
{
    return m_embedded ? u"它已由微信打开，到点后自动关闭，并发送提醒"_qs : u"到点后自动退出应用，并发送提醒"_qs;
}

QString FocusSetupModel::iconSource() const
{
    QUrlQuery query;
    query.addQueryItem(u"path"_qs, QString::fromLatin1(QUrl::toPercentEncoding(m_app.path())));
    return u"image://appicon/"_qs + QString::fromLatin1(QUrl::toPercentEncoding(m_app.bundleID)) + u'?'
           + query.toString(QUrl::FullyEncoded);
}

void FocusSetupModel::setMinutes(int minutes)
{
    if (m_minutes == minutes)
        return;
    m_minutes = minutes;
    Q_EMIT minutesChanged();
}

QString FocusSetupModel::startLabel() const
{
    return u"开始（"_qs + QString::number(std::max(m_minutes, 1)) + u" 分钟后退出）"_qs;
}

void FocusSetupModel::setNote(const QString &note)
{
    if (m_note == note)
        return;
    m_note = note;
    Q_EMIT noteChanged();
}

void FocusSetupModel::setBlockAfter(bool on)
{
    if (m_blockAfter == on)
        return;
    m_blockAfter = on;
    Q_EMIT blockAfterChanged();
}

void FocusSetupModel::setBlockMinutes(int minutes)
{
    if (m_blockMinutes == minutes)
        return;
    m_blockMinutes = minutes;
    Q_EMIT blockMinutesChanged();
}

bool FocusSetupModel::noteAutoCopy() const
{
    return m_noteAutoCopy;
}

void FocusSetupModel::setNoteAutoCopy(bool on)
{
    // Stored even when unchanged: a click always writes the Boolean.
    m_state.setNoteAutoCopyEnabled(on);
    if (m_noteAutoCopy == on)
        return;
    m_noteAutoCopy = on;
    Q_EMIT noteAutoCopyChanged();
}

bool FocusSetupModel::answerable() const
{
    const std::optional<AppInfo> &pending = m_state.pendingFocusApp();
    return pending && pending->bundleID == m_app.bundleID;
}

void FocusSetupModel::startSession()
{
    if (!answerable())
        return;
    if (m_state.isNoteAutoCopyEnabled() && !m_note.trimmed().isEmpty()) {
        m_clipboard.clear();
        m_clipboard.setText(m_note);
        m_state.toast().show(u"已复制到剪切板中"_qs);
    }
    const std::optional<int> block = m_blockAfter ? std::optional(std::max(m_blockMinutes, 1)) : std::nullopt;
    m_state.startFocusSession(m_app, std::max(m_minutes, 1), m_note, block);
}

void FocusSetupModel::openDirectly()
{
    if (m_embedded || !answerable())
        return;
    m_state.skipFocusAndLaunch(m_app);
}

void FocusSetupModel::cancel()
{
    if (!answerable())
        return;
    m_state.setPendingFocusApp(std::nullopt);
}
