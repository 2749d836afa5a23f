#include "core/ApplyChanges.h"

#include "core/ByteView.h"
#include "core/FileAccess.h"
#include "core/LayoutProbe.h"
#include "core/SaveGameLoader.h"
#include "core/SaveLayout.h"
#include "core/SaveReader.h"
#include "core/UnitScaleTable.h"

#include <new>

namespace varnholt {

namespace {

struct Patch {
    std::int64_t offset;
    std::size_t width;
    std::uint32_t value;
};

// Finds the layout of the copy the way the loader finds it in the save, and
// tells whether it is the one the last load found.
bool hasLoadedLayout(OutputCopy& copy, const std::string& sourcePath, const LoadedLayout& loaded,
                     PathStyle style) {
    std::uint64_t next = 0;
    SaveReader reader([&](std::span<std::uint8_t> into) {
        const std::size_t got = copy.read(next, into);
        next += got;
        return got;
    });
    const LayoutProbe probe = probeLayout(reader, sourcePath, style);
    return probe.failure == ProbeFailure::None && *probe.version == loaded.version &&
           probe.positions == loaded.positions &&
           *probe.storedFactionByte == loaded.storedFactionByte;
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
std::vector<Patch> patchesFor(const LoadedLayout& loaded, const EditRequest& request,
                              std::vector<std::string>& errorTexts) {
    const ResolvedLayout layout = resolveLayout(loaded);
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
    if (request.setCampaignLength && !loaded.version.isExpansion()) {
        addPatches(patches, layout, Field::CampaignLengthFlag,
                   encodeCampaignLengthFlag(request.shortCampaign));
        addPatches(patches, layout, Field::CampaignLengthValue,
                   encodeCampaignLengthValue(request.shortCampaign));
    }
    if (request.setUnitScale) {
        if (const auto row = unitScaleByNumber(request.unitScale))
            addPatches(patches, layout, Field::UnitScale, row->floatBits);
        else
            errorTexts.emplace_back(localized(unitScaleNotChangedText));
    }
    if (request.setYearAndSeason) {
        const bool isAD = request.isAD != 0;
        // Not a slip: the two tests differ on purpose. With no season ticked
        // (isWinter -1) the season bytes say winter (any choice but 0) while the
        // turn counter adds its winter half-year only for exactly 1 (the test
        // ChoicesAndYearsAreStoredAsTheGameExpects holds both).
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
                          const LoadedLayout& loaded, const EditRequest& request, PathStyle style) {
    ApplyOutcome outcome;
    if (outputPath.empty())
        return outcome;
    try {
        if (isSameFile(sourcePath, outputPath)) {
            outcome.errorTexts.push_back(
                writeErrorText(outputPath, localized(replacesSourceDescription)));
            return outcome;
        }
        // The copy is checked and patched where it lies; until it is published
        // nothing at the output path changes, and a refusal leaves no file.
        OutputCopy copy(sourcePath, outputPath);
        if (!hasLoadedLayout(copy, sourcePath, loaded, style)) {
            outcome.errorTexts.push_back(
                readErrorText(sourcePath, localized(layoutChangedDescription)));
            return outcome;
        }
        const std::vector<Patch> patches = patchesFor(loaded, request, outcome.errorTexts);
        // Every place is checked before the first byte changes: all or nothing.
        for (const Patch& patch : patches)
            if (!fitsInside(patch.offset, patch.width, copy.size())) {
                outcome.errorTexts.push_back(readErrorText(
                    sourcePath, describeFileError(FileErrorCause::EndOfFile, sourcePath)));
                return outcome;
            }
        for (const Patch& patch : patches) {
            std::uint8_t bytes[4];
            writeLe(bytes, 0, patch.width, patch.value);
            copy.write(static_cast<std::uint64_t>(patch.offset), {bytes, patch.width});
        }
        copy.publish();
        outcome.written = true;
    } catch (const FileError& error) {
        // The failure names the file it happened to: the source being read, or
        // the new file in any way.
        outcome.errorTexts.push_back(error.path() == sourcePath
                                         ? readErrorText(sourcePath, error.description())
                                         : writeErrorText(outputPath, error.description()));
    } catch (const std::bad_alloc&) {
        outcome.errorTexts.push_back(readErrorText(sourcePath, localized(outOfMemoryDescription)));
    }
    return outcome;
}

} // namespace varnholt
