#include "core/GameVersion.h"

#include "core/FileAccess.h"

namespace varnholt {

std::optional<bool> directoryOnDisk(const std::string& path) {
    return isDirectory(path);
}

std::optional<std::string> expansionFolderFor(const std::string& savePath, PathStyle style) {
    // Only the separator the platform writes counts here, letter case as written.
    const std::string separator(1, pathSeparator(style));
    const auto at = savePath.find(separator + "saves" + separator);
    if (at == std::string::npos)
        return std::nullopt;
    return savePath.substr(0, at) + separator + "bi";
}

std::optional<GameVersion> detectRelease(std::span<const std::uint8_t> data,
                                         const std::string& savePath,
                                         const DirectoryQuery& isDirectory, PathStyle style) {
    using enum LayoutFamily;
    if (data.size() < releaseHeaderSize)
        return std::nullopt;
    const std::uint8_t format = data[0];
    const std::uint8_t subFormat = data[2];
    const bool marker = data[4] == 0x62 && data[6] == 0x69; // "bi", low bytes of UTF-16

    switch (format) {
    case 0:
        return std::nullopt;
    case 1:
        return GameVersion{1, "1.0", FirstRelease};
    case 2:
        return GameVersion{1, "1.1", FirstRelease};
    case 3:
        if (subFormat == 4) {
            // The 1.2 header is also written by 1.3 without the expansion
            // installed; the expansion's folder beside the saves folder tells
            // them apart. Such a 1.3 keeps the 1.2 layout.
            const auto folder = expansionFolderFor(savePath, style);
            const std::optional<bool> found =
                folder && isDirectory ? isDirectory(*folder) : std::optional(false);
            if (found == true)
                return GameVersion{3, "1.3", EarlyBaseGame, true};
            return GameVersion{2, "1.2", EarlyBaseGame, false, !found};
        }
        if (subFormat == 7)
            return marker ? GameVersion{4, "1.4", Expansion} : GameVersion{3, "1.3", LateBaseGame};
        return std::nullopt;
    default:
        return marker ? GameVersion{6, "1.6", Expansion} : GameVersion{5, "1.5", LateBaseGame};
    }
}

} // namespace varnholt
