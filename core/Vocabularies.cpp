#include "core/Vocabularies.h"

#include "core/SaveLayout.h"

namespace varnholt {

int unitScaleForClass(UnitScaleClass sizeClass) {
    switch (sizeClass) {
    case UnitScaleClass::Small:
        return 20;
    case UnitScaleClass::Normal:
        return 40;
    case UnitScaleClass::Large:
        return 80;
    case UnitScaleClass::Huge:
        return 160;
    }
    return defaultUnitScale; // a value cast from outside the four
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
        return {DifficultyNames::Modification, FactionNames::Modification};
    if (isExpansion)
        return {DifficultyNames::Standard, FactionNames::Expansion};
    return {DifficultyNames::Standard, FactionNames::BaseGame};
}

bool namesFaction(FactionNames table, int code) {
    if (code < 0 || code >= factionCount)
        return false;
    return table != FactionNames::Modification || code == 0 || code > 3;
}

} // namespace varnholt
