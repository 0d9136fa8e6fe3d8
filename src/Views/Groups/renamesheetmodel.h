#pragma once

#include "appinfo.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

class AppState;

// The rename sheet of one app: the app is looked up among the offered apps on every use, the field starts with the
// alias or the name, and "保存" hands the text as typed to the state object while the app is still there. Main thread;
// made for each window content (by the main view's controller or a test) over the state object.
class RenameSheetModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the sheet")
    Q_PROPERTY(QString bundleID READ bundleID NOTIFY bundleIDChanged)
    Q_PROPERTY(QString initialText READ initialText NOTIFY bundleIDChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY subtitleChanged)
public:
    explicit RenameSheetModel(AppState &state, QObject *parent = nullptr);

    [[nodiscard]] const QString &bundleID() const { return m_bundleID; }
    [[nodiscard]] const QString &initialText() const { return m_initialText; }
    [[nodiscard]] const QString &subtitle() const { return m_subtitle; }

    // The sheet opened for that app. False when no offered app has the identifier: the sheet closes at once.
    Q_INVOKABLE bool open(const QString &bundleID);
    // "保存" (also Return): the text as typed becomes the alias while the app is there. The sheet closes either way.
    Q_INVOKABLE void save(const QString &text);

Q_SIGNALS:
    void bundleIDChanged();
    void subtitleChanged();

private:
    [[nodiscard]] std::optional<AppInfo> app() const;
    void updateSubtitle();

    AppState &m_state;
    QString m_bundleID;
    QString m_initialText;
    QString m_subtitle;
};
