#include "cli/CommandLine.h"

#include "cli/OptionValues.h"
#include "cli/Suggestion.h"
#include "cli/Text.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace varnholt::cli {

namespace {

// The texts of each given option, as given; flags hold "".
struct Given {
    std::optional<std::string> help, version, json, output, campaignDifficulty, battleDifficulty,
        timeLimit, campaignLength, unitScale, year, era, season;
};

struct OptionSpec {
    const char* name;
    const char* shortName = nullptr;
    Command owner = Command::None;   // None: every command
    const char* valueHelp = nullptr; // nullptr: a flag
    std::optional<std::string> Given::*text;
};

constexpr OptionSpec optionSpecs[] = {
    {.name = "--help", .shortName = "-h", .text = &Given::help},
    {.name = "--version", .text = &Given::version},
    {.name = "--json", .owner = Command::Info, .text = &Given::json},
    {.name = "--output",
     .shortName = "-o",
     .owner = Command::Apply,
     .valueHelp = "the path of the new file",
     .text = &Given::output},
    {.name = "--campaign-difficulty",
     .owner = Command::Apply,
     .valueHelp = "0 to 3 or a difficulty name",
     .text = &Given::campaignDifficulty},
    {.name = "--battle-difficulty",
     .owner = Command::Apply,
     .valueHelp = "0 to 3 or a difficulty name",
     .text = &Given::battleDifficulty},
    {.name = "--time-limit",
     .owner = Command::Apply,
     .valueHelp = "on or off",
     .text = &Given::timeLimit},
    {.name = "--campaign-length",
     .owner = Command::Apply,
     .valueHelp = "long or short",
     .text = &Given::campaignLength},
    {.name = "--unit-scale",
     .owner = Command::Apply,
     .valueHelp = "20 to 160 in steps of 5",
     .text = &Given::unitScale},
    {.name = "--year",
     .owner = Command::Apply,
     .valueHelp = "the year's number, 1 or more",
     .text = &Given::year},
    {.name = "--era", .owner = Command::Apply, .valueHelp = "BC or AD", .text = &Given::era},
    {.name = "--season",
     .owner = Command::Apply,
     .valueHelp = "summer or winter",
     .text = &Given::season},
};

const char* commandName(Command command) {
    switch (command) {
    case Command::Info:
        return "info";
    case Command::Apply:
        return "apply";
    case Command::Help:
        return "help";
    case Command::None:
        break;
    }
    return "";
}

std::string seeHelp(Command command) {
    const bool named = command == Command::Info || command == Command::Apply;
    return "See '" + std::string(programName) + (named ? " " : "") +
           (named ? commandName(command) : "") + " --help'.";
}

// An argument that starts with "-" and has more after it is an option, wherever
// CLI11 would see an operand ("-5", "-!").
bool isOptionWord(const std::string& arg) {
    return arg.size() >= 2 && arg[0] == '-';
}

// The option an option word names: "--year" of "--year=5", "-o" of "-ofile".
std::string optionNameIn(const std::string& arg) {
    return arg.compare(0, 2, "--") == 0 ? arg.substr(0, arg.find('=')) : arg.substr(0, 2);
}

const OptionSpec* findOption(const std::string& name) {
    for (const OptionSpec& spec : optionSpecs)
        if (name == spec.name || (spec.shortName && name == spec.shortName))
            return &spec;
    return nullptr;
}

bool belongsTo(const OptionSpec& spec, Command command) {
    return spec.owner == Command::None || spec.owner == command;
}

// What follows an option that needs a value is taken as its value unless it is
// itself an option: "--year -50" is a (refused) year, "--year --era BC" lacks one.
bool looksLikeOption(const std::string& arg) {
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0)
        return true;
    return std::any_of(std::begin(optionSpecs), std::end(optionSpecs), [&](const OptionSpec& spec) {
        return spec.shortName && arg.compare(0, 2, spec.shortName) == 0;
    });
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

[[noreturn]] void refuseUnknownOption(const std::string& name, Command command) {
    std::vector<std::string> names;
    for (const OptionSpec& spec : optionSpecs)
        if (belongsTo(spec, command))
            names.push_back(spec.name);
    throw UsageError{"unknown option '" + printable(name) + "'." + suggestion(name, names) + " " +
                     seeHelp(command)};
}

// Help and the version come first, whatever else the line holds; the command
// they are about is the first word that names one.
std::optional<CommandLine> helpOrVersion(const std::vector<std::string>& args) {
    bool help = false;
    bool version = false;
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        help = help || arg == "--help" || arg == "-h";
        version = version || arg == "--version";
    }
    if (help) {
        const auto word = std::find_if(args.begin(), args.end(), [](const std::string& arg) {
            return arg.empty() || arg[0] != '-';
        });
        if (word != args.end() && (*word == "info" || *word == "apply"))
            return HelpArgs{commandNamed(*word)};
        return HelpArgs{};
    }
    if (version)
        return VersionArgs{};
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// The arguments after the command word, read by CLI11
//
// CLI11 matches the options in each form (--name value, --name=value, -o value,
// -ovalue), takes an option's value whatever it looks like ("-50", "--", "-"),
// keeps unknown options and operands in order and takes no option after "--".
// Three rules of the program need more, kept here by hand:
// - each option is checked the moment CLI11 reads it, so that the first fault
//   from the left is the one refused; CLI11's MultiOptionPolicy::Throw and its
//   validators (IsMember among them) act only once the whole line is read, one
//   option after the other, and would name another fault of a line with two;
// - an empty attached value ("--year=") is refused, where CLI11 would take the
//   next argument, and a value that is an option ("--year --era") is missing,
//   where CLI11 would take it; both need the argument as it was written;
// - an argument that starts with "-" is an option even where CLI11 sees an
//   operand ("-5", "-!"), unless it follows "--".
// The command word is read by hand too: CLI11's subcommands end at "++" and at
// a "--" that follows the saved game, and let a "--" before the command word
// make no difference to the command's own options.

struct Reading {
    Given given;
    std::vector<std::string> operands;
};

class Reader {
  public:
    Reader(Command command, std::vector<std::string> line)
        : command_(command), line_(std::move(line)), pending_(line_.rbegin(), line_.rend()) {}

    // Refuses the first fault from the left.
    Reading read();

  private:
    void take(const OptionSpec& spec, const std::string& value);
    void accept(const OptionSpec& spec, const std::string& arg,
                const std::optional<std::string>& following);
    void store(const OptionSpec& spec, std::string value);
    std::vector<std::string> checkedOperands(const CLI::App& app) const;

    Command command_;
    std::vector<std::string> line_;
    std::vector<std::string> pending_; // line_ reversed: CLI11 takes arguments from its back
    Given given_;
};

Reading Reader::read() {
    CLI::App app{"", std::string(programName) + " " + commandName(command_)};
    app.set_help_flag();                    // help was answered before the line was read
    app.allow_extras();                     // unknown options and operands, kept in order
    app.allow_windows_style_options(false); // "/x" is a path on every system
    for (const OptionSpec& spec : optionSpecs) {
        // Every command knows every option, so that one of another command is
        // refused where it stands. Each is checked as soon as CLI11 reads it:
        // the first fault from the left is the one refused.
        const std::string names =
            spec.shortName ? std::string(spec.shortName) + "," + spec.name : std::string(spec.name);
        app.add_option(names,
                       [this, &spec](const CLI::results_t& results) {
                           take(spec, results.front());
                           return true;
                       })
            ->expected(spec.valueHelp ? 1 : 0)
            ->trigger_on_parse();
    }
    try {
        app.parse(pending_);
    } catch (const CLI::ArgumentMismatch&) {
        // The line ends with an option that lacks its value ("--year", "--year=");
        // an unknown option before it is refused first, else accept refuses it.
        checkedOperands(app);
        accept(*findOption(optionNameIn(line_.back())), line_.back(), std::nullopt);
    } catch (const UsageError&) {
        checkedOperands(app); // an unknown option before the fault is refused first
        throw;
    }
    return {given_, checkedOperands(app)};
}

// CLI11 gives the value it took: the text attached to the option's argument
// ("--year=5", "-ofile"), or else the next argument, whatever it holds, also
// after an empty attached value ("--year="). Which one it was decides the
// refusal, so the argument is looked up where CLI11 stands on the line.
void Reader::take(const OptionSpec& spec, const std::string& value) {
    const std::size_t taken = line_.size() - pending_.size();
    const bool separate = spec.valueHelp && line_[taken - 1] == value;
    accept(spec, line_[taken - (separate ? 2 : 1)],
           separate ? std::optional<std::string>(value) : std::nullopt);
}

void Reader::accept(const OptionSpec& spec, const std::string& arg,
                    const std::optional<std::string>& following) {
    const std::string name = optionNameIn(arg);
    if (!belongsTo(spec, command_))
        throw UsageError{name + " is an option of " + commandName(spec.owner) + ", not of " +
                         commandName(command_) + ". " + seeHelp(command_)};
    std::optional<std::string> attached; // after "--name=" or "-o"
    if (arg.size() > name.size())
        attached = arg.substr(name.size() + (arg[1] == '-' ? 1 : 0));
    if (!spec.valueHelp) {
        if (attached)
            throw UsageError{name + " takes no value. " + seeHelp(command_)};
        store(spec, "");
        return;
    }
    if (!attached && (!following || looksLikeOption(*following)))
        throw UsageError{name + " needs a value (" + spec.valueHelp + ")" +
                         (following ? ", but " + printable(*following) + " follows it" : "") +
                         ". " + seeHelp(command_)};
    store(spec, attached ? *attached : *following);
}

void Reader::store(const OptionSpec& spec, std::string value) {
    if (spec.valueHelp && value.empty())
        throw UsageError{std::string(spec.name) + " needs a value (" + spec.valueHelp +
                         "); it is empty."};
    std::optional<std::string>& text = given_.*spec.text;
    if (text)
        throw UsageError{std::string(spec.name) + " is given more than once. " + seeHelp(command_)};
    text = std::move(value);
}

// The operands in order. An option word CLI11 set aside is refused: one it does
// not know, or one it takes for an operand ("-5").
std::vector<std::string> Reader::checkedOperands(const CLI::App& app) const {
    std::vector<std::string> operands;
    bool marked = false; // after "--" every argument is an operand
    for (const std::string& arg : app.remaining()) {
        if (!marked && arg == "--")
            marked = true;
        else if (!marked && isOptionWord(arg))
            refuseUnknownOption(optionNameIn(arg), command_);
        else
            operands.push_back(arg);
    }
    return operands;
}

// ---------------------------------------------------------------------------
// The values of apply, checked in the order of its options

ApplyArgs applyArgsOf(const std::string& save, const Given& given) {
    ApplyArgs args;
    args.save = save;
    args.output = given.output;
    if (given.campaignDifficulty)
        args.campaignDifficulty = difficultyOf("--campaign-difficulty", *given.campaignDifficulty);
    if (given.battleDifficulty)
        args.battleDifficulty = difficultyOf("--battle-difficulty", *given.battleDifficulty);
    if (given.timeLimit)
        args.noBattleTimeLimit = choose("--time-limit", *given.timeLimit, {"on", "off"}) == 1;
    if (given.campaignLength)
        args.shortCampaign =
            choose("--campaign-length", *given.campaignLength, {"long", "short"}) == 1;
    if (given.unitScale)
        args.unitScale = unitScaleOf(*given.unitScale);
    if (given.year)
        args.year = yearOf(*given.year);
    if (given.era)
        args.isAD = choose("--era", *given.era, {"BC", "AD"}) == 1;
    if (given.season)
        args.isWinter = choose("--season", *given.season, {"summer", "winter"}) == 1;
    return args;
}

} // namespace

CommandLine readCommandLine(const std::vector<std::string>& args) {
    if (auto early = helpOrVersion(args))
        return *early;
    // The command word comes first; a "--" before it makes every later argument an operand.
    const bool marked = !args.empty() && args[0] == "--";
    const std::size_t at = marked ? 1 : 0;
    if (at == args.size())
        throw UsageError{"a command is needed: info or apply. " + seeHelp(Command::None)};
    if (!marked && isOptionWord(args[at])) {
        if (findOption(optionNameIn(args[at])))
            throw UsageError{"the command comes first: info or apply, then its options. " +
                             seeHelp(Command::None)};
        refuseUnknownOption(optionNameIn(args[at]), Command::None);
    }
    const Command command = commandNamed(args[at]);
    std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(at) + 1, args.end());
    if (marked)
        rest.insert(rest.begin(), "--");
    const Reading reading = Reader(command, std::move(rest)).read();

    const std::vector<std::string>& operands = reading.operands;
    if (command == Command::Help) {
        if (operands.size() > 1)
            throw UsageError{"help takes one command. " + seeHelp(Command::None)};
        return HelpArgs{operands.empty() ? Command::None : commandNamed(operands[0])};
    }
    const std::string name = commandName(command);
    if (operands.empty())
        throw UsageError{name + " needs a saved game: " + programName + " " + name + " SAVE. " +
                         seeHelp(command)};
    if (operands.size() > 1)
        throw UsageError{"unexpected argument '" + printable(operands[1]) + "': " + name +
                         " takes one saved game. " + seeHelp(command)};
    if (operands[0].empty())
        throw UsageError{"the saved game's path is empty."};
    if (command == Command::Info)
        return InfoArgs{operands[0], reading.given.json.has_value()};
    return applyArgsOf(operands[0], reading.given);
}

} // namespace varnholt::cli
