#include "core/Vocabularies.h"

#include "core/UiText.h"

namespace varnholt {

const DifficultyNameSet& standardDifficultyNames() {
    static const DifficultyNameSet names{uiText("Easy"), uiText("Medium"), uiText("Hard"),
                                         uiText("Very Hard")};
    return names;
}

const DifficultyNameSet& modDifficultyNames() {
    // TRANSLATORS: the campaign difficulties of the modification, Roman ranks
    // from the lowest to the highest; use the game's own words for them.
    static const DifficultyNameSet names{uiText("General"), uiText("Praetor"), uiText("Consul"),
                                         uiText("Emperor")};
    return names;
}

// Shown in the player's language; varnholt-cli shows them as written here.
const FactionNameTable& baseGameFactionNames() {
    static const FactionNameTable table{{
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

const FactionNameTable& expansionFactionNames() {
    static const FactionNameTable table{{
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

const FactionNameTable& modFactionNames() {
    // Codes 1 to 3 have no name in the modification.
    static const FactionNameTable table{{
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

const std::array<std::string, 4>& unitScaleClassNames() {
    static const std::array<std::string, 4> names{uiText("Small"), uiText("Normal"),
                                                  uiText("Large"), uiText("Huge")};
    return names;
}

int unitScaleForClass(int sizeClass) {
    static constexpr int numbers[] = {20, 40, 80, 160};
    return sizeClass >= 0 && sizeClass < 4 ? numbers[sizeClass] : -1;
}

bool isModCampaignName(std::u16string_view campaignName) {
    if (campaignName.size() != modCampaignName.size())
        return false;
    const auto fold = [](char16_t c) -> char16_t {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    };
    for (std::size_t i = 0; i < campaignName.size(); ++i)
        if (fold(campaignName[i]) != fold(modCampaignName[i]))
            return false;
    return true;
}

Vocabularies chooseVocabularies(bool isModCampaign, bool isExpansion) {
    if (isModCampaign)
        return {modDifficultyNames(), modFactionNames()};
    if (isExpansion)
        return {standardDifficultyNames(), expansionFactionNames()};
    return {standardDifficultyNames(), baseGameFactionNames()};
}

std::optional<std::string> factionName(const FactionNameTable& table, int code) {
    if (code < 0 || code >= static_cast<int>(table.slots.size()))
        return std::nullopt;
    const std::string& name = table.slots[static_cast<std::size_t>(code)];
    if (name.empty())
        return std::nullopt;
    return name;
}

} // namespace varnholt
