#pragma once

#include "apppicklist.h"
#include "apppicklistmodel.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QtQml/qqml.h>

#include <functional>
#include <variant>

// The rows of an app picker (the multi-picker card or the single-app pick sheet): the candidates sorted by their
// display name and filtered by the search. The selection is the caller's: the model reads and writes it through
// the getter and setter it was made with, so the caller's copy stays the one place it lives; a caller that changes
// it otherwise calls selectionChanged(). Rows are keyed by bundle identifier. Made by the caller (an editor's view
// model, or a test) and handed to AppMultiPicker or AppPickSheet. Main thread.
class AppPickerModel : public AppPickListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the view model of the view that picks apps")
public:
    enum Role { CheckedRole = FirstOwnRole };

    // Several apps: checked rows are the identifiers the set holds.
    struct MultiSelection
    {
        std::function<QSet<QString>()> get;
        std::function<void(const QSet<QString> &)> set;
    };
    // One app: the row whose identifier equals the text is the selected one.
    struct SingleSelection
    {
        std::function<QString()> get;
        std::function<void(const QString &)> set;
    };

    AppPickerModel(const QList<AppInfo> &apps, AppPickList::NameOf displayName, MultiSelection selection,
                   QObject *parent = nullptr);
    AppPickerModel(const QList<AppInfo> &apps, AppPickList::NameOf displayName, SingleSelection selection,
                   QObject *parent = nullptr);

    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    // New candidates: sorted once here, then filtered by the search as it stands.
    void setApps(const QList<AppInfo> &apps);
    // The caller changed the selection itself: the check marks follow.
    void selectionChanged();

    // Multi-picker: a row click toggles its identifier; the batch buttons add or remove the shown rows' identifiers
    // and leave every other identifier as it is.
    Q_INVOKABLE void toggle(int row);
    Q_INVOKABLE void selectAllShown();
    Q_INVOKABLE void clearShown();
    // Pick sheet: writes the row's identifier (also when it is selected already), then reports picked().
    Q_INVOKABLE void pick(int row);

Q_SIGNALS:
    void picked();

protected:
    [[nodiscard]] QVariant rowData(const AppInfo &app, int role) const override;

private:
    [[nodiscard]] bool isChecked(const QString &bundleID) const;
    void writeMulti(const QSet<QString> &selection);
    void sortCandidates(const QList<AppInfo> &apps);

    AppPickList::NameOf m_displayName; // asked once per app at each change of candidates
    std::variant<MultiSelection, SingleSelection> m_selection;
};
