#include "cli/CliApp.h"

#include "core/ApplyChanges.h"
#include "core/FileAccess.h"
#include "core/OutputName.h"
#include "core/SaveGameLoader.h"
#include "core/UnitScaleTable.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

namespace varnholt::cli {

namespace {

struct UsageError {
    std::string text;
};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

std::optional<long long> parseInteger(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty())
        return std::nullopt;
    return value;
}

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
    throw UsageError{"Invalid value for " + option + ": \"" + value + "\" (expected " + list +
                     ")."};
}

// A text on one line of the plain form: control characters (a campaign name
// may hold any) are shown as escapes, so each field stays one line and nothing
// reaches the terminal as a command.
std::string printable(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static const char digits[] = "0123456789abcdef";
            shown += c == '\n'   ? std::string("\\n")
                     : c == '\r' ? std::string("\\r")
                     : c == '\t' ? std::string("\\t")
                                 : std::string("\\x") + digits[byte >> 4] + digits[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}

void refuseEmpty(const std::string& name, const std::string& value) {
    if (value.empty())
        throw UsageError{"Invalid value for " + name + ": it must not be empty."};
}

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

// One "name: value" line per field.
void printPlain(const nlohmann::ordered_json& json, std::ostream& out) {
    for (const auto& [key, value] : json.items()) {
        out << key << ": ";
        if (value.is_string()) {
            out << printable(value.get<std::string>());
        } else if (value.is_array()) {
            std::string joined;
            for (const auto& item : value)
                joined += (joined.empty() ? "" : "; ") + printable(item.get<std::string>());
            out << joined;
        } else {
            out << value.dump();
        }
        out << '\n';
    }
}

int runInfo(const std::string& path, bool asJson, std::ostream& out, std::ostream& err) {
    const Loaded loaded = load(path);
    if (!loaded.ok) {
        printMessages(loaded.messages, err);
        return exitFailure;
    }
    const SaveGameInfo& info = loaded.info;
    nlohmann::ordered_json json;
    json["releaseLabel"] = info.version.releaseLabel;
    json["releaseCode"] = info.version.releaseCode;
    json["isExpansion"] = info.version.isExpansion;
    json["isLateBaseGame"] = info.version.isLateBaseGame;
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
    // The magnitude of the stored year; the one 32-bit year without a 32-bit
    // magnitude (2147483648 BC) is kept in the record as stored.
    json["year"] = info.year < 0 ? -static_cast<std::int64_t>(info.year) : info.year;
    json["isAD"] = info.isAD;
    json["isWinter"] = info.isWinter;
    json["warnings"] = warningsOf(loaded);

    if (asJson)
        out << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    else
        printPlain(json, out);
    if (!out.flush()) {
        err << "varnholt-cli: the description could not be written to standard output.\n";
        return exitFailure;
    }
    return exitSuccess;
}

struct ApplyOptions {
    std::string savePath;
    std::optional<std::string> output;
    std::optional<std::string> campaignDifficulty;
    std::optional<std::string> battleDifficulty;
    std::optional<std::string> timeLimit;
    std::optional<std::string> campaignLength;
    std::optional<std::string> unitScale;
    std::optional<std::string> year;
    std::optional<std::string> era;
    std::optional<std::string> season;
};

// A difficulty as 0..3, or as one of the save's four names (any case).
int difficultyOf(const std::string& option, const std::string& value,
                 const DifficultyNameSet* names) {
    if (const auto number = parseInteger(value)) {
        if (*number < 0 || *number > 3)
            throw UsageError{"Invalid value for " + option + ": " + value +
                             " (a difficulty is 0 to 3 or a difficulty name)."};
        return static_cast<int>(*number);
    }
    if (names) {
        for (std::size_t i = 0; i < names->size(); ++i)
            if (lower((*names)[i]) == lower(value))
                return static_cast<int>(i);
        std::string list;
        for (const std::string& name : *names)
            list += (list.empty() ? "" : ", ") + name;
        throw UsageError{"Invalid value for " + option + ": \"" + value +
                         "\" is not a difficulty of this saved game (" + list + ")."};
    }
    return -1; // a name: checked once the save's names are known
}

int runApply(const ApplyOptions& options, std::ostream& out, std::ostream& err) {
    // Everything that can be checked without the save is checked before loading it.
    EditRequest request;
    if (options.campaignDifficulty)
        difficultyOf("--campaign-difficulty", *options.campaignDifficulty, nullptr);
    if (options.battleDifficulty)
        difficultyOf("--battle-difficulty", *options.battleDifficulty, nullptr);
    if (options.timeLimit) {
        request.setBattleTimeLimit = true;
        request.noBattleTimeLimit = choose("--time-limit", *options.timeLimit, {"on", "off"}) == 1;
    }
    if (options.campaignLength) {
        request.setCampaignLength = true;
        request.shortCampaign =
            choose("--campaign-length", *options.campaignLength, {"long", "short"}) == 1;
    }
    if (options.unitScale) {
        const auto number = parseInteger(*options.unitScale);
        if (!number || !unitScaleByNumber(static_cast<int>(std::clamp(*number, -1LL, 1000LL))))
            throw UsageError{"Invalid value for --unit-scale: " + *options.unitScale +
                             " (expected one of 20, 25, ... 160)."};
        request.setUnitScale = true;
        request.unitScale = static_cast<int>(*number);
    }
    std::optional<std::int32_t> year;
    if (options.year) {
        const auto number = parseInteger(*options.year);
        if (!number || *number < INT32_MIN || *number > INT32_MAX)
            throw UsageError{"Invalid value for --year: " + *options.year +
                             " (expected a whole number)."};
        year = static_cast<std::int32_t>(*number);
    }
    std::optional<bool> isAD;
    if (options.era)
        isAD = choose("--era", *options.era, {"BC", "AD"}) == 1;
    std::optional<bool> isWinter;
    if (options.season)
        isWinter = choose("--season", *options.season, {"summer", "winter"}) == 1;

    const Loaded loaded = load(options.savePath);
    if (!loaded.ok) {
        printMessages(loaded.messages, err);
        return exitFailure;
    }
    printMessages(loaded.messages, err); // warnings, if any
    const SaveGameInfo& info = loaded.info;

    if (options.campaignDifficulty) {
        request.setCampaignDifficulty = true;
        request.campaignDifficulty = difficultyOf(
            "--campaign-difficulty", *options.campaignDifficulty, &info.difficultyNames);
    }
    if (options.battleDifficulty) {
        request.setBattleDifficulty = true;
        request.battleDifficulty =
            difficultyOf("--battle-difficulty", *options.battleDifficulty, &info.difficultyNames);
    }
    if (request.setCampaignLength && info.version.isExpansion)
        throw UsageError{"--campaign-length cannot be used with " + options.savePath +
                         ": expansion saved games have no long or short campaign setting."};
    if (year || isAD || isWinter) {
        request.setYearAndSeason = true;
        request.year = year.value_or(info.year);
        request.isAD = isAD.value_or(info.isAD) ? 1 : 0;
        request.isWinter = isWinter.value_or(info.isWinter) ? 1 : 0;
    }

    std::string outputPath;
    if (options.output) {
        outputPath = *options.output;
    } else {
        OutputNameResult name = makeOutputName(options.savePath, pathExists);
        // A bare file name means the current folder, where the editor would have
        // been given a full path.
        const PathParts parts = splitPath(options.savePath);
        if (!name.name && name.failure == OutputNameFailure::EmptyPathPart &&
            parts.directory.empty() && parts.drive.empty())
            name = makeOutputName("./" + options.savePath, pathExists);
        if (!name.name) {
            if (name.failure == OutputNameFailure::AllNamesTaken)
                err << name.message << '\n';
            else
                err << "Cannot name a new file after " << options.savePath
                    << ": it needs a folder, a name and an extension. Use --output FILE.\n";
            return exitFailure;
        }
        outputPath = *name.name;
    }

    const ApplyOutcome outcome = applyChanges(options.savePath, outputPath, info, request);
    for (const std::string& text : outcome.errorTexts)
        err << text << '\n';
    if (!outcome.written)
        return exitFailure;
    out << outputPath << '\n';
    // Scripts read the new file's name from standard output: losing it is a failure.
    if (!out.flush()) {
        err << "varnholt-cli: " << outputPath
            << " was written, but its name could not be written to standard output.\n";
        return exitFailure;
    }
    return exitSuccess;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"Inspect and change campaign options in Iron Dominion saved games.",
                 "varnholt-cli"};
    app.require_subcommand(1);

    std::string infoPath;
    bool asJson = false;
    CLI::App* info = app.add_subcommand("info", "Show what the editor would show of a saved game.");
    info->add_option("SAVE", infoPath, "The saved game (.sav)")->required();
    info->add_flag("--json", asJson, "One JSON object on stdout");

    ApplyOptions options;
    CLI::App* apply = app.add_subcommand(
        "apply", "Write a copy of a saved game with the chosen settings changed.");
    apply->add_option("SAVE", options.savePath, "The saved game (.sav); it is never changed")
        ->required();
    apply->add_option("--output", options.output,
                      "The new file (default: the first free VarnholtNNN beside SAVE)");
    apply->add_option("--campaign-difficulty", options.campaignDifficulty, "0-3 or a name");
    apply->add_option("--battle-difficulty", options.battleDifficulty, "0-3 or a name");
    apply->add_option("--time-limit", options.timeLimit,
                      "on: battles have a time limit; off: none");
    apply->add_option("--campaign-length", options.campaignLength, "long or short");
    apply->add_option("--unit-scale", options.unitScale, "20, 25, ... 160");
    apply->add_option("--year", options.year, "The year (its magnitude)");
    apply->add_option("--era", options.era, "BC or AD");
    apply->add_option("--season", options.season, "summer or winter");

    try {
        // "--output=" with nothing after it would take the next argument as its
        // value; an option's value is never empty.
        for (const std::string& arg : args)
            if (arg.size() > 2 && arg.compare(0, 2, "--") == 0 && arg.back() == '=')
                throw UsageError{"Missing value for " + arg.substr(0, arg.size() - 1) + "."};
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return exitSuccess;
    } catch (const CLI::ParseError& error) {
        err << "varnholt-cli: " << error.what() << "\n";
        return exitUsage;
    } catch (const UsageError& error) {
        err << "varnholt-cli: " << error.text << "\n";
        return exitUsage;
    }

    try {
        if (*info) {
            refuseEmpty("SAVE", infoPath);
            return runInfo(infoPath, asJson, out, err);
        }
        refuseEmpty("SAVE", options.savePath);
        for (const auto& [name, value] : {std::pair{"--output", &options.output},
                                          {"--campaign-difficulty", &options.campaignDifficulty},
                                          {"--battle-difficulty", &options.battleDifficulty},
                                          {"--time-limit", &options.timeLimit},
                                          {"--campaign-length", &options.campaignLength},
                                          {"--unit-scale", &options.unitScale},
                                          {"--year", &options.year},
                                          {"--era", &options.era},
                                          {"--season", &options.season}})
            if (*value)
                refuseEmpty(name, **value);
        return runApply(options, out, err);
    } catch (const UsageError& error) {
        err << "varnholt-cli: " << error.text << "\n";
        return exitUsage;
    }
}

} // namespace varnholt::cli
