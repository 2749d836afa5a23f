#pragma once
// The program's one pair of conversions between UTF-8 (all text in the program)
// and UTF-16 (texts inside saved games; every Windows system call).

#include <optional>
#include <string>
#include <string_view>

namespace varnholt {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16; each byte that does not belong to a well-formed sequence
// (a stray continuation byte, a cut or overlong sequence, an encoded surrogate,
// a code point beyond U+10FFFF) becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
// The same, strictly: nothing when any part of `text` is not well-formed, for
// a path, which must never name another file than the one given.
std::optional<std::u16string> strictUtf8ToUtf16(std::string_view text);

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a UTF-8 sequence.
std::string_view cutUtf8(std::string_view text, std::size_t maxBytes);

} // namespace varnholt
