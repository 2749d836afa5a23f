#pragma once
// Two parts of the C++20 library that some standard libraries still lack (the
// libc++ of Debian's Emscripten among them), each with the library's own
// where it is there. Nothing else in the program tests for a library.

#include <bit>
#include <functional>

namespace varnholt::compat {

// std::bit_cast; constexpr either way (the unit-scale table is built by the
// compiler).
template <class To, class From> constexpr To bitCast(const From& from) noexcept {
#if defined(__cpp_lib_bit_cast)
    return std::bit_cast<To>(from);
#else
    return __builtin_bit_cast(To, from);
#endif
}

// A searcher for std::search over [first, last): Boyer-Moore-Horspool where
// the library has it, else the plain one (the anchor search covers a few KiB).
template <class Iterator> auto horspoolSearcher(Iterator first, Iterator last) {
#if defined(__cpp_lib_boyer_moore_searcher)
    return std::boyer_moore_horspool_searcher(first, last);
#else
    return std::default_searcher(first, last);
#endif
}

} // namespace varnholt::compat
