#include "core/OutputName.h"

#include "core/UiText.h"

#include <cstdio>

namespace varnholt {

OutputNameResult makeOutputName(const std::string& savePath, const ExistsQuery& exists,
                                PathStyle style) {
    OutputNameResult result;
    const PathParts parts = splitPath(savePath, style);
    // Whole sentences, so that each language words them its own way.
    const char* missing = nullptr;
    if (style == PathStyle::Windows && parts.drive.empty())
        missing = uiText("Cannot name a new file after %1: it has no drive letter.");
    else if (parts.directory.empty())
        missing = uiText("Cannot name a new file after %1: it has no folder.");
    else if (parts.baseName.empty())
        missing = uiText("Cannot name a new file after %1: it has no file name.");
    else if (parts.extension.empty())
        missing = uiText("Cannot name a new file after %1: it has no extension.");
    if (missing) {
        result.failure = OutputNameFailure::EmptyPathPart;
        result.message = localizedWith(missing, {savePath});
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
    // TRANSLATORS: %1 is a name pattern such as C:\Saves\Varnholt*.sav.
    result.message =
        localizedWith(uiText("No more %1 file names available. Delete one or more files."),
                      {parts.drive + parts.directory + outputBaseName + "*" + parts.extension});
    return result;
}

} // namespace varnholt
