#pragma once
// Program text is UTF-8; Windows takes UTF-16 at each call (the wide API). Thin
// wrappers of core/TextCodec for wchar_t text.

#include <string>
#include <string_view>

namespace varnholt::win32 {

// Invalid UTF-8 becomes U+FFFD.
std::wstring wide(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string utf8(std::wstring_view text);

} // namespace varnholt::win32
