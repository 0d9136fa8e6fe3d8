#pragma once

#include <cstdint>

// The compiled-in reading table that makehanreadings writes. Read only through hanreadings.h.
namespace HanReadingsTable {

// A run of code points from `first` on, each with the index of its reading set in blockSets[start + offset].
struct Block
{
    char32_t first;
    uint32_t size;
    uint32_t start;
};

extern const char syllableText[];      // the toneless syllables, each ended by a NUL
extern const uint16_t syllableOffsets[]; // syllableCount + 1 offsets into syllableText
extern const uint16_t syllableCount;
extern const uint16_t setPool[];       // syllable indices of every reading set, one set after another
extern const uint32_t setOffsets[];    // setCount + 1 offsets into setPool; set 0 is empty
extern const uint32_t setCount;
extern const uint16_t blockSets[];
extern const Block blocks[];
extern const uint32_t blockCount;

} // namespace HanReadingsTable
