#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// A live search for the apps below a set of folders, which keeps its results current. After start() it gathers once
// and then posts gatheringFinished() exactly once, also when it found nothing; afterwards it posts updated() when the
// results changed, at most once per 2.0 s. Changes among a root folder's own entries, where that folder existed when
// gathering started, refresh the results without a notice: whoever watches the roots turns those into a reload
// itself. Main thread; owned by main.cpp (or a test).
class AppDirectorySearch : public QObject
{
    Q_OBJECT
public:
    struct Hit
    {
        QString path;
        std::optional<QString> displayName; // the name the search shows for it, when it has one

        friend bool operator==(const Hit &, const Hit &) = default;
    };

    using QObject::QObject;

    // Called once; later calls do nothing.
    virtual void start(const QStringList &scopes) = 0;
    // The current results, in root order: a copy, so they stay stable while the caller reads them.
    [[nodiscard]] virtual QList<Hit> results() const = 0;

Q_SIGNALS:
    void gatheringFinished();
    void updated();
};
