// The user's folders on POSIX systems.

#include "core/FileAccess.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace varnholt {

bool isWritableFolder(const std::string& folder) {
    struct stat status {};
    if (folder.empty() || ::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    // Writing a file needs write and search permission on the folder.
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::optional<std::string> homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home);
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        return std::string(found->pw_dir);
    return std::nullopt;
}

} // namespace varnholt
