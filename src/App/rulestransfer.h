#pragma once

#include "supervisionexport.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>

class AppState;
class SupervisionRearm;

// The settings sheet's rules row: writes the supervision set-up to a JSON file and replaces it with one. A successful
// export or import leaves a line in the row (outcomeLine, until the sheet closes); refused files and a failed import
// go to the toast; every other failure ends the flow without a word. One per opening of the sheet, made by the sheet
// (QML: set `state`) or by a test over its own re-arm. Main thread.
//
// Export: prepareExport() builds the bytes and says whether the save dialog should open; finishExport() writes them
// to the chosen file, cancelExport() drops them. A chosen file that exists is never replaced unasked: finishExport()
// then holds the bytes as the pending replace that the replace card asks about; confirmReplace() writes them,
// cancelReplace() drops them and leaves the file as it was. Import: beginImport() reads and checks the chosen file and, when it
// passes, holds it as the pending import the confirmation card shows; confirmImport() replaces the set-up with it,
// cancelImport() drops it.
class RulesTransfer : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppState *state READ state WRITE setState NOTIFY stateChanged)
    Q_PROPERTY(QString outcomeLine READ outcomeLine NOTIFY outcomeLineChanged)
    Q_PROPERTY(bool hasPendingImport READ hasPendingImport NOTIFY pendingImportChanged)
    Q_PROPERTY(QString confirmationTitle READ confirmationTitle NOTIFY confirmationTitleChanged)
    Q_PROPERTY(QUrl proposedFile READ proposedFile NOTIFY exportPrepared)
    Q_PROPERTY(QUrl startFolder READ startFolder CONSTANT)
    Q_PROPERTY(bool hasPendingReplace READ hasPendingReplace NOTIFY pendingReplaceChanged)
    Q_PROPERTY(QString replaceQuestion READ replaceQuestion NOTIFY pendingReplaceChanged)
public:
    // The largest file an import reads.
    static constexpr qint64 maxFileSize = qint64(64) * 1024 * 1024;

    explicit RulesTransfer(QObject *parent = nullptr);
    // Over the given re-arm instead of the state object's own services.
    RulesTransfer(AppState &state, SupervisionRearm &rearm, QObject *parent = nullptr);
    ~RulesTransfer() override;

    [[nodiscard]] AppState *state() const { return m_state; }
    void setState(AppState *state);

    [[nodiscard]] const QString &outcomeLine() const { return m_outcomeLine; }
    [[nodiscard]] bool hasPendingImport() const { return m_pending.has_value(); }
    [[nodiscard]] QString confirmationTitle() const;
    [[nodiscard]] QUrl proposedFile() const { return m_proposedFile; }
    // The documents folder, else home.
    [[nodiscard]] static QUrl startFolder();

    Q_INVOKABLE bool prepareExport();
    Q_INVOKABLE void finishExport(const QUrl &file);
    Q_INVOKABLE void cancelExport();
    [[nodiscard]] bool hasPendingReplace() const { return m_pendingReplace.has_value(); }
    [[nodiscard]] QString replaceQuestion() const;
    Q_INVOKABLE void confirmReplace();
    Q_INVOKABLE void cancelReplace();

    Q_INVOKABLE void beginImport(const QUrl &file);
    Q_INVOKABLE void confirmImport();
    Q_INVOKABLE void cancelImport();

    // The card's title: the store's counts (rules, plans, groups), then the file's.
    [[nodiscard]] static QString confirmationText(qsizetype storeRules, qsizetype storePlans, qsizetype storeGroups,
                                                  qsizetype fileRules, qsizetype filePlans, qsizetype fileGroups);
    [[nodiscard]] static QString importedLine(const QString &fileName, qsizetype rules, qsizetype plans,
                                              qsizetype groups);
    // The whole file when it is a regular file (after links) of at most maxFileSize that can be read.
    [[nodiscard]] static std::optional<QByteArray> readRulesFile(const QString &path);

Q_SIGNALS:
    void stateChanged();
    void outcomeLineChanged();
    void pendingImportChanged();
    void confirmationTitleChanged();
    void exportPrepared();
    void pendingReplaceChanged();

private:
    struct PendingImport
    {
        SupervisionExport content;
        QString fileName;
    };

    struct PendingReplace
    {
        QString path;
        QByteArray bytes;
    };

    void writeExport(const QString &path, const QByteArray &bytes);
    void setPendingReplace(std::optional<PendingReplace> pending);
    void setOutcomeLine(const QString &line);
    void setPending(std::optional<PendingImport> pending);
    SupervisionRearm &rearm();

    QPointer<AppState> m_state;
    SupervisionRearm *m_rearm = nullptr;
    std::unique_ptr<SupervisionRearm> m_ownRearm;
    QMetaObject::Connection m_stateConnection;
    QString m_outcomeLine;
    std::optional<PendingImport> m_pending;
    std::optional<QByteArray> m_prepared;
    std::optional<PendingReplace> m_pendingReplace;
    QUrl m_proposedFile;
};
