#pragma once

#include "appinfo.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class AppState;
class Clipboard;

// The focus set-up sheet for the app the state object holds as pending: the task note, the minutes of the session
// (a field and three chips), the block after it, whether the note goes to the clipboard, and the three ways out
// (start, open directly, cancel). Values below 1 count as 1; values beyond the arrows' ranges are taken as typed.
// Main thread; one per sheet, owned by the sheet.
class FocusSetupModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by LaunchPromptModels for each sheet")
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString subtitle READ subtitle CONSTANT)
    Q_PROPERTY(bool embedded READ isEmbedded CONSTANT)
    Q_PROPERTY(QString iconSource READ iconSource CONSTANT)
    Q_PROPERTY(QList<int> presets READ presets CONSTANT)
    Q_PROPERTY(QString directOpenTooltip READ directOpenTooltip CONSTANT)
    Q_PROPERTY(int minutes READ minutes WRITE setMinutes NOTIFY minutesChanged)
    Q_PROPERTY(bool minutesHighlighted READ minutesHighlighted NOTIFY minutesChanged)
    Q_PROPERTY(QString startLabel READ startLabel NOTIFY minutesChanged)
    Q_PROPERTY(QString note READ note WRITE setNote NOTIFY noteChanged)
    Q_PROPERTY(bool blockAfter READ blockAfter WRITE setBlockAfter NOTIFY blockAfterChanged)
    Q_PROPERTY(int blockMinutes READ blockMinutes WRITE setBlockMinutes NOTIFY blockMinutesChanged)
    Q_PROPERTY(bool noteAutoCopy READ noteAutoCopy WRITE setNoteAutoCopy NOTIFY noteAutoCopyChanged)
public:
    FocusSetupModel(AppState &state, Clipboard &clipboard, QObject *parent = nullptr);

    [[nodiscard]] const AppInfo &app() const { return m_app; }
    [[nodiscard]] QString title() const { return u"定时退出「"_qs + m_app.name + u"」"_qs; }
    [[nodiscard]] QString subtitle() const;
    [[nodiscard]] bool isEmbedded() const { return m_embedded; }
    [[nodiscard]] QString iconSource() const;
    [[nodiscard]] static QList<int> presets() { return {10, 15, 30}; }
    [[nodiscard]] static QString directOpenTooltip() { return u"跳过本次设置直接打开（Ctrl+Shift+Return）"_qs; }

    [[nodiscard]] int minutes() const { return m_minutes; }
    void setMinutes(int minutes);
    [[nodiscard]] bool minutesHighlighted() const { return !presets().contains(m_minutes); }
    [[nodiscard]] QString startLabel() const;
    [[nodiscard]] const QString &note() const { return m_note; }
    void setNote(const QString &note);
    [[nodiscard]] bool blockAfter() const { return m_blockAfter; }
    void setBlockAfter(bool on);
    [[nodiscard]] int blockMinutes() const { return m_blockMinutes; }
    void setBlockMinutes(int minutes);
    // "noteAutoCopyToClipboard" through the state object; a change is stored at once and announced to every view.
    [[nodiscard]] bool noteAutoCopy() const;
    void setNoteAutoCopy(bool on);

    // The answers; each acts only while the state object still holds this app as pending.
    Q_INVOKABLE void startSession();
    Q_INVOKABLE void openDirectly(); // not for an embedded app
    Q_INVOKABLE void cancel();
    Q_INVOKABLE void selectPreset(int minutes) { setMinutes(minutes); }

Q_SIGNALS:
    void minutesChanged();
    void noteChanged();
    void blockAfterChanged();
    void blockMinutesChanged();
    void noteAutoCopyChanged();

private:
    [[nodiscard]] bool answerable() const;

    AppState &m_state;
    Clipboard &m_clipboard;
    AppInfo m_app;
    bool m_embedded = false;
    int m_minutes = 5;
    QString m_note;
    bool m_blockAfter = true;
    int m_blockMinutes = 10;
    bool m_noteAutoCopy = true;
};
