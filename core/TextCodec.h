#pragma once
#include <string>
#include <string_view>

namespace varnholt {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a UTF-8 sequence.
std::string_view cutUtf8(std::string_view text, std::size_t maxBytes);

} // namespace varnholt
