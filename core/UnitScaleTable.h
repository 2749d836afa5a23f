#pragma once
// The 29 unit scale numbers 20..160 in steps of 5, each with the float the save
// stores (number / 40, exactly representable) and its size class.

#include <array>
#include <cstdint>
#include <optional>

namespace varnholt {

struct UnitScaleRow {
    int number;              // 20, 25, ... 160
    std::uint32_t floatBits; // IEEE-754 single, as stored little-endian in the save
    int sizeClass;           // 0 Small, 1 Normal, 2 Large, 3 Huge
};

inline constexpr int unitScaleCount = 29;
inline constexpr int defaultUnitScale = 40;
inline constexpr int defaultUnitScaleClass = 1;

const std::array<UnitScaleRow, unitScaleCount>& unitScaleTable();

// First row whose stored float has exactly these 32 bits.
std::optional<UnitScaleRow> unitScaleByFloatBits(std::uint32_t bits);
// The row of this unit scale number (exact match).
std::optional<UnitScaleRow> unitScaleByNumber(int number);

} // namespace varnholt
