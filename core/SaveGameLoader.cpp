#include "core/SaveGameLoader.h"

#include "core/ByteView.h"
#include "core/FileAccess.h"
#include "core/SaveLayout.h"
#include "core/TextCodec.h"
#include "core/UnitScaleTable.h"
#include "core/Vocabularies.h"

#include <new>

namespace varnholt {

namespace {

std::string withPath(const char* pattern, const std::string& path) {
    std::string text = pattern;
    const auto at = text.find("%s");
    return text.replace(at, 2, path);
}

bool allInside(std::span<const std::uint8_t> data, const ResolvedLayout& layout,
               std::initializer_list<Field> fields) {
    for (Field field : fields)
        if (!fitsInside(readOffset(layout, field), fieldWidth(field), data.size()))
            return false;
    return true;
}

// Steps 3 to 13 on bytes already in memory. Returns false after reporting.
bool decode(std::span<const std::uint8_t> data, const std::string& path, SaveGameInfo& info,
            const LoadMessageSink& sink, PathStyle style) {
    const auto report = [&](std::string text, Severity severity) {
        if (sink)
            sink(LoadMessage{std::move(text), severity});
    };
    const auto pastEnd = [&] {
        report(readErrorText(path, describeFileError(FileErrorCause::EndOfFile, path)),
               Severity::Error);
        return false;
    };

    // Release. A file too short for the header is no saved game of a known layout.
    if (data.size() < releaseHeaderSize)
        return pastEnd();
    const auto version = detectRelease(
        data, path, [](const std::string& p) { return isDirectory(p); }, style);
    if (!version) {
        report(withPath(unknownVersionText, path), Severity::Error);
        return false;
    }
    info.releaseLabel = version->releaseLabel;
    info.releaseCode = version->releaseCode;
    info.isExpansion = version->isExpansion;
    info.isLateBaseGame = version->isLateBaseGame;

    // Campaign name.
    info.campaignNameOffset = campaignNameOffsetFor(info.isExpansion);
    const auto firstUnit = readU16le(data, info.campaignNameOffset);
    if (firstUnit && *firstUnit == 0) {
        report(withPath(noCampaignText, path), Severity::Error);
        return false;
    }
    const auto name = readCampaignName(data, info.campaignNameOffset);
    if (!name)
        return pastEnd();
    info.campaignName = utf16ToUtf8(*name);
    info.campaignShift = info.campaignNameOffset + 2 * static_cast<std::int64_t>(name->size()) -
                         referenceNameTerminator;
    info.isModCampaign = isModCampaignName(*name);
    info.factionNames = FactionNameTable{};
    const Vocabularies vocabularies = chooseVocabularies(info.isModCampaign, info.isExpansion);
    info.difficultyNames = vocabularies.difficultyNames;
    info.factionNames = vocabularies.factionNames;

    // Anchor.
    const auto anchorOffset = findAnchor(data);
    if (!anchorOffset) {
        report(withPath(noAnchorText, path), Severity::Error);
        return false;
    }

    // Every place read below must lie inside the data before anything is decoded,
    // so a short file leaves the faction and the settings of the earlier load.
    ResolvedLayout layout;
    layout.positions = {info.releaseCode, info.campaignNameOffset, info.campaignShift,
                        *anchorOffset - anchorNominalFor(info.releaseCode)};
    layout.family = layoutFamilyOf(info.releaseCode, info.isExpansion, info.isLateBaseGame);
    layout.factionCode = info.factionCode;
    const auto storedFaction = readU8(data, readOffset(layout, Field::PlayerFaction));
    if (!storedFaction)
        return pastEnd();
    if (*storedFaction < factionCount)
        layout.factionCode = *storedFaction;
    if (!allInside(data, layout,
                   {Field::BattleDifficulty, Field::CampaignDifficulty, Field::BattleTimeLimit,
                    Field::CampaignLengthFlag, Field::UnitScale, Field::Season, Field::Year}))
        return pastEnd();
    info.anchorShift = layout.positions.anchorShift;

    // Player's faction.
    info.storedFactionByte = *storedFaction;
    if (*storedFaction < factionCount) {
        info.factionCode = *storedFaction;
        if (auto factionText = factionName(info.factionNames, info.factionCode))
            info.factionName = *factionText;
    }

    const auto byteAt = [&](Field field) { return *readU8(data, readOffset(layout, field)); };
    const auto difficultyCount = static_cast<int>(info.difficultyNames.size());

    if (const int battle = byteAt(Field::BattleDifficulty); battle < difficultyCount)
        info.battleDifficulty = battle;
    if (const int campaign = byteAt(Field::CampaignDifficulty); campaign < difficultyCount)
        info.campaignDifficulty = campaign;
    info.noBattleTimeLimit = byteAt(Field::BattleTimeLimit) != 28;
    info.shortCampaign = byteAt(Field::CampaignLengthFlag) == 4;

    if (const auto row =
            unitScaleByFloatBits(*readU32le(data, readOffset(layout, Field::UnitScale)))) {
        info.unitScaleClass = row->sizeClass;
        info.unitScale = row->number;
    } else {
        report(unitScaleWarningText, Severity::Warning);
        info.unitScale = defaultUnitScale;
        info.unitScaleClass = defaultUnitScaleClass;
    }

    info.isWinter = byteAt(Field::Season) == 0;
    const DecodedYear year = decodeYear(*readI32le(data, readOffset(layout, Field::Year)));
    info.isAD = year.isAD;
    info.year = year.year;
    return true;
}

} // namespace

std::string readErrorText(const std::string& path, const std::string& description) {
    return "Error reading " + path + ": " + description + ".";
}

std::string writeErrorText(const std::string& path, const std::string& description) {
    return "Error writing " + path + ": " + description + ".";
}

bool loadSaveGame(const std::string& path, SaveGameInfo& info, const LoadMessageSink& sink,
                  PathStyle style) {
    try {
        const FileBuffer buffer = readWholeFile(path);
        return decode(buffer.bytes(), path, info, sink, style);
    } catch (const FileError& error) {
        if (sink)
            sink(LoadMessage{readErrorText(path, error.description()), Severity::Error});
    } catch (const std::bad_alloc&) {
        if (sink)
            sink(LoadMessage{readErrorText(path, outOfMemoryDescription), Severity::Error});
    }
    return false;
}

} // namespace varnholt
