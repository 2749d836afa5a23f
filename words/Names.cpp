#include "words/Names.h"

#include "words/UiText.h"

namespace varnholt {

namespace {

// A name for each stored faction code; "" holds the place of a code the table
// does not name (see namesFaction).
using FactionTable = std::array<std::string_view, factionCount>;

const DifficultyNameSet& standardDifficultyNames() {
    static constexpr DifficultyNameSet names{uiText("Easy"), uiText("Medium"), uiText("Hard"),
                                             uiText("Very Hard")};
    return names;
}

const DifficultyNameSet& modDifficultyNames() {
    // TRANSLATORS: the campaign difficulties of the modification, Roman ranks
    // from the lowest to the highest; use the game's own words for them.
    static constexpr DifficultyNameSet names{uiText("General"), uiText("Praetor"), uiText("Consul"),
                                             uiText("Emperor")};
    return names;
}

// Shown in the player's language; varnholt-cli shows them as written here.
const FactionTable& baseGameFactionNames() {
    static constexpr FactionTable table{{
        // TRANSLATORS: the factions of the game. Use the names your language's
        // histories give these peoples and states (the first three are Roman
        // families).
        uiText("Julii"),       uiText("Brutii"),
        uiText("Scipii"),      uiText("SPQR"),
        uiText("Macedonians"), uiText("Egyptians"),
        uiText("Seleucids"),   uiText("Carthaginians"),
        uiText("Parthians"),   uiText("People of Pontus"),
        uiText("Gauls"),       uiText("Germans"),
        uiText("Britons"),     uiText("Armenians"),
        uiText("Dacians"),     uiText("Greeks"),
        uiText("Numidians"),   uiText("Scythians"),
        uiText("Spanish"),     uiText("Thracians"),
    }};
    return table;
}

const FactionTable& expansionFactionNames() {
    static constexpr FactionTable table{{
        uiText("Huns"),
        uiText("Goths"),
        uiText("Sarmatians"),
        uiText("Vandals"),
        uiText("Germanic Frankish Tribes"),
        uiText("Saxons"),
        // TRANSLATORS: a faction the game does not name.
        uiText("Unknown"),
        uiText("Sassanid Empire"),
        uiText("Unknown"),
        uiText("Unknown"),
        uiText("Unknown"),
        uiText("Unknown"),
        uiText("Unknown"),
        uiText("Unknown"),
        uiText("Alemanni"),
        uiText("Eastern Roman Empire"),
        uiText("Western Roman Empire"),
        uiText("Unknown"),
        uiText("Unknown"),
        uiText("Unknown"),
    }};
    return table;
}

const FactionTable& modFactionNames() {
    // Codes 1 to 3 have no name in the modification.
    static constexpr FactionTable table{{
        uiText("Romans"),
        "",
        "",
        "",
        uiText("Macedonians"),
        uiText("Egyptians"),
        uiText("Seleucids"),
        uiText("Carthaginians"),
        uiText("Parthians"),
        uiText("People of Pontus"),
        uiText("Gauls"),
        uiText("Germans"),
        uiText("Britons"),
        uiText("Armenians"),
        uiText("Dacians"),
        uiText("Greeks"),
        uiText("Numidians"),
        uiText("Sarmatians"),
        uiText("Iberians"),
        uiText("Thracians"),
    }};
    return table;
}

} // namespace

const std::array<std::string_view, 4>& unitScaleClassNames() {
    static constexpr std::array<std::string_view, 4> names{uiText("Small"), uiText("Normal"),
                                                           uiText("Large"), uiText("Huge")};
    return names;
}

const DifficultyNameSet& difficultyNames(DifficultyNames set) {
    return set == DifficultyNames::Modification ? modDifficultyNames() : standardDifficultyNames();
}

std::optional<std::string_view> factionName(FactionNames table, int code) {
    const FactionTable& names = table == FactionNames::Modification ? modFactionNames()
                                : table == FactionNames::Expansion  ? expansionFactionNames()
                                                                    : baseGameFactionNames();
    if (!namesFaction(table, code))
        return std::nullopt;
    return names[static_cast<std::size_t>(code)];
}

std::string releaseText(const GameVersion& version) {
    if (!version.expansionFolderUnknown)
        return version.releaseLabel;
    // TRANSLATORS: %1 is a release of the game ("1.2"), %2 the release the same
    // save is when the game's expansion folder stands beside its saves folder.
    return localizedWith(uiText("%1 (%2 with the expansion folder)"),
                         {version.releaseLabel, "1.3"});
}

std::string_view shownFactionName(const SaveGameInfo& info) {
    if (!info.namedFaction)
        return {};
    return factionName(info.namedFaction->table, info.namedFaction->code).value_or("");
}

} // namespace varnholt
