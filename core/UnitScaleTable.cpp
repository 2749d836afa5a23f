#include "core/UnitScaleTable.h"

#include <bit>

namespace varnholt {

namespace {

std::array<UnitScaleRow, unitScaleCount> buildTable() {
    std::array<UnitScaleRow, unitScaleCount> rows{};
    for (int i = 0; i < unitScaleCount; ++i) {
        const int number = 20 + 5 * i;
        // number / 40 is exact in single precision for every row.
        const float stored = static_cast<float>(number) / 40.0f;
        const int sizeClass = number <= 20 ? 0 : number <= 40 ? 1 : number <= 85 ? 2 : 3;
        rows[static_cast<std::size_t>(i)] = {number, std::bit_cast<std::uint32_t>(stored),
                                             sizeClass};
    }
    return rows;
}

} // namespace

const std::array<UnitScaleRow, unitScaleCount>& unitScaleTable() {
    static const auto rows = buildTable();
    return rows;
}

std::optional<UnitScaleRow> unitScaleByFloatBits(std::uint32_t bits) {
    for (const auto& row : unitScaleTable())
        if (row.floatBits == bits)
            return row;
    return std::nullopt;
}

std::optional<UnitScaleRow> unitScaleByNumber(int number) {
    for (const auto& row : unitScaleTable())
        if (row.number == number)
            return row;
    return std::nullopt;
}

} // namespace varnholt
