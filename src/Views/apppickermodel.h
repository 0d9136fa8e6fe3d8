#pragma once

#include "apppicklist.h"

#include <QAbstractListModel>
#include <QHash>
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
class AppPickerModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the view model of the view that picks apps")
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    enum Role { BundleIdRole = Qt::UserRole + 1, NameRole, IconSourceRole, CheckedRole };

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

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QString &search() const { return m_search; }
    void setSearch(const QString &search);
    [[nodiscard]] int count() const { return int(m_shown.size()); }
    [[nodiscard]] const QList<AppInfo> &shownApps() const { return m_shown; }

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
    void searchChanged();
    void countChanged();
    void picked();

private:
    [[nodiscard]] bool isChecked(const QString &bundleID) const;
    void refilter();
    void writeMulti(const QSet<QString> &selection);
    void sortCandidates(const QList<AppInfo> &apps);
    [[nodiscard]] QString shownName(const AppInfo &app) const { return m_names.value(app.bundleID, app.name); }

    AppPickList::NameOf m_displayName;
    std::variant<MultiSelection, SingleSelection> m_selection;
    QList<AppInfo> m_sorted;
    QList<AppInfo> m_shown;
    QHash<QString, QString> m_names; // display names that differ from the app's name, asked once per change of candidates
    QString m_search;
};
