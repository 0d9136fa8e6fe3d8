#include "hanreadings.h"

#include "hanreadingstable.h"

#include <algorithm>

using namespace HanReadingsTable;

std::span<const uint16_t> HanReadings::of(char32_t c)
{
    const Block *end = blocks + blockCount;
    // The last block that starts at or before c.
    const Block *block = std::upper_bound(blocks, end, c, [](char32_t value, const Block &b) { return value < b.first; });
    if (block == blocks)
        return {};
    --block;
    if (c - block->first >= block->size)
        return {};
    const uint16_t set = blockSets[block->start + (c - block->first)];
    return {setPool + setOffsets[set], setPool + setOffsets[set + 1]};
}

QLatin1StringView HanReadings::syllable(uint16_t index)
{
    if (index >= syllableCount)
        return {};
    return QLatin1StringView(syllableText + syllableOffsets[index], syllableOffsets[index + 1] - syllableOffsets[index] - 1);
}

size_t HanReadings::tableBytes()
{
    const Block &last = blocks[blockCount - 1];
    return syllableOffsets[syllableCount] + (syllableCount + 1) * sizeof(uint16_t) + setOffsets[setCount] * sizeof(uint16_t)
        + (setCount + 1) * sizeof(uint32_t) + (last.start + last.size) * sizeof(uint16_t) + blockCount * sizeof(Block);
}
