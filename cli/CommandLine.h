#pragma once
// The command line of varnholt-cli, read into the arguments of one command.
//
//   varnholt-cli info SAVE [--json]
//   varnholt-cli apply SAVE [-o FILE] [--campaign-difficulty D] [--battle-difficulty D]
//       [--time-limit on|off] [--campaign-length long|short] [--unit-scale N]
//       [--year Y] [--era BC|AD] [--season summer|winter]
//   varnholt-cli help [COMMAND] | --help | --version | COMMAND --help

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace varnholt::cli {

// A refused command line; its text follows "varnholt-cli: " and ends the line.
struct UsageError {
    std::string text;
};

enum class Command { None, Info, Apply, Help }; // None: the program as a whole

struct HelpArgs {
    Command topic = Command::None; // None and Help: every command
};

struct VersionArgs {};

struct InfoArgs {
    std::string save;
    bool json = false;
};

// A difficulty as given: a level 0 to 3, or a name that only the save's names settle.
struct DifficultyArg {
    std::string text;
    std::optional<int> level;
};

// Each setting that was given, checked as far as it can be without the save.
struct ApplyArgs {
    std::string save;
    std::optional<std::string> output;
    std::optional<DifficultyArg> campaignDifficulty;
    std::optional<DifficultyArg> battleDifficulty;
    std::optional<bool> noBattleTimeLimit;
    std::optional<bool> shortCampaign;
    std::optional<int> unitScale; // a number of the unit-scale table
    // The year's number, 1 to 2147483648; the era decides whether it fits.
    std::optional<std::int64_t> year;
    std::optional<bool> isAD;
    std::optional<bool> isWinter;
};

// The largest year number each era can store: AD years as they are, BC years negated.
inline constexpr std::int64_t largestADYear = INT32_MAX;
inline constexpr std::int64_t largestBCYear = -static_cast<std::int64_t>(INT32_MIN);

using CommandLine = std::variant<HelpArgs, VersionArgs, InfoArgs, ApplyArgs>;

// Reads `args` (without the program name). Help and the version come first,
// whatever else the line holds. Otherwise the first fault from the left is
// refused, then a missing or extra saved game, then the first wrong value in
// the order of the apply options. Throws UsageError.
CommandLine readCommandLine(const std::vector<std::string>& args);

} // namespace varnholt::cli
