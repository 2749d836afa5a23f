#include "editor/FileQueries.h"

#include "core/FileAccess.h"

namespace varnholt {

FileQueries systemFileQueries() {
    return {[](const std::string& path) { return pathExists(path); },
            [](const std::string& folder) { return isWritableFolder(folder); },
            [] { return homeFolder(); }, directoryOnDisk};
}

} // namespace varnholt
