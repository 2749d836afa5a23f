#pragma once
// What one load learns of a saved game: release and layout, campaign, the
// names in force and the current value of every editable setting. Created with
// the initial values below and updated in place by each load. It holds no bytes
// of the file.

#include "core/GameVersion.h"
#include "core/SaveLayout.h"
#include "core/Vocabularies.h"

#include <cstdint>
#include <string>

namespace varnholt {

struct SaveGameInfo {
    // The release and the layout flags (empty label, code 1 before a load).
    GameVersion version;

    std::string campaignName; // UTF-8
    bool isModCampaign = false;

    // Where the campaign name and the anchor put the places of this save.
    LayoutPositions positions;

    FactionNameTable factionNames;
    DifficultyNameSet difficultyNames = standardDifficultyNames();

    int factionCode = 0;
    std::string factionName;
    // The faction byte as stored in the save by the last load that got that far
    // (it may be 20 or more, which leaves factionCode as it was); -1 before.
    // The writer checks it to make sure the file still has the loaded layout.
    int storedFactionByte = -1;

    // The settings; also the editor's working values.
    int campaignDifficulty = 1;
    int battleDifficulty = 1;
    bool noBattleTimeLimit = true;
    bool shortCampaign = false;
    int unitScaleClass = 1;
    int unitScale = 40;
    std::int32_t year = 270; // the magnitude
    bool isAD = false;
    bool isWinter = false;

    bool operator==(const SaveGameInfo&) const = default;
};

// The layout the last load of the record found, as Apply takes it.
inline LoadedLayout loadedLayout(const SaveGameInfo& info) {
    return {info.version, info.positions, info.factionCode, info.storedFactionByte};
}

} // namespace varnholt
