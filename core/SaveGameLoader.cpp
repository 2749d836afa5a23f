#include "core/SaveGameLoader.h"

#include "core/ByteView.h"
#include "core/LayoutProbe.h"
#include "core/SaveLayout.h"
#include "core/SaveReader.h"
#include "core/TextCodec.h"

#include <new>

namespace varnholt {

namespace {

bool allInside(std::span<const std::uint8_t> data, const ResolvedLayout& layout) {
    for (const PlaceRow& row : settingsTable())
        if (row.role == Role::Read &&
            !fitsInside(readOffset(layout, row.field), fieldWidth(row.field), data.size()))
            return false;
    return true;
}

void fail(LoadResult& result, LoadProblemKind kind, FileErrorCause cause = FileErrorCause::None) {
    result.problems.push_back({kind, cause});
}

// Decodes a save being read into `result`.
void decode(SequentialFile& file, SaveReader& reader, const std::string& path, int factionInForce,
            const DirectoryQuery& folders, PathStyle style, LoadResult& result) {
    // The steps of the probe that succeeded give what they learnt, even when a
    // later one fails.
    const LayoutProbe probe = probeLayout(reader, path, folders, style);
    result.version = probe.version;
    if (probe.campaignName) {
        const bool isMod = isModCampaignName(*probe.campaignName);
        result.campaign =
            LoadedCampaign{utf16ToUtf8(*probe.campaignName), isMod, probe.positions.campaignShift,
                           chooseVocabularies(isMod, probe.version->isExpansion())};
    }
    switch (probe.failure) {
    case ProbeFailure::None:
        break;
    case ProbeFailure::CutOff:
        // A file that ends inside a step is no saved game of a known layout: it
        // is told by the step that could not finish. One that ends before its
        // campaign name begins holds no more than a header (a text file, say):
        // no release at all.
        if (!probe.version || (!probe.campaignName &&
                               reader.bytes().size() <=
                                   static_cast<std::size_t>(probe.positions.campaignNameOffset))) {
            result.version.reset();
            return fail(result, LoadProblemKind::UnknownRelease);
        }
        return fail(result, probe.campaignName ? LoadProblemKind::NoAnchor
                                               : LoadProblemKind::NoCampaignName);
    case ProbeFailure::UnknownRelease:
        return fail(result, LoadProblemKind::UnknownRelease);
    case ProbeFailure::NoCampaignName:
        return fail(result, LoadProblemKind::NoCampaignName);
    case ProbeFailure::NoAnchor:
        return fail(result, LoadProblemKind::NoAnchor);
    }

    // Every place read below must lie inside the data before anything is
    // decoded. A stored faction past the table leaves the faction in force,
    // whose record then gives the campaign difficulty.
    const std::uint8_t storedFaction = *probe.storedFactionByte;
    const ResolvedLayout layout =
        resolveLayout(*probe.version, probe.positions,
                      storedFaction < factionCount ? storedFaction : factionInForce);
    if (!allInside(reader.bytes(), layout))
        return fail(result, LoadProblemKind::NoAnchor);
    file.close();
    const auto data = reader.bytes();
    const auto byteAt = [&](Field field) { return *readU8(data, readOffset(layout, field)); };
    const auto difficulty = [](int stored) -> std::optional<Difficulty> {
        if (stored >= difficultyCount)
            return std::nullopt;
        return static_cast<Difficulty>(stored);
    };

    LoadedSettings settings;
    settings.anchorShift = probe.positions.anchorShift;
    settings.storedFactionByte = storedFaction;
    if (storedFaction < factionCount)
        settings.factionCode = storedFaction;
    settings.battleDifficulty = difficulty(byteAt(Field::BattleDifficulty));
    settings.campaignDifficulty = difficulty(byteAt(Field::CampaignDifficulty));
    settings.noBattleTimeLimit = decodeNoBattleTimeLimit(byteAt(Field::BattleTimeLimit));
    settings.shortCampaign = decodeCampaignLengthFlag(byteAt(Field::CampaignLengthFlag));
    settings.unitScale =
        unitScaleByFloatBits(*readU32le(data, readOffset(layout, Field::UnitScale)));
    if (!settings.unitScale)
        fail(result, LoadProblemKind::UnitScaleNotRecognised);
    settings.isWinter = decodeSeason(byteAt(Field::Season));
    settings.storedYear = *readI32le(data, readOffset(layout, Field::Year));
    result.settings = settings;
}

} // namespace

LoadResult loadSaveGame(const std::string& path, int factionInForce, const DirectoryQuery& folders,
                        PathStyle style) {
    LoadResult result;
    try {
        SequentialFile file(path);
        SaveReader reader([&file](std::span<std::uint8_t> into) { return file.read(into); });
        decode(file, reader, path, factionInForce, folders, style, result);
    } catch (const FileError& error) {
        fail(result, LoadProblemKind::FileFailed, error.cause());
    } catch (const std::bad_alloc&) {
        fail(result, LoadProblemKind::OutOfMemory);
    }
    return result;
}

SaveGameInfo infoAfter(const LoadResult& result, SaveGameInfo info) {
    if (result.version) {
        info.version = *result.version;
        info.positions.campaignNameOffset = campaignNameOffsetFor(result.version->family);
    }
    if (result.campaign) {
        info.campaignName = result.campaign->name;
        info.positions.campaignShift = result.campaign->campaignShift;
        info.isModCampaign = result.campaign->isModCampaign;
        info.vocabularies = result.campaign->vocabularies;
    }
    if (const auto& settings = result.settings) {
        info.positions.anchorShift = settings->anchorShift;
        info.storedFactionByte = settings->storedFactionByte;
        if (settings->factionCode) {
            info.factionCode = *settings->factionCode;
            if (namesFaction(info.vocabularies.factions, info.factionCode))
                info.namedFaction = FactionSlot{info.vocabularies.factions, info.factionCode};
        }
    }
    return info;
}

SaveSettings settingsAfter(const LoadResult& result, SaveSettings settings) {
    if (!result.settings)
        return settings;
    const LoadedSettings& loaded = *result.settings;
    if (loaded.battleDifficulty)
        settings.battleDifficulty = loaded.battleDifficulty;
    if (loaded.campaignDifficulty)
        settings.campaignDifficulty = loaded.campaignDifficulty;
    settings.noBattleTimeLimit = loaded.noBattleTimeLimit;
    settings.shortCampaign = loaded.shortCampaign;
    settings.unitScale = loaded.unitScale ? loaded.unitScale->number : defaultUnitScale;
    settings.unitScaleClass =
        loaded.unitScale ? loaded.unitScale->sizeClass : defaultUnitScaleClass;
    settings.isWinter = loaded.isWinter;
    const DecodedYear year = decodeYear(loaded.storedYear);
    settings.isAD = year.isAD;
    settings.year = year.year;
    return settings;
}

} // namespace varnholt
