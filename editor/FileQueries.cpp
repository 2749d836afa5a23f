#include "editor/FileQueries.h"

#include "core/FileAccess.h"

namespace varnholt {

FileQueries systemFileQueries() {
    return {[](const std::string& path) { return pathExists(path); },
            [](const std::string& folder) { return isWritableFolder(folder); },
            [] { return homeFolder(); },
            [](const std::string& path) { return std::optional<bool>(isDirectory(path)); }};
}

} // namespace varnholt
