#pragma once
// What the program holds of the saved game it shows, in two parts: what the
// loads found (SaveGameInfo: release, campaign, positions, vocabularies,
// faction), and the current value of each editable setting (SaveSettings).
// Both start with the values below. Each load adds what its steps found to the
// first, even when a later step fails, and a complete load gives the second;
// loadSaveGame returns what it learnt and infoAfter and settingsAfter take it
// in (core/SaveGameLoader.h). Neither holds bytes of the file.

#include "core/GameVersion.h"
#include "core/SaveLayout.h"
#include "core/Vocabularies.h"

#include <cstdint>
#include <optional>
#include <string>

namespace varnholt {

// A faction as its table names it.
struct FactionSlot {
    FactionNames table = FactionNames::BaseGame;
    int code = 0;
    bool operator==(const FactionSlot&) const = default;
};

struct SaveGameInfo {
    // The release and the layout flags (empty label, code 1 before a load).
    GameVersion version;

    std::string campaignName; // UTF-8
    bool isModCampaign = false;

    // Where the campaign name and the anchor put the places of this save.
    LayoutPositions positions;

    Vocabularies vocabularies;

    int factionCode = 0;
    // The faction whose name is shown: the last loaded faction whose table had
    // a name for it (one without leaves the name as it was); none before.
    std::optional<FactionSlot> namedFaction;
    // The faction byte as stored in the save by the last load that got that far
    // (it may be 20 or more, which leaves factionCode as it was); -1 before.
    // The writer checks it to make sure the file still has the loaded layout.
    int storedFactionByte = -1;

    bool operator==(const SaveGameInfo&) const = default;
};

// The editable settings, decoded. A list's setting is nothing only in the
// editor, while its list has no selection; a load always gives one.
struct SaveSettings {
    std::optional<Difficulty> campaignDifficulty = Difficulty::Medium;
    std::optional<Difficulty> battleDifficulty = Difficulty::Medium;
    bool noBattleTimeLimit = true;
    bool shortCampaign = false;
    std::optional<UnitScaleClass> unitScaleClass = defaultUnitScaleClass;
    int unitScale = 40;
    // The magnitude; the one 32-bit year without a 32-bit magnitude
    // (2147483648 BC) is kept as stored.
    std::int32_t year = 270;
    bool isAD = false;
    bool isWinter = false;

    bool operator==(const SaveSettings&) const = default;
};

// The year's number as the user writes it: the magnitude, and 2147483648 for
// the one BC year kept as stored.
inline std::int64_t yearNumber(const SaveSettings& settings) {
    const bool keptAsStored = !settings.isAD && settings.year == INT32_MIN;
    return keptAsStored ? -static_cast<std::int64_t>(settings.year) : settings.year;
}

// The layout the last load found, as Apply takes it.
inline LoadedLayout loadedLayout(const SaveGameInfo& info) {
    return {info.version, info.positions, info.factionCode, info.storedFactionByte};
}

} // namespace varnholt
