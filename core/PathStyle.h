#pragma once
// Paths as the program reads them: the one place that knows where a path's
// drive, folder, name and extension lie, for either platform's conventions.

#include <string>
#include <string_view>

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

// The separator the program writes between folders: "\" on Windows, "/" on POSIX.
constexpr char pathSeparator(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

// Whether `c` separates folders: "\" and "/" on Windows, "/" on POSIX.
constexpr bool isPathSeparator(char c, PathStyle style) {
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

// A path split by the platform's rules. Windows: drive is "X:" when the second
// character is ":"; the directory runs up to and including the last "\" or "/";
// the extension is the last "." of the rest onward. POSIX: no drive, "/" only.
// drive + directory + baseName + extension is the path again.
struct PathParts {
    std::string drive;
    std::string directory;
    std::string baseName;
    std::string extension;

    // The folder part with its trailing separator, as it leads a sibling's name
    // ("" for a bare name; "D:" for "D:name").
    std::string folderPrefix() const { return drive + directory; }
};

PathParts splitPath(std::string_view path, PathStyle style = nativePathStyle);

// The folder that holds `path`, for opening it: without the trailing
// separator, "/" for a file in the root, "." for a bare name (POSIX); on
// Windows the folder prefix as splitPath gives it.
std::string folderOf(std::string_view path, PathStyle style = nativePathStyle);

} // namespace varnholt
