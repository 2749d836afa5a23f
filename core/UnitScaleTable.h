#pragma once
// The 29 unit scale numbers 20..160 in steps of 5, each with the float the save
// stores (number / 40, exactly representable) and its size class.

#include "core/StdCompat.h"

#include <array>
#include <cstdint>
#include <optional>

namespace varnholt {

// The size class of a unit scale, as the editor's list shows them in order.
enum class UnitScaleClass : std::uint8_t { Small, Normal, Large, Huge };

struct UnitScaleRow {
    int number;              // 20, 25, ... 160
    std::uint32_t floatBits; // IEEE-754 single, as stored little-endian in the save
    UnitScaleClass sizeClass;
};

inline constexpr int unitScaleCount = 29;
inline constexpr int defaultUnitScale = 40;
inline constexpr UnitScaleClass defaultUnitScaleClass = UnitScaleClass::Normal;

namespace detail {
constexpr std::array<UnitScaleRow, unitScaleCount> makeUnitScaleTable() {
    std::array<UnitScaleRow, unitScaleCount> rows{};
    for (int i = 0; i < unitScaleCount; ++i) {
        const int number = 20 + 5 * i;
        // number / 40 is exact in single precision for every row.
        const float stored = static_cast<float>(number) / 40.0f;
        const UnitScaleClass sizeClass = number <= 20   ? UnitScaleClass::Small
                                         : number <= 40 ? UnitScaleClass::Normal
                                         : number <= 85 ? UnitScaleClass::Large
                                                        : UnitScaleClass::Huge;
        rows[static_cast<std::size_t>(i)] = {number, compat::bitCast<std::uint32_t>(stored),
                                             sizeClass};
    }
    return rows;
}
} // namespace detail

// Built by the compiler; the rows are in ascending order.
inline constexpr std::array<UnitScaleRow, unitScaleCount> unitScaleRows =
    detail::makeUnitScaleTable();
static_assert(unitScaleRows[4].floatBits == 0x3F800000, "number 40 is stored as 1.0");

constexpr const std::array<UnitScaleRow, unitScaleCount>& unitScaleTable() {
    return unitScaleRows;
}

// First row whose stored float has exactly these 32 bits.
std::optional<UnitScaleRow> unitScaleByFloatBits(std::uint32_t bits);
// The row of this unit scale number (exact match).
std::optional<UnitScaleRow> unitScaleByNumber(int number);

} // namespace varnholt
