#include "core/LayoutProbe.h"

#include "core/ByteView.h"
#include "core/FileAccess.h"

#include <algorithm>

namespace varnholt {

LayoutProbe probeLayout(SaveReader& reader, const std::string& path, const DirectoryQuery& folders,
                        PathStyle style) {
    LayoutProbe probe;
    const auto stop = [&probe](ProbeFailure failure) {
        probe.failure = failure;
        return probe;
    };

    // The release. A file too short for the header is no saved game of a known layout.
    const auto header = reader.ensure(releaseHeaderSize);
    if (header.size() < releaseHeaderSize)
        return stop(ProbeFailure::CutOff);
    // A path typed relative to the current folder is tested as the full path
    // it stands for; messages still name it as typed.
    probe.version = detectRelease(header, fullPath(path), folders, style);
    if (!probe.version)
        return stop(ProbeFailure::UnknownRelease);

    // The campaign name.
    const int nameOffset = campaignNameOffsetFor(probe.version->family);
    probe.positions.campaignNameOffset = nameOffset;
    auto name = reader.campaignName(nameOffset);
    if (!name)
        return stop(ProbeFailure::CutOff);
    if (name->empty())
        return stop(ProbeFailure::NoCampaignName);
    probe.positions.campaignShift = campaignShiftFor(nameOffset, name->size());
    probe.campaignName = std::move(name);

    // The anchor. The places read do not depend on it; the largest faction code
    // gives the farthest faction record.
    ResolvedLayout layout = resolveLayout(*probe.version, probe.positions, factionCount - 1);
    const auto placesEnd =
        static_cast<std::uint64_t>(std::max<std::int64_t>(0, readPlacesEnd(layout)));
    const auto anchorOffset = reader.findAnchorText(placesEnd);
    if (!anchorOffset)
        return stop(ProbeFailure::NoAnchor);
    probe.positions.anchorShift = anchorShiftFor(probe.version->releaseCode, *anchorOffset);

    // The player's faction, which decides the faction entries of the other places.
    layout.positions = probe.positions;
    probe.storedFactionByte = readU8(reader.bytes(), readOffset(layout, Field::PlayerFaction));
    if (!probe.storedFactionByte)
        return stop(ProbeFailure::CutOff);
    return probe;
}

} // namespace varnholt
