#include "core/SaveGameLoader.h"

#include "core/ByteView.h"
#include "core/FileAccess.h"
#include "core/SaveLayout.h"
#include "core/SaveReader.h"
#include "core/TextCodec.h"
#include "core/UnitScaleTable.h"
#include "core/Vocabularies.h"

#include <algorithm>
#include <new>
#include <vector>

namespace varnholt {

namespace {

bool allInside(std::span<const std::uint8_t> data, const ResolvedLayout& layout) {
    for (Field field : readFields)
        if (!fitsInside(readOffset(layout, field), fieldWidth(field), data.size()))
            return false;
    return true;
}

// Steps 3 to 13 on a save being read. Returns false after reporting.
bool decode(SequentialFile& file, SaveReader& reader, const std::string& path, SaveGameInfo& info,
            const LoadMessageSink& sink, const std::function<void()>& vocabulariesChosen,
            PathStyle style) {
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
    const auto header = reader.ensure(releaseHeaderSize);
    if (header.size() < releaseHeaderSize)
        return pastEnd();
    const auto version = detectReleaseOnDisk(header, path, style);
    if (!version) {
        report(withPath(unknownVersionText, path), Severity::Error);
        return false;
    }
    info.version = *version;

    // Campaign name.
    const int nameOffset = campaignNameOffsetFor(version->isExpansion);
    info.positions.campaignNameOffset = nameOffset;
    const auto firstUnit = readU16le(reader.ensure(nameOffset + 2u), nameOffset);
    if (firstUnit && *firstUnit == 0) {
        report(withPath(noCampaignText, path), Severity::Error);
        return false;
    }
    const auto name = reader.campaignName(nameOffset);
    if (!name)
        return pastEnd();
    info.campaignName = utf16ToUtf8(*name);
    info.positions.campaignShift = campaignShiftFor(nameOffset, name->size());
    info.isModCampaign = isModCampaignName(*name);
    info.factionNames = FactionNameTable{};
    const Vocabularies vocabularies = chooseVocabularies(info.isModCampaign, version->isExpansion);
    info.difficultyNames = vocabularies.difficultyNames;
    info.factionNames = vocabularies.factionNames;
    if (vocabulariesChosen)
        vocabulariesChosen();

    // Anchor. The places read all lie between the campaign name and the stretch
    // that ends at the anchor: the name moves them, the anchor never does. So the
    // prefix takes them in before the anchor search may read past it; the largest
    // faction code gives the farthest faction record.
    LayoutPositions positions = info.positions;
    positions.anchorShift = 0;
    ResolvedLayout layout = resolveLayout(info.version, positions, factionCount - 1);
    reader.ensure(static_cast<std::uint64_t>(std::max<std::int64_t>(0, readPlacesEnd(layout))));
    const auto anchorOffset = reader.findAnchorText();
    if (!anchorOffset) {
        report(withPath(noAnchorText, path), Severity::Error);
        return false;
    }

    // Every place read below must lie inside the data before anything is decoded,
    // so a short file leaves the faction and the settings of the earlier load.
    layout.positions.anchorShift = anchorShiftFor(version->releaseCode, *anchorOffset);
    layout.factionCode = info.factionCode;
    // The faction read decides which faction record holds the campaign difficulty.
    const auto storedFaction = readU8(reader.bytes(), readOffset(layout, Field::PlayerFaction));
    if (!storedFaction)
        return pastEnd();
    if (*storedFaction < factionCount)
        layout.factionCode = *storedFaction;
    if (!allInside(reader.bytes(), layout))
        return pastEnd();
    file.close();
    const auto data = reader.bytes();
    info.positions.anchorShift = layout.positions.anchorShift;

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
    info.noBattleTimeLimit = decodeNoBattleTimeLimit(byteAt(Field::BattleTimeLimit));
    info.shortCampaign = decodeCampaignLengthFlag(byteAt(Field::CampaignLengthFlag));

    if (const auto row =
            unitScaleByFloatBits(*readU32le(data, readOffset(layout, Field::UnitScale)))) {
        info.unitScaleClass = row->sizeClass;
        info.unitScale = row->number;
    } else {
        report(unitScaleWarningText, Severity::Warning);
        info.unitScale = defaultUnitScale;
        info.unitScaleClass = defaultUnitScaleClass;
    }

    info.isWinter = decodeSeason(byteAt(Field::Season));
    const DecodedYear year = decodeYear(*readI32le(data, readOffset(layout, Field::Year)));
    info.isAD = year.isAD;
    info.year = year.year;
    return true;
}

} // namespace

std::optional<GameVersion> detectReleaseOnDisk(std::span<const std::uint8_t> header,
                                               const std::string& path, PathStyle style) {
    // A path typed relative to the current folder is tested as the full path
    // it stands for; messages still name it as typed.
    return detectRelease(
        header, fullPath(path), [](const std::string& p) { return isDirectory(p); }, style);
}

std::string withPath(const char* pattern, const std::string& path) {
    // Built by concatenation: GCC 12 misreports std::string::replace here at -O3.
    const std::string text = pattern;
    const auto at = text.find("%s");
    return text.substr(0, at) + path + text.substr(at + 2);
}

std::string readErrorText(const std::string& path, const std::string& description) {
    return "Error reading " + path + ": " + description + ".";
}

std::string writeErrorText(const std::string& path, const std::string& description) {
    return "Error writing " + path + ": " + description + ".";
}

bool loadSaveGame(const std::string& path, SaveGameInfo& info, const LoadMessageSink& sink,
                  PathStyle style) {
    return loadSaveGame(path, info, sink, {}, style);
}

bool loadSaveGame(const std::string& path, SaveGameInfo& info, const LoadMessageSink& sink,
                  const std::function<void()>& vocabulariesChosen, PathStyle style) {
    try {
        SequentialFile file(path);
        SaveReader reader([&file](std::span<std::uint8_t> into) { return file.read(into); });
        return decode(file, reader, path, info, sink, vocabulariesChosen, style);
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
