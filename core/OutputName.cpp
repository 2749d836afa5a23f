#include "core/OutputName.h"

#include <cstdio>

namespace varnholt {

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
