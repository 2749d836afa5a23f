#include "cli/Describe.h"

#include "cli/ApplyRequest.h"
#include "cli/Text.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace varnholt::cli {

namespace {

// Describe takes any record, not only a loader's: a value outside a table is
// shown as it is or held to the table, never used to read past it.
std::string difficultyWord(const SaveGameInfo& info, std::optional<Difficulty> difficulty) {
    const int level = difficulty ? static_cast<int>(*difficulty) : -1;
    if (level < 0 || level >= difficultyCount)
        return std::to_string(level);
    return std::string(
        difficultyNames(info.vocabularies.difficulties)[static_cast<std::size_t>(level)]);
}

// A list's setting as its number, -1 for none (a load always gives one).
template <typename Value> int numberOf(const std::optional<Value>& value) {
    return value ? static_cast<int>(*value) : -1;
}

std::string releaseLine(const SaveGameInfo& info, const std::string& fullSavePath) {
    std::string text = info.version.releaseLabel;
    if (info.version.isExpansion())
        return text + " (with the expansion)";
    if (info.version.decidedByExpansionFolder)
        if (const auto folder = expansionFolderFor(fullSavePath))
            text += " (a 1.2 header, read as 1.3 because " + printable(*folder) +
                    " stands beside the saves folder)";
    return text;
}

std::string factionLine(const SaveGameInfo& info) {
    if (info.storedFactionByte >= factionCount)
        return "unknown (the save holds faction code " + std::to_string(info.storedFactionByte) +
               ")";
    const std::string_view name = shownFactionName(info);
    if (name.empty())
        return "no name (faction code " + std::to_string(info.factionCode) + ")";
    return printable(std::string(name));
}

} // namespace

std::string describeForPeople(const LoadedSave& save, const std::string& fullSavePath) {
    const SaveGameInfo& info = save.info;
    const SaveSettings& settings = save.settings;
    std::vector<std::pair<std::string, std::string>> rows = {
        {"Release", releaseLine(info, fullSavePath)},
        {"Campaign", printable(info.campaignName) +
                         (info.isModCampaign ? " (the modification, with its own names)" : "")},
        {"Faction", factionLine(info)},
        {"Campaign difficulty", difficultyWord(info, settings.campaignDifficulty)},
        {"Battle difficulty", difficultyWord(info, settings.battleDifficulty)},
        {"Battle time limit", settings.noBattleTimeLimit ? "off" : "on"},
        {"Campaign length", info.version.isExpansion()
                                ? "none (expansion saves have no long or short campaign)"
                                : (settings.shortCampaign ? "short" : "long")},
        {"Unit scale",
         std::to_string(settings.unitScale) + " (" +
             std::string(unitScaleClassNames()[static_cast<std::size_t>(std::clamp(
                 numberOf(settings.unitScaleClass), 0, 3))]) + // held to the table, as above
             ")"},
        {"Year", std::to_string(yearNumber(settings)) + (settings.isAD ? " AD, " : " BC, ") +
                     (settings.isWinter ? "winter" : "summer")},
    };
    for (const std::string& warning : save.warnings)
        rows.emplace_back("Warning", printable(warning));
    std::string text;
    for (const auto& [label, value] : rows)
        text += label + ":" + std::string(21 - label.size(), ' ') + value + "\n";
    return text;
}

std::string describeAsJson(const LoadedSave& save) {
    const SaveGameInfo& info = save.info;
    const SaveSettings& settings = save.settings;
    nlohmann::ordered_json json;
    json["releaseLabel"] = info.version.releaseLabel;
    json["releaseCode"] = info.version.releaseCode;
    json["isExpansion"] = info.version.isExpansion();
    json["isLateBaseGame"] = info.version.isLateBaseGame();
    json["campaignName"] = info.campaignName;
    json["isModCampaign"] = info.isModCampaign;
    json["campaignNameOffset"] = info.positions.campaignNameOffset;
    json["campaignShift"] = info.positions.campaignShift;
    json["anchorShift"] = info.positions.anchorShift;
    json["factionCode"] = info.factionCode;
    json["factionName"] = shownFactionName(info);
    json["difficultyNames"] = difficultyNames(info.vocabularies.difficulties);
    json["campaignDifficulty"] = numberOf(settings.campaignDifficulty);
    json["battleDifficulty"] = numberOf(settings.battleDifficulty);
    json["noBattleTimeLimit"] = settings.noBattleTimeLimit;
    json["shortCampaign"] = settings.shortCampaign;
    json["unitScaleClass"] = numberOf(settings.unitScaleClass);
    json["unitScale"] = settings.unitScale;
    json["year"] = yearNumber(settings);
    json["isAD"] = settings.isAD;
    json["isWinter"] = settings.isWinter;
    json["warnings"] = save.warnings;
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace varnholt::cli
