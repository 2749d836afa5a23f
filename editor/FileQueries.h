#pragma once
// What the editor asks of the file system. The model asks core directly;
// tests inject their own answers.

#include "core/GameVersion.h"

#include <functional>
#include <optional>
#include <string>

namespace varnholt {

struct FileQueries {
    // Whether an entry (file, directory or anything else) of that path exists.
    std::function<bool(const std::string& path)> pathExists;
    // Whether the user may create files in that folder.
    std::function<bool(const std::string& folder)> isWritableFolder;
    // The user's home folder, or nothing when it is unknown.
    std::function<std::optional<std::string>()> homeFolder;
    // Whether a path names a directory, for the release's folder test; nothing
    // where the platform sees no folders around a save (a browser's).
    DirectoryQuery isDirectory;
};

// core's answers.
FileQueries systemFileQueries();

} // namespace varnholt
