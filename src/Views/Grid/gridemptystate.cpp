#include "gridemptystate.h"

std::optional<GridEmptyState> GridEmptyState::forInput(const Input &in)
{
    if (!in.shownEmpty || !in.initialScanDone)
        return std::nullopt;
    if (in.showHiddenApps)
        return GridEmptyState{u"eye.slash"_qs, u"没有隐藏的应用"_qs, u"在应用图标上右键，选择「隐藏」"_qs};
    if (!in.searchText.isEmpty())
        return GridEmptyState{u"magnifyingglass"_qs, u"没有匹配的应用"_qs, u"换个关键词试试"_qs};
    if (!in.groupSelected)
        return GridEmptyState{u"square.grid.2x2"_qs, u"此分组还没有应用"_qs, u"在应用图标上右键，选择「移入分组」"_qs};
    return GridEmptyState{u"square.grid.2x2"_qs, u"此分组还没有应用"_qs,
                          u"点击「+」批量添加应用，或在应用图标上右键移入分组"_qs};
}
