#pragma once
// How a number box is read and written: the rules the integer exchange
// has always followed, with overflow refused instead of wrapped.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnholt {

// Leading blanks (space, tab and the other C white-space characters) are
// skipped, then an optional "+" or "-", then at least one decimal digit;
// whatever follows the digits is ignored ("12a" reads as 12, "+7" as 7).
// Nothing for a text without a digit in that place ("", "-", "abc", "- 5"),
// and nothing for a number outside the signed 32-bit range: a wrapped or
// clamped value would show the user a number they never typed.
std::optional<std::int32_t> parseInteger(std::string_view text);

// Plain decimal, a minus sign when negative, no separators.
std::string formatInteger(std::int64_t value);

} // namespace varnholt
