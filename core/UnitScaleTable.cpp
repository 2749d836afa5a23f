#include "core/UnitScaleTable.h"

namespace varnholt {

std::optional<UnitScaleRow> unitScaleByFloatBits(std::uint32_t bits) {
    for (const auto& row : unitScaleRows)
        if (row.floatBits == bits)
            return row;
    return std::nullopt;
}

std::optional<UnitScaleRow> unitScaleByNumber(int number) {
    for (const auto& row : unitScaleRows)
        if (row.number == number)
            return row;
    return std::nullopt;
}

} // namespace varnholt
