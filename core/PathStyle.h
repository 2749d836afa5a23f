#pragma once

namespace varnholt {

// The path conventions the program follows. Windows: drive letters, "\" (and
// "/") between folders, executables named with an extension. POSIX: "/" only,
// no drive, executables without an extension.
enum class PathStyle { Windows, Posix };

#ifdef _WIN32
inline constexpr PathStyle nativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle nativePathStyle = PathStyle::Posix;
#endif

} // namespace varnholt
