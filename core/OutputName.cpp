#include "core/OutputName.h"

#include <cstdio>

namespace varnholt {

PathParts splitPath(const std::string& path, PathStyle style) {
    PathParts parts;
    std::string rest = path;
    if (style == PathStyle::Windows && rest.size() >= 2 && rest[1] == ':') {
        parts.drive = rest.substr(0, 2);
        rest.erase(0, 2);
    }
    // UTF-8 never has a byte of a multibyte character equal to a separator or a dot.
    const char* separators = style == PathStyle::Windows ? "\\/" : "/";
    const auto lastSeparator = rest.find_last_of(separators);
    if (lastSeparator != std::string::npos) {
        parts.directory = rest.substr(0, lastSeparator + 1);
        rest.erase(0, lastSeparator + 1);
    }
    const auto dot = rest.find_last_of('.');
    if (dot != std::string::npos) {
        parts.extension = rest.substr(dot);
        rest.erase(dot);
    }
    parts.baseName = rest;
    return parts;
}

OutputNameResult makeOutputName(const std::string& savePath, const ExistsQuery& exists,
                                PathStyle style) {
    OutputNameResult result;
    const PathParts parts = splitPath(savePath, style);
    const char* missing = nullptr;
    if (style == PathStyle::Windows && parts.drive.empty())
        missing = "drive letter";
    else if (parts.directory.empty())
        missing = "folder";
    else if (parts.baseName.empty())
        missing = "file name";
    else if (parts.extension.empty())
        missing = "extension";
    if (missing) {
        result.failure = OutputNameFailure::EmptyPathPart;
        result.message =
            "Cannot name a new file after " + savePath + ": it has no " + missing + ".";
        return result;
    }
    for (int counter = 0; counter < outputCounterLimit; ++counter) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%03d", counter);
        std::string candidate =
            parts.drive + parts.directory + outputBaseName + digits + parts.extension;
        if (!exists(candidate)) {
            result.name = std::move(candidate);
            return result;
        }
    }
    result.failure = OutputNameFailure::AllNamesTaken;
    result.message = "No more " + parts.drive + parts.directory + outputBaseName + "*" +
                     parts.extension + " file names available. Delete one or more files.";
    return result;
}

} // namespace varnholt
