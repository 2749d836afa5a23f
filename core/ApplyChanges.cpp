#include "core/ApplyChanges.h"

#include "core/ByteView.h"
#include "core/FileAccess.h"
#include "core/LayoutProbe.h"
#include "core/SaveLayout.h"
#include "core/SaveReader.h"
#include "core/UnitScaleTable.h"
#include "core/Vocabularies.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace varnholt {

namespace {

struct Patch {
    std::int64_t offset;
    std::size_t width;
    std::uint32_t value;
};

// Finds the layout of the save the way the loader finds it, and tells whether
// it is the one the last load found: the layout family, the positions and the
// stored faction. Which release of a family wrote it ("1.2" or "1.3") moves no
// place, so no folder is asked about.
bool hasLoadedLayout(SaveReader& reader, const std::string& sourcePath, const LoadedLayout& loaded,
                     PathStyle style) {
    const LayoutProbe probe = probeLayout(reader, sourcePath, {}, style);
    return probe.failure == ProbeFailure::None && probe.version->family == loaded.version.family &&
           probe.positions == loaded.positions &&
           *probe.storedFactionByte == loaded.storedFactionByte;
}

void addPatches(std::vector<Patch>& patches, const ResolvedLayout& layout, Field field,
                std::uint32_t value) {
    for (std::int64_t offset : writeOffsets(layout, field))
        patches.push_back({offset, fieldWidth(field), value});
}

// The stored value of a year as the request gives it: 32-bit two's complement,
// wrapping as the store does (the one year that fits only as BC, 2147483648,
// is INT32_MIN either way).
std::int32_t year32(std::int64_t year) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(year));
}

// The patches of every group the request gives, in order of writing. A unit
// scale that is not in the table adds its problem and leaves that group out.
std::vector<Patch> patchesFor(const LoadedLayout& loaded, const EditRequest& request,
                              std::vector<ApplyProblem>& problems) {
    const ResolvedLayout layout = resolveLayout(loaded);
    std::vector<Patch> patches;
    if (request.battleDifficulty)
        addPatches(patches, layout, Field::BattleDifficulty,
                   static_cast<std::uint32_t>(*request.battleDifficulty) & 0xFFu);
    if (request.campaignDifficulty)
        addPatches(patches, layout, Field::CampaignDifficulty,
                   static_cast<std::uint32_t>(*request.campaignDifficulty) & 0xFFu);
    if (request.noBattleTimeLimit)
        addPatches(patches, layout, Field::BattleTimeLimit,
                   encodeNoBattleTimeLimit(*request.noBattleTimeLimit));
    // The game has no long or short campaign setting in expansion saves.
    if (request.shortCampaign && !loaded.version.isExpansion()) {
        addPatches(patches, layout, Field::CampaignLengthFlag,
                   encodeCampaignLengthFlag(*request.shortCampaign));
        addPatches(patches, layout, Field::CampaignLengthValue,
                   encodeCampaignLengthValue(*request.shortCampaign));
    }
    if (request.unitScale) {
        if (const auto row = unitScaleByNumber(*request.unitScale))
            addPatches(patches, layout, Field::UnitScale, row->floatBits);
        else
            problems.push_back({ApplyProblemKind::UnitScaleNotRecognised});
    }
    if (const auto& date = request.yearAndSeason) {
        const bool isAD = date->era == Era::AD;
        const bool isWinter = date->season == Season::Winter;
        addPatches(patches, layout, Field::Season, encodeSeason(isWinter));
        addPatches(patches, layout, Field::Year,
                   static_cast<std::uint32_t>(encodeYear(year32(date->year), isAD)));
        addPatches(patches, layout, Field::TurnCounter,
                   turnCounter(year32(date->year), isAD, isWinter));
    }
    return patches;
}

} // namespace

std::vector<RequestProblem> validate(const EditRequest& request, const GameVersion& version) {
    std::vector<RequestProblem> problems;
    const auto outOfRange = [](const std::optional<Difficulty>& difficulty) {
        return difficulty && static_cast<int>(*difficulty) >= difficultyCount; // only by a cast
    };
    if (outOfRange(request.campaignDifficulty) || outOfRange(request.battleDifficulty))
        problems.push_back(RequestProblem::DifficultyOutOfRange);
    if (request.shortCampaign && version.isExpansion())
        problems.push_back(RequestProblem::NoCampaignLengthSetting);
    if (const auto& date = request.yearAndSeason) {
        const std::int64_t stored = date->era == Era::AD ? date->year : -date->year;
        if (stored < INT32_MIN || stored > INT32_MAX)
            problems.push_back(RequestProblem::YearDoesNotFit);
        // Written, it would read back as 0 AD beside a turn counter of 1 AD.
        if (date->year == 0)
            problems.push_back(RequestProblem::NoYearZero);
    }
    return problems;
}

ApplyPlan planChanges(SaveReader& source, const std::function<bool(std::uint64_t)>& reaches,
                      const std::string& sourcePath, const LoadedLayout& loaded,
                      const EditRequest& request, PathStyle style) {
    ApplyPlan plan;
    if (!hasLoadedLayout(source, sourcePath, loaded, style)) {
        plan.problems.push_back({ApplyProblemKind::LayoutChanged});
        return plan;
    }
    const std::vector<Patch> patches = patchesFor(loaded, request, plan.problems);
    // Every place is checked before the first byte changes: all or nothing.
    for (const Patch& patch : patches)
        if (patch.offset < 0 || !reaches(static_cast<std::uint64_t>(patch.offset) + patch.width)) {
            plan.problems.push_back({ApplyProblemKind::ReadFailed, FileErrorCause::EndOfFile});
            return plan;
        }
    for (const Patch& patch : patches) {
        BytePatch bytes;
        bytes.offset = static_cast<std::uint64_t>(patch.offset);
        bytes.width = patch.width;
        writeLe(bytes.bytes, 0, patch.width, patch.value);
        plan.patches.push_back(bytes);
    }
    plan.ready = true;
    return plan;
}

ApplyPlan planChanges(const std::string& sourcePath, const LoadedLayout& loaded,
                      const EditRequest& request, PathStyle style) {
    ApplyPlan plan;
    try {
        SequentialFile file(sourcePath);
        std::uint64_t read = 0;
        SaveReader reader([&](std::span<std::uint8_t> into) {
            const std::size_t got = file.read(into);
            read += got;
            return got;
        });
        // Whether the file goes on to `end`: read on past what the probe read.
        std::vector<std::uint8_t> passed;
        const auto reaches = [&](std::uint64_t end) {
            while (read < end) {
                passed.resize(
                    static_cast<std::size_t>(std::min<std::uint64_t>(end - read, 1 << 16)));
                const std::size_t got = file.read(passed);
                read += got;
                if (got < passed.size())
                    return read >= end;
            }
            return true;
        };
        plan = planChanges(reader, reaches, sourcePath, loaded, request, style);
        file.close();
    } catch (const FileError& error) {
        plan = {};
        plan.problems.push_back({ApplyProblemKind::ReadFailed, error.cause()});
    } catch (const std::bad_alloc&) {
        plan = {};
        plan.problems.push_back({ApplyProblemKind::OutOfMemory});
    }
    return plan;
}

ApplyOutcome applyChanges(const std::string& sourcePath, const std::string& outputPath,
                          const LoadedLayout& loaded, const EditRequest& request, PathStyle style) {
    ApplyOutcome outcome;
    const auto fail = [&outcome](ApplyProblemKind kind,
                                 FileErrorCause cause = FileErrorCause::None) {
        outcome.problems.push_back({kind, cause});
        return outcome;
    };
    if (outputPath.empty())
        return outcome;
    try {
        if (isSameFile(sourcePath, outputPath))
            return fail(ApplyProblemKind::ReplacesSource);
        // The copy is checked and patched where it lies; until it is published
        // nothing at the output path changes, and a refusal leaves no file.
        OutputCopy copy(sourcePath, outputPath);
        std::uint64_t next = 0;
        SaveReader reader([&](std::span<std::uint8_t> into) {
            const std::size_t got = copy.read(next, into);
            next += got;
            return got;
        });
        ApplyPlan plan = planChanges(
            reader, [&copy](std::uint64_t end) { return end <= copy.size(); }, sourcePath, loaded,
            request, style);
        outcome.problems = std::move(plan.problems);
        if (!plan.ready)
            return outcome;
        for (const BytePatch& patch : plan.patches)
            copy.write(patch.offset, {patch.bytes, patch.width});
        copy.publish();
        outcome.written = true;
    } catch (const FileError& error) {
        // The failure names the file it happened to: the source being read, or
        // the new file in any way.
        fail(error.path() == sourcePath ? ApplyProblemKind::ReadFailed
                                        : ApplyProblemKind::WriteFailed,
             error.cause());
    } catch (const std::bad_alloc&) {
        fail(ApplyProblemKind::OutOfMemory);
    }
    return outcome;
}

} // namespace varnholt
