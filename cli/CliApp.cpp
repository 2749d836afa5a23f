#include "cli/CliApp.h"

#include "core/ApplyChanges.h"
#include "core/FileAccess.h"
#include "core/OutputName.h"
#include "core/SaveGameLoader.h"
#include "core/UnitScaleTable.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <ostream>

#ifndef VARNHOLT_VERSION
#define VARNHOLT_VERSION "unknown"
#endif

namespace varnholt::cli {

namespace {

constexpr const char* programName = "varnholt-cli";

// A refused command line; its text follows "varnholt-cli: " and ends the line.
struct UsageError {
    std::string text;
};

enum class Command { None, Info, Apply, Help };

struct OptionSpec {
    const char* name;
    const char* shortName; // nullptr: none
    bool takesValue;
    Command command; // None: every command
    const char* valueHelp;
};

constexpr OptionSpec optionSpecs[] = {
    {"--help", "-h", false, Command::None, ""},
    {"--version", nullptr, false, Command::None, ""},
    {"--json", nullptr, false, Command::Info, ""},
    {"--output", "-o", true, Command::Apply, "the path of the new file"},
    {"--campaign-difficulty", nullptr, true, Command::Apply, "0 to 3 or a difficulty name"},
    {"--battle-difficulty", nullptr, true, Command::Apply, "0 to 3 or a difficulty name"},
    {"--time-limit", nullptr, true, Command::Apply, "on or off"},
    {"--campaign-length", nullptr, true, Command::Apply, "long or short"},
    {"--unit-scale", nullptr, true, Command::Apply, "20 to 160 in steps of 5"},
    {"--year", nullptr, true, Command::Apply, "the year's number, 1 or more"},
    {"--era", nullptr, true, Command::Apply, "BC or AD"},
    {"--season", nullptr, true, Command::Apply, "summer or winter"},
};

const char* commandName(Command command) {
    switch (command) {
    case Command::Info:
        return "info";
    case Command::Apply:
        return "apply";
    case Command::Help:
        return "help";
    default:
        return "";
    }
}

std::string seeHelp(Command command) {
    const std::string name =
        command == Command::Info || command == Command::Apply ? commandName(command) : "";
    return "See '" + std::string(programName) + (name.empty() ? "" : " " + name) + " --help'.";
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// " Did you mean X?" for the nearest candidate that is near enough, else nothing.
std::string suggestion(const std::string& typed, const std::vector<std::string>& candidates) {
    const std::string* best = nullptr;
    std::size_t bestDistance = 0;
    for (const std::string& candidate : candidates) {
        const std::size_t distance = editDistance(lower(typed), candidate);
        if (!best || distance < bestDistance) {
            best = &candidate;
            bestDistance = distance;
        }
    }
    if (!best || bestDistance > std::max<std::size_t>(2, best->size() / 4))
        return "";
    return " Did you mean '" + *best + "'?";
}

// A text on one line: control characters (a campaign name may hold any) are
// shown as escapes, C1 ones (U+0080 to U+009F) too, so each line stays one line
// and nothing reaches the terminal as a command.
std::string printable(const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == '\n')
            shown += "\\n";
        else if (byte == '\r')
            shown += "\\r";
        else if (byte == '\t')
            shown += "\\t";
        else if (byte < 0x20 || byte == 0x7F)
            shown += std::string("\\x") + digits[byte >> 4] + digits[byte & 15];
        else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F)
            shown += std::string("\\u00") + digits[next >> 4] + digits[next & 15], ++i;
        else
            shown += text[i];
    }
    return shown;
}

// ---------------------------------------------------------------------------
// The command line

struct CommandLine {
    Command command = Command::None;
    bool help = false;
    bool version = false;
    std::vector<std::string> operands;
    std::map<std::string, std::string> values; // by long name; flags hold ""
    std::optional<std::string> value(const std::string& name) const {
        const auto found = values.find(name);
        if (found == values.end())
            return std::nullopt;
        return found->second;
    }
};

const OptionSpec* findOption(const std::string& name) {
    for (const OptionSpec& spec : optionSpecs)
        if (name == spec.name || (spec.shortName && name == spec.shortName))
            return &spec;
    return nullptr;
}

bool belongsTo(const OptionSpec& spec, Command command) {
    return spec.command == Command::None || spec.command == command;
}

// What follows an option that needs a value is taken as its value unless it is
// itself an option: "--year -50" is a (refused) year, "--year --era BC" lacks one.
bool looksLikeOption(const std::string& arg) {
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0)
        return true;
    for (const OptionSpec& spec : optionSpecs)
        if (spec.shortName && arg.compare(0, 2, spec.shortName) == 0)
            return true;
    return false;
}

Command commandNamed(const std::string& word) {
    if (word == "info")
        return Command::Info;
    if (word == "apply")
        return Command::Apply;
    if (word == "help")
        return Command::Help;
    throw UsageError{"unknown command '" + printable(word) + "'." +
                     suggestion(word, {"info", "apply", "help"}) +
                     " The commands are info and apply. " + seeHelp(Command::None)};
}

void refuseUnknownOption(const std::string& name, Command command) {
    if (const OptionSpec* spec = findOption(name))
        throw UsageError{name + " is an option of " + commandName(spec->command) + ", not of " +
                         commandName(command) + ". " + seeHelp(command)};
    std::vector<std::string> names;
    for (const OptionSpec& spec : optionSpecs)
        if (belongsTo(spec, command))
            names.push_back(spec.name);
    throw UsageError{"unknown option '" + printable(name) + "'." + suggestion(name, names) + " " +
                     seeHelp(command)};
}

void store(CommandLine& line, const OptionSpec& spec, std::string value) {
    if (spec.takesValue && value.empty())
        throw UsageError{std::string(spec.name) + " needs a value (" + spec.valueHelp +
                         "); it is empty."};
    if (!line.values.emplace(spec.name, std::move(value)).second)
        throw UsageError{std::string(spec.name) + " is given more than once. " +
                         seeHelp(line.command)};
}

// Help and the version come first, whatever else the line holds; the command
// they are about is the first word that names one.
std::optional<CommandLine> helpOrVersion(const std::vector<std::string>& args) {
    CommandLine line;
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        line.help = line.help || arg == "--help" || arg == "-h";
        line.version = line.version || arg == "--version";
    }
    if (!line.help && !line.version)
        return std::nullopt;
    const auto word = std::find_if(args.begin(), args.end(), [](const std::string& arg) {
        return arg.empty() || arg[0] != '-';
    });
    if (word != args.end() && (*word == "info" || *word == "apply"))
        line.command = commandNamed(*word);
    return line;
}

CommandLine parse(const std::vector<std::string>& args) {
    if (auto line = helpOrVersion(args))
        return *line;
    CommandLine line;
    bool operandsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg[0] != '-') {
            if (line.command == Command::None)
                line.command = commandNamed(arg);
            else
                line.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        // --name, --name=value, -o FILE, -oFILE
        std::string name = arg;
        std::optional<std::string> attached;
        if (arg.compare(0, 2, "--") == 0) {
            if (const auto equals = arg.find('='); equals != std::string::npos) {
                name = arg.substr(0, equals);
                attached = arg.substr(equals + 1);
            }
        } else if (arg.size() > 2) {
            name = arg.substr(0, 2);
            attached = arg.substr(2);
        }
        const OptionSpec* spec = findOption(name);
        if (line.command == Command::None && spec)
            throw UsageError{"the command comes first: info or apply, then its options. " +
                             seeHelp(Command::None)};
        if (!spec || !belongsTo(*spec, line.command))
            refuseUnknownOption(name, line.command);
        if (!spec->takesValue) {
            if (attached)
                throw UsageError{name + " takes no value. " + seeHelp(line.command)};
            store(line, *spec, "");
            continue;
        }
        if (!attached) {
            if (i + 1 >= args.size() || looksLikeOption(args[i + 1]))
                throw UsageError{
                    name + " needs a value (" + spec->valueHelp + ")" +
                    (i + 1 < args.size() ? ", but " + printable(args[i + 1]) + " follows it" : "") +
                    ". " + seeHelp(line.command)};
            attached = args[++i];
        }
        store(line, *spec, *attached);
    }
    if (line.command == Command::None)
        throw UsageError{"a command is needed: info or apply. " + seeHelp(Command::None)};
    if (line.command == Command::Help) {
        if (line.operands.size() > 1)
            throw UsageError{"help takes one command. " + seeHelp(Command::None)};
        return line;
    }
    const std::string name = commandName(line.command);
    if (line.operands.empty())
        throw UsageError{name + " needs a saved game: " + programName + " " + name + " SAVE. " +
                         seeHelp(line.command)};
    if (line.operands.size() > 1)
        throw UsageError{"unexpected argument '" + printable(line.operands[1]) + "': " + name +
                         " takes one saved game. " + seeHelp(line.command)};
    if (line.operands[0].empty())
        throw UsageError{"the saved game's path is empty."};
    return line;
}

// ---------------------------------------------------------------------------
// Help

std::string joined(const DifficultyNameSet& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// "Small 20, Normal 25-40, Large 45-85, Huge 90-160", from the table.
std::string unitScaleClasses() {
    // Appended piece by piece: GCC 12 at -O3 misreports a chain of concatenations here.
    std::string text;
    const auto& rows = unitScaleTable();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool first = i == 0 || rows[i - 1].sizeClass != rows[i].sizeClass;
        const bool last = i + 1 == rows.size() || rows[i + 1].sizeClass != rows[i].sizeClass;
        if (first) {
            if (!text.empty())
                text += ", ";
            text += unitScaleClassNames()[static_cast<std::size_t>(rows[i].sizeClass)];
            text += ' ';
            text += std::to_string(rows[i].number);
        } else if (last) {
            text += '-';
            text += std::to_string(rows[i].number);
        }
    }
    return text;
}

std::string helpText(Command command) {
    const bool all = command != Command::Info && command != Command::Apply;
    std::string text = std::string(programName) + " " + VARNHOLT_VERSION +
                       ": look at and change campaign options in Iron Dominion saved games.\n\n"
                       "Usage:\n";
    if (all || command == Command::Info)
        text += "  varnholt-cli info SAVE [--json]\n";
    if (all || command == Command::Apply)
        text += "  varnholt-cli apply SAVE [-o FILE] [SETTINGS]\n";
    if (all)
        text += "  varnholt-cli --help | --version | COMMAND --help\n";
    if (all || command == Command::Info)
        text +=
            "\n"
            "info SAVE\n"
            "  Shows the release, the campaign, the player's faction and every setting\n"
            "  that apply can change, in the words apply takes.\n"
            "  --json                    one JSON object with the layout figures, for scripts\n";
    if (all || command == Command::Apply)
        text += "\n"
                "apply SAVE\n"
                "  Writes an edited copy of SAVE and prints its path. SAVE itself is never\n"
                "  changed. Only the settings given change; with none, the copy is SAVE byte\n"
                "  for byte.\n"
                "  -o, --output FILE         the new file, replaced if it exists (never SAVE);\n"
                "                            default: the first free VarnholtNNN beside SAVE,\n"
                "                            with SAVE's extension\n"
                "  --campaign-difficulty D   0-3, or a name: " +
                joined(standardDifficultyNames()) +
                "\n"
                "                            (in the modification: " +
                joined(modDifficultyNames()) +
                ")\n"
                "  --battle-difficulty D     the same\n"
                "  --time-limit on|off       on: battles have a time limit; off: they have none\n"
                "  --campaign-length long|short\n"
                "                            not in expansion saves (1.4 and 1.6)\n"
                "  --unit-scale N            20 to 160 in steps of 5; size classes:\n"
                "                            " +
                unitScaleClasses() +
                "\n"
                "  --year Y                  the year's number, 1 or more; the era is --era\n"
                "  --era BC|AD\n"
                "  --season summer|winter\n"
                "  --year, --era and --season set the date together; those not given keep the\n"
                "  save's. Names and words may be written in any letter case.\n";
    text += "\nExamples:\n";
    if (all || command == Command::Info)
        text += "  varnholt-cli info ~/IronDominion/saves/quick.sav\n";
    if (all || command == Command::Apply)
        text += "  varnholt-cli apply ~/IronDominion/saves/quick.sav --campaign-difficulty \"Very "
                "Hard\" \\\n"
                "      --unit-scale 80 --year 120 --era BC --season winter\n";
    text += "\n"
            "Exit codes:\n"
            "  0  success\n"
            "  1  the save could not be read, the new file could not be written, or\n"
            "     standard output could not be written (the message is on standard error)\n"
            "  2  the command line was refused; nothing was written\n";
    return text;
}

// Help and the version go to standard output, which must take them.
int printOrFail(const std::string& text, std::ostream& out, std::ostream& err) {
    out << text;
    if (!out.flush()) {
        err << programName << ": standard output could not be written.\n";
        return exitFailure;
    }
    return exitSuccess;
}

// ---------------------------------------------------------------------------
// info

struct Loaded {
    SaveGameInfo info;
    std::vector<LoadMessage> messages;
    bool ok = false;
};

Loaded load(const std::string& path) {
    Loaded loaded;
    loaded.ok = loadSaveGame(
        path, loaded.info, [&](const LoadMessage& message) { loaded.messages.push_back(message); });
    return loaded;
}

void printMessages(const std::vector<LoadMessage>& messages, std::ostream& err) {
    for (const LoadMessage& message : messages)
        err << message.text << '\n';
}

std::vector<std::string> warningsOf(const Loaded& loaded) {
    std::vector<std::string> texts;
    for (const LoadMessage& message : loaded.messages)
        if (message.severity == Severity::Warning)
            texts.push_back(message.text);
    return texts;
}

// The magnitude of the stored year; the one 32-bit year without a 32-bit
// magnitude (2147483648 BC) is kept in the record as stored.
std::int64_t yearNumber(const SaveGameInfo& info) {
    return info.year < 0 ? -static_cast<std::int64_t>(info.year) : info.year;
}

std::string difficultyWord(const SaveGameInfo& info, int difficulty) {
    if (difficulty < 0 || difficulty >= static_cast<int>(info.difficultyNames.size()))
        return std::to_string(difficulty);
    return info.difficultyNames[static_cast<std::size_t>(difficulty)];
}

std::string releaseLine(const std::string& path, const SaveGameInfo& info) {
    std::string text = info.version.releaseLabel;
    if (info.version.isExpansion())
        return text + " (with the expansion)";
    if (info.version.decidedByExpansionFolder)
        if (const auto folder = expansionFolderFor(fullPath(path)))
            text += " (a 1.2 header, read as 1.3 because " + printable(*folder) +
                    " stands beside the saves folder)";
    return text;
}

std::string factionLine(const SaveGameInfo& info) {
    if (info.storedFactionByte >= factionCount)
        return "unknown (the save holds faction code " + std::to_string(info.storedFactionByte) +
               ")";
    if (info.factionName.empty())
        return "no name (faction code " + std::to_string(info.factionCode) + ")";
    return printable(info.factionName);
}

std::string humanDescription(const std::string& path, const Loaded& loaded) {
    const SaveGameInfo& info = loaded.info;
    std::vector<std::pair<std::string, std::string>> rows = {
        {"Release", releaseLine(path, info)},
        {"Campaign", printable(info.campaignName) +
                         (info.isModCampaign ? " (the modification, with its own names)" : "")},
        {"Faction", factionLine(info)},
        {"Campaign difficulty", difficultyWord(info, info.campaignDifficulty)},
        {"Battle difficulty", difficultyWord(info, info.battleDifficulty)},
        {"Battle time limit", info.noBattleTimeLimit ? "off" : "on"},
        {"Campaign length", info.version.isExpansion()
                                ? "none (expansion saves have no long or short campaign)"
                                : (info.shortCampaign ? "short" : "long")},
        {"Unit scale", std::to_string(info.unitScale) + " (" +
                           unitScaleClassNames()[static_cast<std::size_t>(
                               std::clamp(info.unitScaleClass, 0, 3))] +
                           ")"},
        {"Year", std::to_string(yearNumber(info)) + (info.isAD ? " AD, " : " BC, ") +
                     (info.isWinter ? "winter" : "summer")},
    };
    for (const std::string& warning : warningsOf(loaded))
        rows.emplace_back("Warning", printable(warning));
    std::string text;
    for (const auto& [label, value] : rows)
        text += label + ":" + std::string(21 - label.size(), ' ') + value + "\n";
    return text;
}

std::string jsonDescription(const Loaded& loaded) {
    const SaveGameInfo& info = loaded.info;
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
    json["factionName"] = info.factionName;
    json["difficultyNames"] = info.difficultyNames;
    json["campaignDifficulty"] = info.campaignDifficulty;
    json["battleDifficulty"] = info.battleDifficulty;
    json["noBattleTimeLimit"] = info.noBattleTimeLimit;
    json["shortCampaign"] = info.shortCampaign;
    json["unitScaleClass"] = info.unitScaleClass;
    json["unitScale"] = info.unitScale;
    json["year"] = yearNumber(info);
    json["isAD"] = info.isAD;
    json["isWinter"] = info.isWinter;
    json["warnings"] = warningsOf(loaded);
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

int runInfo(const std::string& path, bool asJson, std::ostream& out, std::ostream& err) {
    const Loaded loaded = load(path);
    if (!loaded.ok) {
        printMessages(loaded.messages, err);
        return exitFailure;
    }
    return printOrFail(asJson ? jsonDescription(loaded) : humanDescription(path, loaded), out, err);
}

// ---------------------------------------------------------------------------
// apply

// Picks one of `choices` (any letter case); the index of the match.
std::size_t choose(const std::string& option, const std::string& value,
                   std::initializer_list<const char*> choices) {
    std::size_t index = 0;
    std::string list;
    for (const char* choice : choices) {
        if (lower(value) == lower(choice))
            return index;
        list += (index++ ? " or " : "") + std::string(choice);
    }
    throw UsageError{"invalid " + option + " '" + printable(value) + "': use " + list + "."};
}

std::optional<long long> parseInteger(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty())
        return std::nullopt;
    return value;
}

// A difficulty as 0..3, or as one of the save's four names (any case).
int difficultyOf(const std::string& option, const std::string& value,
                 const DifficultyNameSet* names) {
    if (const auto number = parseInteger(value)) {
        if (*number < 0 || *number > 3)
            throw UsageError{"invalid " + option + " '" + value +
                             "': a difficulty is 0 to 3 or a difficulty name."};
        return static_cast<int>(*number);
    }
    if (names) {
        for (std::size_t i = 0; i < names->size(); ++i)
            if (lower((*names)[i]) == lower(value))
                return static_cast<int>(i);
        throw UsageError{"invalid " + option + " '" + printable(value) +
                         "': the difficulties of this saved game are 0 to 3 or " + joined(*names) +
                         "."};
    }
    return -1; // a name: checked once the save's names are known
}

// The largest year number each era can store: AD years as they are, BC years negated.
constexpr std::int64_t largestAD = INT32_MAX;
constexpr std::int64_t largestBC = -static_cast<std::int64_t>(INT32_MIN);

// The year's number, 1 or more and no more than a BC year can hold; the era
// decides later whether it fits.
std::int64_t yearOf(const std::string& value) {
    const bool negative = !value.empty() && value[0] == '-';
    const std::string digits = negative ? value.substr(1) : value;
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw UsageError{"invalid --year '" + printable(value) +
                         "': the year is a whole number, 1 or more."};
    const auto number = parseInteger(digits); // nothing when it is too long for any use
    if (negative || (number && *number < 1))
        throw UsageError{"invalid --year '" + value +
                         "': the year is its number, 1 or more; the era is --era BC or "
                         "--era AD."};
    if (!number || *number > largestBC)
        throw UsageError{"invalid --year '" + value + "': a saved game holds years up to " +
                         std::to_string(largestAD) + " AD and " + std::to_string(largestBC) +
                         " BC."};
    return *number;
}

struct Settings {
    EditRequest request;
    std::optional<std::int64_t> year;
    std::optional<bool> isAD;
    std::optional<bool> isWinter;
};

// Everything that can be checked without the save.
Settings settingsOf(const CommandLine& line) {
    Settings settings;
    EditRequest& request = settings.request;
    if (const auto value = line.value("--campaign-difficulty"))
        difficultyOf("--campaign-difficulty", *value, nullptr);
    if (const auto value = line.value("--battle-difficulty"))
        difficultyOf("--battle-difficulty", *value, nullptr);
    if (const auto value = line.value("--time-limit")) {
        request.setBattleTimeLimit = true;
        request.noBattleTimeLimit = choose("--time-limit", *value, {"on", "off"}) == 1;
    }
    if (const auto value = line.value("--campaign-length")) {
        request.setCampaignLength = true;
        request.shortCampaign = choose("--campaign-length", *value, {"long", "short"}) == 1;
    }
    if (const auto value = line.value("--unit-scale")) {
        const auto number = parseInteger(*value);
        if (!number || !unitScaleByNumber(static_cast<int>(std::clamp(*number, -1LL, 1000LL))))
            throw UsageError{"invalid --unit-scale '" + printable(*value) +
                             "': use 20 to 160 in steps of 5 (" + unitScaleClasses() + ")."};
        request.setUnitScale = true;
        request.unitScale = static_cast<int>(*number);
    }
    if (const auto value = line.value("--year"))
        settings.year = yearOf(*value);
    if (const auto value = line.value("--era"))
        settings.isAD = choose("--era", *value, {"BC", "AD"}) == 1;
    if (const auto value = line.value("--season"))
        settings.isWinter = choose("--season", *value, {"summer", "winter"}) == 1;
    return settings;
}

// The rest, against the loaded save.
void completeWithSave(Settings& settings, const CommandLine& line, const SaveGameInfo& info,
                      const std::string& savePath) {
    EditRequest& request = settings.request;
    if (const auto value = line.value("--campaign-difficulty")) {
        request.setCampaignDifficulty = true;
        request.campaignDifficulty =
            difficultyOf("--campaign-difficulty", *value, &info.difficultyNames);
    }
    if (const auto value = line.value("--battle-difficulty")) {
        request.setBattleDifficulty = true;
        request.battleDifficulty =
            difficultyOf("--battle-difficulty", *value, &info.difficultyNames);
    }
    if (request.setCampaignLength && info.version.isExpansion())
        throw UsageError{"--campaign-length cannot be used with " + printable(savePath) +
                         ": expansion saved games have no long or short campaign."};
    if (!settings.year && !settings.isAD && !settings.isWinter)
        return;
    // The date as a whole, with the save's values for what was not given, must be
    // one the save can hold, or the copy would not say what was asked.
    const std::int64_t year = settings.year.value_or(yearNumber(info));
    const bool isAD = settings.isAD.value_or(info.isAD);
    if (isAD && year > largestAD)
        throw UsageError{"the year " + std::to_string(year) + " AD does not fit in a saved game (" +
                         std::to_string(largestAD) + " AD at most; " + std::to_string(largestBC) +
                         " fits only as BC)."};
    if (!isAD && year < 1)
        throw UsageError{"the saved game's year is 0, which has no era; give --year too."};
    request.setYearAndSeason = true;
    // 2147483648 BC is stored as its negation wraps: the record's convention too.
    request.year = static_cast<std::int32_t>(static_cast<std::uint32_t>(year));
    request.isAD = isAD ? 1 : 0;
    request.isWinter = settings.isWinter.value_or(info.isWinter) ? 1 : 0;
}

int runApply(const CommandLine& line, std::ostream& out, std::ostream& err) {
    const std::string& savePath = line.operands[0];
    Settings settings = settingsOf(line);

    const Loaded loaded = load(savePath);
    printMessages(loaded.messages, err); // the errors of a failed load, or warnings
    if (!loaded.ok)
        return exitFailure;
    completeWithSave(settings, line, loaded.info, savePath);

    std::string outputPath;
    if (const auto output = line.value("--output")) {
        outputPath = *output;
    } else {
        OutputNameResult name = makeOutputName(savePath, pathExists);
        // A bare file name means the current folder, where the editor would have
        // been given a full path.
        const PathParts parts = splitPath(savePath);
        if (!name.name && name.failure == OutputNameFailure::EmptyPathPart &&
            parts.directory.empty() && parts.drive.empty())
            name = makeOutputName("./" + savePath, pathExists);
        if (!name.name) {
            if (name.failure == OutputNameFailure::AllNamesTaken)
                err << name.message << '\n';
            else
                err << programName << ": cannot name a new file after " << printable(savePath)
                    << ": it needs a folder, a name and an extension. Use --output FILE.\n";
            return exitFailure;
        }
        outputPath = *name.name;
    }

    const ApplyOutcome outcome =
        applyChanges(savePath, outputPath, loadedLayout(loaded.info), settings.request);
    for (const std::string& text : outcome.errorTexts)
        err << text << '\n';
    if (!outcome.written)
        return exitFailure;
    out << outputPath << '\n';
    // Scripts read the new file's name from standard output: losing it is a failure.
    if (!out.flush()) {
        err << programName << ": " << outputPath
            << " was written, but its name could not be written to standard output.\n";
        return exitFailure;
    }
    return exitSuccess;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const CommandLine line = parse(args);
        if (line.help)
            return printOrFail(helpText(line.command), out, err);
        if (line.version)
            return printOrFail(std::string(programName) + " " + VARNHOLT_VERSION + "\n", out, err);
        if (line.command == Command::Help) {
            if (line.operands.size() > 1)
                throw UsageError{"help takes one command. " + seeHelp(Command::None)};
            return printOrFail(
                helpText(line.operands.empty() ? Command::None : commandNamed(line.operands[0])),
                out, err);
        }
        if (line.command == Command::Info)
            return runInfo(line.operands[0], line.values.count("--json") > 0, out, err);
        return runApply(line, out, err);
    } catch (const UsageError& error) {
        err << programName << ": " << error.text << "\n";
        return exitUsage;
    }
}

} // namespace varnholt::cli
