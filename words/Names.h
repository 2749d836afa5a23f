#pragma once
// The names of what a save stores as numbers: the difficulties, the factions
// and the unit-scale classes, in English as marked for translation. A window
// shows them through localized(); varnholt-cli shows them as they are. The
// release text alone comes localized, since it is made of words and numbers.

#include "core/SaveGameInfo.h"
#include "core/Vocabularies.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace varnholt {

using DifficultyNameSet = std::array<std::string_view, difficultyCount>;

// The four names of the stored difficulties 0 to 3.
const DifficultyNameSet& difficultyNames(DifficultyNames set);

// The table's name for a faction code; nothing for a slot without a name (the
// modification's 1 to 3) or a code outside 0 to 19.
std::optional<std::string_view> factionName(FactionNames table, int code);

// The name of the faction a load last named, "" before any.
std::string_view shownFactionName(const SaveGameInfo& info);

// The release as the user reads it: its label, and for a "1.2" header whose
// expansion folder could not be looked for, the release it is with one.
std::string releaseText(const GameVersion& version);

// "Small", "Normal", "Large", "Huge".
const std::array<std::string_view, 4>& unitScaleClassNames();

} // namespace varnholt
