#include "editor/BrowseDialog.h"

#include "core/OutputName.h"
#include "core/TextCodec.h"

namespace varnholt {

std::vector<FileFilter> parseFilterText(std::string_view filterText) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= filterText.size()) {
        const std::size_t bar = filterText.find('|', start);
        const std::size_t end = bar == std::string_view::npos ? filterText.size() : bar;
        fields.push_back(filterText.substr(start, end - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    std::vector<FileFilter> filters;
    // "||" ends the list: an empty name stops it.
    for (std::size_t i = 0; i + 1 < fields.size() && !fields[i].empty(); i += 2)
        filters.push_back({std::string(fields[i]), std::string(fields[i + 1])});
    return filters;
}

std::string initialBrowseFolder(const std::string& sourcePath, const std::string& programFolder,
                                const FileQueries& queries, PathStyle style) {
    if (sourcePath.empty()) {
        if (!queries.isWritableFolder(programFolder))
            if (auto home = queries.homeFolder())
                return std::move(*home);
        return programFolder;
    }
    const PathParts parts = splitPath(sourcePath, style);
    return parts.drive + std::string(cutUtf8(parts.directory, browseFolderLimit));
}

OpenFileDialogSettings browseDialogSettings(const std::string& sourcePath,
                                            const std::string& programFolder,
                                            const FileQueries& queries, PathStyle style) {
    OpenFileDialogSettings s;
    s.title = localized(browseTitle);
    s.filters = parseFilterText(browseFilterText);
    for (FileFilter& filter : s.filters)
        filter.name = std::string(localized(filter.name));
    s.defaultExtension = browseDefaultExtension;
    s.initialFolder = initialBrowseFolder(sourcePath, programFolder, queries, style);
    s.fileMustExist = true;
    s.pathMustExist = true;
    s.showReadOnlyOption = false;
    s.keepCurrentFolder = true;
    return s;
}

} // namespace varnholt
