#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Turns one list of identifiers into another with as few row moves as a list view needs to keep its items: removes
// of what went, moves of what changed place (the longest run in unchanged order stays put), inserts of what came.
// Applied in order to the old list, the steps give the new one. Identifiers are unique in each list.
namespace ListDiff {

struct Step
{
    enum class Kind { Remove, Insert, Move };
    Kind kind = Kind::Remove;
    int from = -1; // Remove, Move: the row in the list as it stands before this step
    int to = -1; // Insert, Move: the row it takes in the list as it stands after this step
    QString id;

    friend bool operator==(const Step &, const Step &) = default;
};

[[nodiscard]] QList<Step> steps(const QStringList &from, const QStringList &to);
// The same steps when there are at most `limit` of them; nothing otherwise, found without working them out (the
// moves are few by construction: one for each identifier outside the longest run in unchanged order).
[[nodiscard]] std::optional<QList<Step>> steps(const QStringList &from, const QStringList &to, qsizetype limit);

} // namespace ListDiff
