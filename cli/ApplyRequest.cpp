#include "cli/ApplyRequest.h"

#include "cli/Text.h"

namespace varnholt::cli {

namespace {

// A difficulty level, by its number or by one of the save's four names (any case).
int difficultyLevel(const std::string& option, const DifficultyArg& difficulty,
                    const DifficultyNameSet& names) {
    if (difficulty.level)
        return *difficulty.level;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (lower(names[i]) == lower(difficulty.text))
            return static_cast<int>(i);
    throw UsageError{"invalid " + option + " '" + printable(difficulty.text) +
                     "': the difficulties of this saved game are 0 to 3 or " + joined(names) + "."};
}

} // namespace

std::int64_t yearNumber(const SaveGameInfo& info) {
    return info.year < 0 ? -static_cast<std::int64_t>(info.year) : info.year;
}

EditRequest requestFor(const ApplyArgs& args, const SaveGameInfo& info) {
    EditRequest request;
    if (args.campaignDifficulty) {
        request.setCampaignDifficulty = true;
        request.campaignDifficulty = difficultyLevel(
            "--campaign-difficulty", *args.campaignDifficulty, info.difficultyNames);
    }
    if (args.battleDifficulty) {
        request.setBattleDifficulty = true;
        request.battleDifficulty =
            difficultyLevel("--battle-difficulty", *args.battleDifficulty, info.difficultyNames);
    }
    if (args.noBattleTimeLimit) {
        request.setBattleTimeLimit = true;
        request.noBattleTimeLimit = *args.noBattleTimeLimit;
    }
    if (args.shortCampaign) {
        if (info.version.isExpansion())
            throw UsageError{"--campaign-length cannot be used with " + printable(args.save) +
                             ": expansion saved games have no long or short campaign."};
        request.setCampaignLength = true;
        request.shortCampaign = *args.shortCampaign;
    }
    if (args.unitScale) {
        request.setUnitScale = true;
        request.unitScale = *args.unitScale;
    }
    if (!args.year && !args.isAD && !args.isWinter)
        return request;
    // The date as a whole, with the save's values for what was not given, must be
    // one the save can hold, or the copy would not say what was asked.
    const std::int64_t year = args.year.value_or(yearNumber(info));
    const bool isAD = args.isAD.value_or(info.isAD);
    if (isAD && year > largestADYear)
        throw UsageError{"the year " + std::to_string(year) + " AD does not fit in a saved game (" +
                         std::to_string(largestADYear) + " AD at most; " +
                         std::to_string(largestBCYear) + " fits only as BC)."};
    if (!isAD && year < 1)
        throw UsageError{"the saved game's year is 0, which has no era; give --year too."};
    request.setYearAndSeason = true;
    // 2147483648 BC is stored as its negation wraps: the record's convention too.
    request.year = static_cast<std::int32_t>(static_cast<std::uint32_t>(year));
    request.isAD = isAD ? 1 : 0;
    request.isWinter = args.isWinter.value_or(info.isWinter) ? 1 : 0;
    return request;
}

} // namespace varnholt::cli
