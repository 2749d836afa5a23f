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

const FactionNameTable& baseGameFactionNames() {
    static const FactionNameTable table{{
        "Julii",     "Brutii",    "Scipii",        "SPQR",      "Macedonians",
        "Egyptians", "Seleucids", "Carthaginians", "Parthians", "People of Pontus",
        "Gauls",     "Germans",   "Britons",       "Armenians", "Dacians",
        "Greeks",    "Numidians", "Scythians",     "Spanish",   "Thracians",
    }};
    return table;
}

const FactionNameTable& expansionFactionNames() {
    static const FactionNameTable table{{
        "Huns",
        "Goths",
        "Sarmatians",
        "Vandals",
        "Germanic Frankish Tribes",
        "Saxons",
        "Unknown",
        "Sassanid Empire",
        "Unknown",
        "Unknown",
        "Unknown",
        "Unknown",
        "Unknown",
        "Unknown",
        "Alemanni",
        "Eastern Roman Empire",
        "Western Roman Empire",
        "Unknown",
        "Unknown",
        "Unknown",
    }};
    return table;
}

const FactionNameTable& modFactionNames() {
    // Codes 1 to 3 have no name in the modification.
    static const FactionNameTable table{{
        "Romans",
        "",
        "",
        "",
        "Macedonians",
        "Egyptians",
        "Seleucids",
        "Carthaginians",
        "Parthians",
        "People of Pontus",
        "Gauls",
        "Germans",
        "Britons",
        "Armenians",
        "Dacians",
        "Greeks",
        "Numidians",
        "Sarmatians",
        "Iberians",
        "Thracians",
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
