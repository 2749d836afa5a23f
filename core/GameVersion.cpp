#include "core/GameVersion.h"

namespace varnholt {

namespace {

GameVersion version(int code, const char* label, bool expansion = false, bool late = false) {
    return GameVersion{code, label, expansion, late};
}

} // namespace

std::optional<std::string> expansionFolderFor(const std::string& savePath, PathStyle style) {
    const char* savesFolder = style == PathStyle::Windows ? "\\saves\\" : "/saves/";
    const char* expansionFolder = style == PathStyle::Windows ? "\\bi" : "/bi";
    const auto at = savePath.find(savesFolder);
    if (at == std::string::npos)
        return std::nullopt;
    return savePath.substr(0, at) + expansionFolder;
}

std::optional<GameVersion> detectRelease(std::span<const std::uint8_t> data,
                                         const std::string& savePath,
                                         const DirectoryQuery& isDirectory, PathStyle style) {
    if (data.size() < releaseHeaderSize)
        return std::nullopt;
    const std::uint8_t format = data[0];
    const std::uint8_t subFormat = data[2];
    const bool marker = data[4] == 0x62 && data[6] == 0x69;

    switch (format) {
    case 0:
        return std::nullopt;
    case 1:
        return version(1, "1.0");
    case 2:
        return version(1, "1.1");
    case 3:
        if (subFormat == 4) {
            // The 1.2 header is also written by 1.3 without the expansion
            // installed; the expansion's folder beside the saves folder tells them apart.
            const auto folder = expansionFolderFor(savePath, style);
            if (folder && isDirectory && isDirectory(*folder)) {
                GameVersion read = version(3, "1.3");
                read.decidedByExpansionFolder = true;
                return read;
            }
            return version(2, "1.2");
        }
        if (subFormat == 7)
            return marker ? version(4, "1.4", true, false) : version(3, "1.3", false, true);
        return std::nullopt;
    default:
        return marker ? version(6, "1.6", true, false) : version(5, "1.5", false, true);
    }
}

} // namespace varnholt
