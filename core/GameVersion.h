#pragma once
// Which release of the game wrote a saved game, decided from four header bytes
// and, for one header kind, from the game's folder layout.

#include "core/PathStyle.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace varnholt {

// The layout family of a release: it decides the name's offset (expansion),
// the faction difficulty pair's bases and, for the first release, the size of
// the faction records and where the places before the anchor lie.
enum class LayoutFamily {
    FirstRelease,  // release code 1 ("1.0" and "1.1")
    EarlyBaseGame, // "1.2", and "1.3" when the expansion's folder decided it
    LateBaseGame,  // a 3/7 or 4+ header without the expansion marker ("1.3", "1.5")
    Expansion,     // the expansion marker ("1.4", "1.6")
};

struct GameVersion {
    int releaseCode = 1;      // 1 to 6; "1.0" and "1.1" share code 1
    std::string releaseLabel; // "1.0" ... "1.6"
    LayoutFamily family = LayoutFamily::FirstRelease;
    // A "1.2" header read as "1.3" because the expansion's folder stands
    // beside the saves folder (see detectRelease).
    bool decidedByExpansionFolder = false;
    // A "1.2" header whose expansion folder could not be looked for: the
    // platform sees no folders around the save (a browser's). It is "1.3"
    // where the game's expansion folder stands beside its saves folder; both
    // read and write alike.
    bool expansionFolderUnknown = false;

    bool isExpansion() const { return family == LayoutFamily::Expansion; }
    bool isLateBaseGame() const { return family == LayoutFamily::LateBaseGame; }

    bool operator==(const GameVersion&) const = default;
};

// Number of leading bytes that detectRelease examines (offsets 0, 2, 4 and 6).
inline constexpr std::size_t releaseHeaderSize = 8;

// Whether a path names an existing directory; nothing where the platform
// cannot tell.
using DirectoryQuery = std::function<std::optional<bool>(const std::string& path)>;

// The query of the file system's own directories.
std::optional<bool> directoryOnDisk(const std::string& path);

// The folder whose existence turns a "1.2" header into "1.3": the text of the
// save's full path before its first "\saves\" ("/saves/" on POSIX), followed by
// "\bi" ("/bi"). Nothing when the path has no saves folder.
std::optional<std::string> expansionFolderFor(const std::string& savePath,
                                              PathStyle style = nativePathStyle);

// The release that wrote `data`, or nothing for an unrecognised release (or
// fewer than releaseHeaderSize bytes). `savePath` is the save's full path (see
// fullPath in core/FileAccess.h); for a "1.2" header, an existing directory
// named by expansionFolderFor(savePath) turns it into "1.3", and one the query
// cannot tell of leaves it "1.2" with expansionFolderUnknown.
std::optional<GameVersion> detectRelease(std::span<const std::uint8_t> data,
                                         const std::string& savePath,
                                         const DirectoryQuery& isDirectory,
                                         PathStyle style = nativePathStyle);

} // namespace varnholt
