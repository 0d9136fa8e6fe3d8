#pragma once

#include <QLatin1StringView>

#include <cstddef>
#include <cstdint>
#include <span>

// The modern Mandarin readings of Han characters, without tones, from the Unicode Han database (compiled in at
// build time). Pure lookups; safe on any thread.
namespace HanReadings {

// The readings of `c`, the usual one first, as syllable indices; empty for a character without a reading. A
// reading with ü comes twice: spelt with "u", then with "v".
[[nodiscard]] std::span<const uint16_t> of(char32_t c);
// The syllable with that index, such as "zhong".
[[nodiscard]] QLatin1StringView syllable(uint16_t index);
// What the table occupies in the program.
[[nodiscard]] size_t tableBytes();

} // namespace HanReadings
