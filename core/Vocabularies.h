#pragma once
// The names under which stored difficulties, factions and unit-scale classes
// are shown, and the rule that picks the set for the game in hand.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace varnholt {

using DifficultyNameSet = std::array<std::string, 4>;

// 20 slots indexed by the stored faction code; an empty text is an empty slot.
struct FactionNameTable {
    std::array<std::string, 20> slots;
    bool operator==(const FactionNameTable&) const = default;
};

const DifficultyNameSet& standardDifficultyNames();
const DifficultyNameSet& modDifficultyNames();
const FactionNameTable& baseGameFactionNames();
const FactionNameTable& expansionFactionNames();
const FactionNameTable& modFactionNames();

// "Small", "Normal", "Large", "Huge".
const std::array<std::string, 4>& unitScaleClassNames();
// The number chosen when the user picks a class: 20, 40, 80, 160.
int unitScaleForClass(int sizeClass);

// The campaign name of the known modification.
inline constexpr std::u16string_view modCampaignName = u"iron_dominion_plus";

// True when the UTF-16 name equals the modification's name, ignoring the case
// of A-Z only.
bool isModCampaignName(std::u16string_view campaignName);

struct Vocabularies {
    const DifficultyNameSet& difficultyNames;
    const FactionNameTable& factionNames;
};

// Modification first (whatever the release), then expansion, then base game.
Vocabularies chooseVocabularies(bool isModCampaign, bool isExpansion);

// The slot's name, or nothing for an empty slot or a code outside 0..19.
std::optional<std::string> factionName(const FactionNameTable& table, int code);

} // namespace varnholt
