#include "core/SaveGameLoader.h"

#include "core/ByteView.h"
#include "core/FileAccess.h"
#include "core/LayoutProbe.h"
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
    for (const PlaceRow& row : settingsTable())
        if (row.role == Role::Read &&
            !fitsInside(readOffset(layout, row.field), fieldWidth(row.field), data.size()))
            return false;
    return true;
}

// Decodes a save being read. Returns false after reporting.
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

    // The steps of the probe that succeeded leave what they learnt in the
    // record, even when a later one fails.
    const LayoutProbe probe = probeLayout(reader, path, style);
    if (probe.version) {
        info.version = *probe.version;
        info.positions.campaignNameOffset = probe.positions.campaignNameOffset;
    }
    if (probe.campaignName) {
        info.campaignName = utf16ToUtf8(*probe.campaignName);
        info.positions.campaignShift = probe.positions.campaignShift;
        info.isModCampaign = isModCampaignName(*probe.campaignName);
        const Vocabularies vocabularies =
            chooseVocabularies(info.isModCampaign, info.version.isExpansion());
        info.difficultyNames = vocabularies.difficultyNames;
        info.factionNames = vocabularies.factionNames;
        if (vocabulariesChosen)
            vocabulariesChosen();
    }
    switch (probe.failure) {
    case ProbeFailure::None:
        break;
    case ProbeFailure::CutOff:
        return pastEnd();
    case ProbeFailure::UnknownRelease:
        report(withPath(unknownVersionText, path), Severity::Error);
        return false;
    case ProbeFailure::NoCampaignName:
        report(withPath(noCampaignText, path), Severity::Error);
        return false;
    case ProbeFailure::NoAnchor:
        report(withPath(noAnchorText, path), Severity::Error);
        return false;
    }

    // Every place read below must lie inside the data before anything is decoded,
    // so a short file leaves the faction and the settings of the earlier load.
    // A stored faction past the table keeps the earlier faction, whose record
    // then gives the campaign difficulty.
    const std::uint8_t storedFaction = *probe.storedFactionByte;
    const ResolvedLayout layout =
        resolveLayout(info.version, probe.positions,
                      storedFaction < factionCount ? storedFaction : info.factionCode);
    if (!allInside(reader.bytes(), layout))
        return pastEnd();
    file.close();
    const auto data = reader.bytes();
    info.positions.anchorShift = probe.positions.anchorShift;

    // Player's faction.
    info.storedFactionByte = storedFaction;
    if (storedFaction < factionCount) {
        info.factionCode = storedFaction;
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
        report(std::string(localized(unitScaleWarningText)), Severity::Warning);
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

std::string withPath(const char* pattern, const std::string& path) {
    // Built by concatenation: GCC 12 misreports std::string::replace here at -O3.
    const std::string text(localized(pattern));
    const auto at = text.find("%s");
    return text.substr(0, at) + path + text.substr(at + 2);
}

namespace {

// A description is a sentence of its own, closed by a full stop; inside these
// messages the message's stop closes it, so that the message ends in exactly one.
std::string_view withoutFullStop(std::string_view description) {
    if (!description.empty() && description.back() == '.')
        description.remove_suffix(1);
    return description;
}

} // namespace

std::string readErrorText(std::string_view path, std::string_view description) {
    // TRANSLATORS: %1 is the file's path, %2 what went wrong (a sentence whose
    // own full stop gives way to this one).
    return localizedWith(uiText("Error reading %1: %2."), {path, withoutFullStop(description)});
}

std::string writeErrorText(std::string_view path, std::string_view description) {
    return localizedWith(uiText("Error writing %1: %2."), {path, withoutFullStop(description)});
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
            sink(LoadMessage{readErrorText(path, localized(outOfMemoryDescription)),
                             Severity::Error});
    }
    return false;
}

} // namespace varnholt
