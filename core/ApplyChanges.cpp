#include "core/ApplyChanges.h"

#include "core/ByteView.h"
#include "core/FileAccess.h"
#include "core/SaveGameLoader.h"
#include "core/SaveLayout.h"
#include "core/UnitScaleTable.h"

#include <new>

namespace varnholt {

namespace {

struct Patch {
    std::int64_t offset;
    std::size_t width;
    std::uint32_t value;
};

// Derives the layout of the bytes in hand the way the loader does and tells
// whether it is the one `info` was loaded with.
bool hasLoadedLayout(std::span<const std::uint8_t> data, const std::string& sourcePath,
                     const SaveGameInfo& info, PathStyle style) {
    const auto version = detectReleaseOnDisk(data, sourcePath, style);
    if (!version || *version != info.version)
        return false;
    LayoutPositions positions;
    positions.campaignNameOffset = campaignNameOffsetFor(version->isExpansion);
    const auto name = readCampaignName(data, positions.campaignNameOffset);
    if (!name || name->empty())
        return false;
    positions.campaignShift = campaignShiftFor(positions.campaignNameOffset, name->size());
    const auto anchorOffset = findAnchor(data);
    if (!anchorOffset)
        return false;
    positions.anchorShift = anchorShiftFor(version->releaseCode, *anchorOffset);
    if (positions != info.positions)
        return false;
    const auto faction = readU8(data, readOffset(resolveLayout(info), Field::PlayerFaction));
    return faction && *faction == info.storedFactionByte;
}

void addPatches(std::vector<Patch>& patches, const ResolvedLayout& layout, Field field,
                std::uint32_t value) {
    for (std::int64_t offset : writeOffsets(layout, field))
        patches.push_back({offset, fieldWidth(field), value});
}

std::uint32_t difficultyByte(int difficulty) {
    return difficulty < 0 ? 0u : static_cast<std::uint32_t>(difficulty) & 0xFFu;
}

// The patches of every ticked group, in order of writing. A unit scale that is
// not in the table adds its error text and leaves that group out.
std::vector<Patch> patchesFor(const SaveGameInfo& info, const EditRequest& request,
                              std::vector<std::string>& errorTexts) {
    const ResolvedLayout layout = resolveLayout(info);
    std::vector<Patch> patches;
    if (request.setBattleDifficulty)
        addPatches(patches, layout, Field::BattleDifficulty,
                   difficultyByte(request.battleDifficulty));
    if (request.setCampaignDifficulty)
        addPatches(patches, layout, Field::CampaignDifficulty,
                   difficultyByte(request.campaignDifficulty));
    if (request.setBattleTimeLimit)
        addPatches(patches, layout, Field::BattleTimeLimit,
                   encodeNoBattleTimeLimit(request.noBattleTimeLimit));
    // The game has no long or short campaign setting in expansion saves.
    if (request.setCampaignLength && !info.version.isExpansion) {
        addPatches(patches, layout, Field::CampaignLengthFlag,
                   encodeCampaignLengthFlag(request.shortCampaign));
        addPatches(patches, layout, Field::CampaignLengthValue,
                   encodeCampaignLengthValue(request.shortCampaign));
    }
    if (request.setUnitScale) {
        if (const auto row = unitScaleByNumber(request.unitScale))
            addPatches(patches, layout, Field::UnitScale, row->floatBits);
        else
            errorTexts.push_back(unitScaleNotChangedText);
    }
    if (request.setYearAndSeason) {
        const bool isAD = request.isAD != 0;
        addPatches(patches, layout, Field::Season, encodeSeason(request.isWinter != 0));
        addPatches(patches, layout, Field::Year,
                   static_cast<std::uint32_t>(encodeYear(request.year, isAD)));
        addPatches(patches, layout, Field::TurnCounter,
                   turnCounter(request.year, isAD, request.isWinter == 1));
    }
    return patches;
}

} // namespace

ApplyOutcome applyChanges(const std::string& sourcePath, const std::string& outputPath,
                          const SaveGameInfo& info, const EditRequest& request, PathStyle style) {
    ApplyOutcome outcome;
    if (outputPath.empty())
        return outcome;
    try {
        if (isSameFile(sourcePath, outputPath)) {
            outcome.errorTexts.push_back(writeErrorText(outputPath, replacesSourceDescription));
            return outcome;
        }
        FileBuffer copy;
        try {
            copy = readWholeFile(sourcePath);
        } catch (const FileError& error) {
            outcome.errorTexts.push_back(readErrorText(sourcePath, error.description()));
            return outcome;
        }
        std::span<std::uint8_t> data = copy.bytes();
        if (!hasLoadedLayout(data, sourcePath, info, style)) {
            outcome.errorTexts.push_back(readErrorText(sourcePath, layoutChangedDescription));
            return outcome;
        }
        const std::vector<Patch> patches = patchesFor(info, request, outcome.errorTexts);
        // Every place is checked before the first byte changes: all or nothing.
        for (const Patch& patch : patches)
            if (!fitsInside(patch.offset, patch.width, data.size())) {
                outcome.errorTexts.push_back(readErrorText(
                    sourcePath, describeFileError(FileErrorCause::EndOfFile, sourcePath)));
                return outcome;
            }
        for (const Patch& patch : patches)
            writeLe(data, patch.offset, patch.width, patch.value);
        try {
            writeFileSafely(outputPath, data);
        } catch (const FileError& error) {
            outcome.errorTexts.push_back(writeErrorText(outputPath, error.description()));
            return outcome;
        }
        outcome.written = true;
    } catch (const std::bad_alloc&) {
        outcome.errorTexts.push_back(readErrorText(sourcePath, outOfMemoryDescription));
    }
    return outcome;
}

} // namespace varnholt
