#include "cli/ApplyRequest.h"

#include "cli/Text.h"

namespace varnholt::cli {

namespace {

// A difficulty level, by its number or by one of the save's four names (any case).
Difficulty difficultyLevel(const std::string& option, const DifficultyArg& difficulty,
                           const DifficultyNameSet& names) {
    if (difficulty.level) // 0 to 3, as the command line took it
        return static_cast<Difficulty>(*difficulty.level);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (lower(std::string(names[i])) == lower(difficulty.text))
            return static_cast<Difficulty>(i);
    throw UsageError{"invalid " + option + " '" + printable(difficulty.text) +
                     "': the difficulties of this saved game are 0 to 3 or " + joined(names) + "."};
}

} // namespace

EditRequest requestFor(const ApplyArgs& args, const LoadedSave& save) {
    const DifficultyNameSet& names = difficultyNames(save.info.vocabularies.difficulties);
    EditRequest request;
    if (args.campaignDifficulty)
        request.campaignDifficulty =
            difficultyLevel("--campaign-difficulty", *args.campaignDifficulty, names);
    if (args.battleDifficulty)
        request.battleDifficulty =
            difficultyLevel("--battle-difficulty", *args.battleDifficulty, names);
    request.noBattleTimeLimit = args.noBattleTimeLimit;
    request.shortCampaign = args.shortCampaign;
    request.unitScale = args.unitScale;
    // The date as a whole, with the save's values for what was not given.
    if (args.year || args.isAD || args.isWinter)
        request.yearAndSeason = YearAndSeason{
            args.year.value_or(yearNumber(save.settings)),
            args.isAD.value_or(save.settings.isAD) ? Era::AD : Era::BC,
            args.isWinter.value_or(save.settings.isWinter) ? Season::Winter : Season::Summer};

    // Levels come as 0 to 3 or by name, so a difficulty is never out of range.
    for (const RequestProblem problem : validate(request, save.info.version)) {
        if (problem == RequestProblem::NoCampaignLengthSetting)
            throw UsageError{"--campaign-length cannot be used with " + printable(args.save) +
                             ": expansion saved games have no long or short campaign."};
        if (problem == RequestProblem::YearDoesNotFit)
            throw UsageError{"the year " + std::to_string(request.yearAndSeason->year) +
                             " AD does not fit in a saved game (" + std::to_string(largestADYear) +
                             " AD at most; " + std::to_string(largestBCYear) +
                             " fits only as BC)."};
        // A given year is 1 or more; only the save's own can be 0.
        if (problem == RequestProblem::NoYearZero)
            throw UsageError{"the saved game's year is 0, but there is no year 0: 1 BC is "
                             "followed by 1 AD. Give --year too."};
    }
    return request;
}

} // namespace varnholt::cli
