#pragma once
// Which names the stored difficulties and factions of a save go by: the rule
// that picks the vocabularies for the game in hand, and which faction codes a
// vocabulary names. The names themselves are words (words/Names.h).

#include "core/UnitScaleTable.h"

#include <cstdint>
#include <string_view>

namespace varnholt {

// The four difficulty names in force: the game's own, or the modification's.
enum class DifficultyNames { Standard, Modification };
// The 20-slot faction table in force.
enum class FactionNames { BaseGame, Expansion, Modification };

struct Vocabularies {
    DifficultyNames difficulties = DifficultyNames::Standard;
    FactionNames factions = FactionNames::BaseGame;
    bool operator==(const Vocabularies&) const = default;
};

// The number of stored difficulties (0 to 3), in either vocabulary.
inline constexpr int difficultyCount = 4;

// A stored difficulty, 0 to 3, by the names of the game's own vocabulary (the
// modification's General, Praetor, Consul and Emperor are the same four).
enum class Difficulty : std::uint8_t { Easy, Medium, Hard, VeryHard };

// The number chosen when the user picks a unit-scale class: 20, 40, 80, 160.
int unitScaleForClass(UnitScaleClass sizeClass);

// The campaign name of the known modification.
inline constexpr std::u16string_view modCampaignName = u"iron_dominion_plus";

// True when the UTF-16 name equals the modification's name, ignoring the case
// of A-Z only.
bool isModCampaignName(std::u16string_view campaignName);

// Modification first (whatever the release), then expansion, then base game.
Vocabularies chooseVocabularies(bool isModCampaign, bool isExpansion);

// Whether the table has a name for the faction code: every code 0 to 19 but
// the modification's 1 to 3, which it leaves without one.
bool namesFaction(FactionNames table, int code);

} // namespace varnholt
