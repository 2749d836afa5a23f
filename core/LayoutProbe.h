#pragma once
// Finding the layout of a saved game from its bytes, the one way the loader and
// Apply both find it: the release from the header, the campaign name and its
// shift, the anchor and its shift, then the player's faction byte.

#include "core/GameVersion.h"
#include "core/SaveLayout.h"
#include "core/SaveReader.h"

#include <cstdint>
#include <optional>
#include <string>

namespace varnholt {

// Why a probe stopped.
enum class ProbeFailure {
    None,
    CutOff,         // the file ends inside the header, the campaign name or the faction byte
    UnknownRelease, // a header of no known release
    NoCampaignName, // the campaign name is empty
    NoAnchor,       // the anchor text is nowhere in the file
};

// What a probe found. Each step fills its part; a failure leaves the parts of
// the steps after it empty (and positions as far as the steps before it got).
struct LayoutProbe {
    ProbeFailure failure = ProbeFailure::None;
    // The release and its layout family.
    std::optional<GameVersion> version;
    // The campaign name, never empty.
    std::optional<std::u16string> campaignName;
    // campaignNameOffset from the release, campaignShift from the name,
    // anchorShift from the anchor.
    LayoutPositions positions;
    // The player's faction as stored (it may be 20 or more).
    std::optional<std::uint8_t> storedFactionByte;
};

// Probes the file `reader` reads. The places the loader reads lie before the
// anchor's stretch, so the reader's prefix takes them in before the anchor
// search reads on; afterwards reader.bytes() holds every one of them that the
// file has. The folder test of detectRelease looks beside the full path of
// `path` and asks `folders` (the file system's directories by default; an
// empty query finds no folder).
LayoutProbe probeLayout(SaveReader& reader, const std::string& path,
                        const DirectoryQuery& folders = directoryOnDisk,
                        PathStyle style = nativePathStyle);

} // namespace varnholt
