#include "core/OutputName.h"

#include <cstdio>

namespace varnholt {

OutputNameResult makeOutputName(const std::string& savePath, const ExistsQuery& exists,
                                PathStyle style) {
    OutputNameResult result;
    const PathParts parts = splitPath(savePath, style);
    std::optional<PathPart> missing;
    if (style == PathStyle::Windows && parts.drive.empty())
        missing = PathPart::Drive;
    else if (parts.directory.empty())
        missing = PathPart::Folder;
    else if (parts.baseName.empty())
        missing = PathPart::FileName;
    else if (parts.extension.empty())
        missing = PathPart::Extension;
    if (missing) {
        result.failure = OutputNameFailure::EmptyPathPart;
        result.missingPart = *missing;
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
    result.namePattern = parts.drive + parts.directory + outputBaseName + "*" + parts.extension;
    return result;
}

} // namespace varnholt
