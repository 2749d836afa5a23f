#include "core/PathStyle.h"

namespace varnholt {

PathParts splitPath(std::string_view path, PathStyle style) {
    PathParts parts;
    std::string_view rest = path;
    if (style == PathStyle::Windows && rest.size() >= 2 && rest[1] == ':') {
        parts.drive = rest.substr(0, 2);
        rest.remove_prefix(2);
    }
    // UTF-8 never has a byte of a multibyte character equal to a separator or a dot.
    std::size_t nameStart = rest.size();
    while (nameStart > 0 && !isPathSeparator(rest[nameStart - 1], style))
        --nameStart;
    parts.directory = rest.substr(0, nameStart);
    rest.remove_prefix(nameStart);
    const auto dot = rest.find_last_of('.');
    if (dot != std::string_view::npos) {
        parts.extension = rest.substr(dot);
        rest = rest.substr(0, dot);
    }
    parts.baseName = rest;
    return parts;
}

std::string folderOf(std::string_view path, PathStyle style) {
    const PathParts parts = splitPath(path, style);
    if (style == PathStyle::Windows)
        return parts.folderPrefix();
    if (parts.directory.empty())
        return ".";
    if (parts.directory.size() == 1)
        return parts.directory; // the root
    return parts.directory.substr(0, parts.directory.size() - 1);
}

} // namespace varnholt
