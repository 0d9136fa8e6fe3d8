#pragma once

#include <QString>

#include <optional>

// What a grid says when it has nothing to show: a symbol, a title and a hint. Nothing while the first scan runs
// (an empty list then only means "not yet") or while there are apps.
struct GridEmptyState
{
    QString symbol;
    QString title;
    QString description;

    struct Input
    {
        bool shownEmpty = false;
        bool initialScanDone = false;
        bool showHiddenApps = false;
        QString searchText;
        bool groupSelected = false;
    };

    [[nodiscard]] static std::optional<GridEmptyState> forInput(const Input &in);

    friend bool operator==(const GridEmptyState &, const GridEmptyState &) = default;
};
