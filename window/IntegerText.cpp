#include "window/IntegerText.h"

#include <cstddef>
#include <limits>

namespace varnholt {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::optional<std::int32_t> parseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || !isDigit(text[i]))
        return std::nullopt;
    // The magnitude is built in 64 bits and checked at every digit, so a long
    // run of digits can never overflow the accumulator itself.
    constexpr std::int64_t limitPositive = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t limitNegative = limitPositive + 1;
    const std::int64_t limit = negative ? limitNegative : limitPositive;
    std::int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string formatInteger(std::int64_t value) {
    return std::to_string(value);
}

} // namespace varnholt
