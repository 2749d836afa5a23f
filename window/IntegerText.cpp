#include "window/IntegerText.h"

#include <charconv>
#include <system_error>

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
    const std::size_t sign = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i == text.size() || !isDigit(text[i]))
        return std::nullopt;
    // from_chars takes a "-" but no "+", and reads the digits only as far as
    // they go; a magnitude out of the 32-bit range is refused, never wrapped.
    const char* first = text.data() + (text[sign] == '-' ? sign : i);
    std::int32_t value = 0;
    if (std::from_chars(first, text.data() + text.size(), value).ec != std::errc{})
        return std::nullopt;
    return value;
}

std::string formatInteger(std::int64_t value) {
    return std::to_string(value);
}

} // namespace varnholt
