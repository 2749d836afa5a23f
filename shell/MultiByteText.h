#pragma once
// Searching single-byte-or-double-byte text of the current code page. In a
// double-byte code page the second byte of a character may equal an ASCII
// byte such as '\\' (92); the searches here never match inside a character.

#include <cstddef>
#include <functional>
#include <string_view>

namespace varnholt::shell {

// Whether a byte starts a two-byte character of the current code page. An
// empty predicate means no byte does, which is right for UTF-8 (no byte of a
// multibyte UTF-8 character is below 128) and for single-byte code pages.
using LeadBytePredicate = std::function<bool(unsigned char)>;

// Byte offset of the last character equal to `ch`, or npos. `ch` must be a
// single-byte character (ASCII). A lead byte at the very end, without its
// second byte, counts as a character of its own.
std::size_t findLastChar(std::string_view text, char ch, const LeadBytePredicate& isLeadByte);

// Byte offset of the first character equal to `ch`, or npos.
std::size_t findFirstChar(std::string_view text, char ch, const LeadBytePredicate& isLeadByte);

// Byte offset of the first occurrence of `needle` that begins at a character
// start, or npos. Meant for ASCII needles such as "%1".
std::size_t findFirstText(std::string_view text, std::string_view needle,
                          const LeadBytePredicate& isLeadByte);

} // namespace varnholt::shell
