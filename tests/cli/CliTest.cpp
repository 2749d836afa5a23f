// The command-line contract that scripts rely on: outputs, exit codes, texts.

#include "TestFiles.h"

#include "cli/CliApp.h"
#include "tools/savegen/SaveGen.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

using namespace varnholt;
using varnholt::testfiles::readBytes;
using varnholt::testfiles::TempFolder;
namespace gen = varnholt::savegen;

namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::run(args, out, err);
    return {code, out.str(), err.str()};
}

class Cli : public ::testing::Test {
  protected:
    std::string save(const std::string& name, const gen::SaveSpec& spec) {
        const std::string path = folder.file(name);
        gen::writeSave(path, spec);
        return path;
    }
    TempFolder folder;
};

} // namespace

TEST_F(Cli, InfoAsJsonHasEveryFieldOfTheLoad) {
    gen::SaveSpec spec = gen::specForRelease("1.6");
    spec.campaignName = u"Roma \u00e9\xD800";
    spec.factionByte = 15;
    spec.campaignDifficulty = 3;
    spec.battleDifficulty = 0;
    spec.timeLimitByte = 28;
    spec.unitScaleBits = 0x3F000001; // not a known scale: a warning, then 40
    gen::setYearAndSeason(spec, 410, true, true);
    const std::string path = save("q.sav", spec);
    const CliRun result = run({"info", path, "--json"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const auto json = nlohmann::json::parse(result.out);
    const auto layout = gen::layoutOf(spec);
    const nlohmann::json expected = {
        {"releaseLabel", "1.6"},
        {"releaseCode", 6},
        {"isExpansion", true},
        {"isLateBaseGame", false},
        {"campaignName", "Roma \xc3\xa9\xef\xbf\xbd"},
        {"isModCampaign", false},
        {"campaignNameOffset", 70},
        {"campaignShift", layout.campaignShift},
        {"anchorShift", layout.anchorShift},
        {"factionCode", 15},
        {"factionName", "Eastern Roman Empire"},
        {"difficultyNames", {"Easy", "Medium", "Hard", "Very Hard"}},
        {"campaignDifficulty", 3},
        {"battleDifficulty", 0},
        {"noBattleTimeLimit", false},
        {"shortCampaign", false},
        {"unitScaleClass", 1},
        {"unitScale", 40},
        {"year", 410},
        {"isAD", true},
        {"isWinter", true},
        {"warnings", {"Unit scale not recognised - will use default of 40 (Normal)."}},
    };
    EXPECT_EQ(json, expected);
    // Text is written as UTF-8, not escaped.
    EXPECT_NE(result.out.find("\"campaignName\": \"Roma \xc3\xa9\xef\xbf\xbd\""),
              std::string::npos);

    // The plain form is for people, in the words apply takes.
    const CliRun human = run({"info", path});
    ASSERT_EQ(human.code, 0);
    EXPECT_EQ(human.out, "Release:              1.6 (with the expansion)\n"
                         "Campaign:             Roma \xc3\xa9\xef\xbf\xbd\n"
                         "Faction:              Eastern Roman Empire\n"
                         "Campaign difficulty:  Very Hard\n"
                         "Battle difficulty:    Easy\n"
                         "Battle time limit:    on\n"
                         "Campaign length:      none (expansion saves have no long or short "
                         "campaign)\n"
                         "Unit scale:           40 (Normal)\n"
                         "Year:                 410 AD, winter\n"
                         "Warning:              Unit scale not recognised - will use default of 40 "
                         "(Normal).\n");
}

TEST_F(Cli, TheReleaseSaysWhenTheFolderMadeIt) {
    std::filesystem::create_directories(folder.path() / "game" / "saves");
    std::filesystem::create_directories(folder.path() / "game" / "bi");
    const std::string path = save("game/saves/q.sav", gen::specForRelease("1.2"));
    const CliRun result = run({"info", path});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
              "Release:              1.3 (a 1.2 header, read as 1.3 because " +
                  testfiles::utf8Of(folder.path() / "game" / "bi") +
                  " stands beside the saves folder)");
}

TEST_F(Cli, AFailedLoadPrintsTheLoadersTextsOnly) {
    gen::SaveSpec spec = gen::specForRelease("1.2");
    spec.omitAnchor = true;
    const std::string path = save("q.sav", spec);
    for (const char* command : {"info", "apply"}) {
        const CliRun result = run({command, path});
        EXPECT_EQ(result.code, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "Error reading " + path + ": Cannot find descr_strat.txt.\n");
    }
    // Files that are no saves are told by the step that could not finish; nothing is written.
    const std::string other = save("other.sav", gen::specForRelease("1.2"));
    std::vector<std::uint8_t> cut = readBytes(other);
    cut.resize(2000); // a whole save cut off before its anchor
    const std::pair<std::vector<std::uint8_t>, const char*> notSaves[] = {
        {{}, "Unknown IRD version."},
        {{'n', 'o', 't', ' ', 'a', ' ', 's', 'a', 'v', 'e'}, "Unknown IRD version."},
        {cut, "Cannot find descr_strat.txt."},
    };
    for (const auto& [bytes, text] : notSaves) {
        testfiles::writeBytes(other, bytes);
        for (const char* command : {"info", "apply"}) {
            const CliRun result = run({command, other});
            EXPECT_EQ(result.code, 1);
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.err, "Error reading " + other + ": " + text + "\n");
        }
    }
    const std::string missing = folder.file("none.sav");
    const CliRun result = run({"info", missing, "--json"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Error reading " + missing + ": " + missing + " was not found.\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"other.sav", "q.sav"}));
}

TEST_F(Cli, ApplyWritesTheNextFreeNameAndPatchesOnlyTickedGroups) {
    gen::SaveSpec spec = gen::specForRelease("1.2");
    spec.campaignName = u"iron_dominion_plus";
    spec.factionByte = 5;
    spec.anchorGap = 64;
    const std::string path = save("quick.sav", spec);

    CliRun result = run({"apply", path});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, folder.file("Varnholt000.sav") + "\n");
    EXPECT_EQ(readBytes(folder.file("Varnholt000.sav")), readBytes(path));

    result = run({"apply", path, "--campaign-difficulty", "emPEROR", "--battle-difficulty", "2",
                  "--time-limit", "on", "--campaign-length", "short", "--unit-scale", "75",
                  "--year", "12", "--era", "AD"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, folder.file("Varnholt001.sav") + "\n");
    gen::SaveSpec expected = spec;
    expected.campaignDifficulty = 3;
    expected.battleDifficulty = 2;
    expected.timeLimitByte = 28;
    expected.lengthFlagByte = 4;
    expected.lengthValueByte = 20;
    gen::setUnitScale(expected, 75);
    gen::setYearAndSeason(expected, 12, true, false); // the season is kept: summer
    EXPECT_EQ(readBytes(folder.file("Varnholt001.sav")), gen::buildSave(expected));

    // Only the season: the year and era of the save are kept.
    result = run({"apply", path, "--season", "WINTER", "--output", folder.file("w.sav")});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, folder.file("w.sav") + "\n");
    expected = spec;
    gen::setYearAndSeason(expected, 270, false, true);
    EXPECT_EQ(readBytes(folder.file("w.sav")), gen::buildSave(expected));
}

TEST_F(Cli, RefusedCommandLinesWriteNothing) {
    const std::string base = save("base.sav", gen::specForRelease("1.5"));
    const std::string expansion = save("exp.sav", gen::specForRelease("1.4"));
    const auto before = folder.entries();
    const std::vector<std::vector<std::string>> refused = {
        {"apply", base, "--bogus"},
        {"apply", base, "--campaign-difficulty", "4"},
        {"apply", base, "--battle-difficulty", "-1"},
        {"apply", base, "--battle-difficulty", "Emperor"}, // not a name of this save
        {"apply", base, "--time-limit", "maybe"},
        {"apply", base, "--campaign-length", "medium"},
        {"apply", base, "--unit-scale", "42"},
        {"apply", base, "--unit-scale", "165"},
        {"apply", base, "--unit-scale", "4O"},
        {"apply", base, "--unit-scale", "80x"},
        {"apply", base, "--campaign-difficulty", "1x"},
        {"apply", base, "--year", "12x"},
        {"apply", base, "--year", "99999999999"},
        {"apply", base, "--year=-50", "--era", "BC"},
        {"apply", base, "--year", "0"},
        {"apply", base, "--year", "2147483648", "--era", "AD"},
        {"apply", base, "--year", "--unit-scale", "80"},
        {"apply", base, "--year", "5", "--year", "6"},
        {"apply", base, "-o"},
        {"info", base, "--year", "5"},
        {"apply", base, base},
        {"apply", base, "--era", "CE"},
        {"apply", base, "--season", "spring"},
        {"apply", expansion, "--campaign-length", "long"},
        {"info"},
        {"frobnicate", base},
        {"--json", "info", base},
        {},
    };
    for (const auto& args : refused) {
        const CliRun result = run(args);
        std::string line;
        for (const auto& arg : args)
            line += arg + " ";
        EXPECT_EQ(result.code, 2) << line;
        EXPECT_EQ(result.out, "") << line;
        // One line in the program's own style.
        EXPECT_EQ(result.err.rfind("varnholt-cli: ", 0), 0u) << line << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_EQ(folder.entries(), before);
}

TEST_F(Cli, RefusalsNameWhatWasNotUnderstood) {
    const std::string path = save("q.sav", gen::specForRelease("1.5"));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"inf", path},
         "varnholt-cli: unknown command 'inf'. Did you mean 'info'? The commands are info and "
         "apply. See 'varnholt-cli --help'.\n"},
        {{"apply", path, "--campaign-dificulty", "1"},
         "varnholt-cli: unknown option '--campaign-dificulty'. Did you mean "
         "'--campaign-difficulty'? See 'varnholt-cli apply --help'.\n"},
        {{"apply", path, "--year", "--unit-scale", "80"},
         "varnholt-cli: --year needs a value (the year's number, 1 or more), but --unit-scale "
         "follows it. See 'varnholt-cli apply --help'.\n"},
        {{"apply", path, "--year", "-50", "--era", "BC"},
         "varnholt-cli: invalid --year '-50': give the year as a number of 1 or more, and its era "
         "with --era BC or --era AD.\n"},
        {{"apply", path, "--year", "2147483648", "--era", "AD"},
         "varnholt-cli: the year 2147483648 AD does not fit in a saved game (2147483647 AD at "
         "most; 2147483648 fits only as BC).\n"},
        // A suggestion comes within two edits, or a quarter of the name's length.
        {{"inof", path},
         "varnholt-cli: unknown command 'inof'. Did you mean 'info'? The commands are info and "
         "apply. See 'varnholt-cli --help'.\n"},
        {{"xyzinfo", path},
         "varnholt-cli: unknown command 'xyzinfo'. The commands are info and apply. See "
         "'varnholt-cli --help'.\n"},
        // Letter case aside; of two as near, the first.
        {{"INFO", path},
         "varnholt-cli: unknown command 'INFO'. Did you mean 'info'? The commands are info and "
         "apply. See 'varnholt-cli --help'.\n"},
        {{"inlp", path},
         "varnholt-cli: unknown command 'inlp'. Did you mean 'info'? The commands are info and "
         "apply. See 'varnholt-cli --help'.\n"},
        {{"--year", "5", "apply", path},
         "varnholt-cli: the command comes first: info or apply, then its options. See "
         "'varnholt-cli --help'.\n"},
        {{"--helpp", "info", path},
         "varnholt-cli: unknown option '--helpp'. Did you mean '--help'? See 'varnholt-cli "
         "--help'.\n"},
        {{"apply", path, "--campaign-diffi", "1"},
         "varnholt-cli: unknown option '--campaign-diffi'. Did you mean '--campaign-difficulty'? "
         "See 'varnholt-cli apply --help'.\n"},
        {{"apply", path, "--campaign-diff", "1"},
         "varnholt-cli: unknown option '--campaign-diff'. See 'varnholt-cli apply --help'.\n"},
        // "-" and "--" are no options where a value or an operand stands; "-5" is one.
        {{"apply", path, "--year", "0"},
         "varnholt-cli: invalid --year '0': there is no year 0; 1 BC is followed by 1 AD.\n"},
        {{"apply", path, "--year", "--"},
         "varnholt-cli: invalid --year '--': the year is a whole number, 1 or more.\n"},
        {{"apply", path, "-"},
         "varnholt-cli: unexpected argument '-': apply takes one saved game. See 'varnholt-cli "
         "apply --help'.\n"},
        {{"apply", path, "-50"},
         "varnholt-cli: unknown option '-5'. See 'varnholt-cli apply --help'.\n"},
        // Control characters are shown as escapes, a C1 one at the start too.
        {{"\xc2\x9b", path},
         "varnholt-cli: unknown command '\\u009b'. The commands are info and apply. See "
         "'varnholt-cli --help'.\n"},
        {{"apply", path, "-5"},
         "varnholt-cli: unknown option '-5'. See 'varnholt-cli apply --help'.\n"},
        {{"-x", "info", path}, "varnholt-cli: unknown option '-x'. See 'varnholt-cli --help'.\n"},
        {{"apply", path, "--year", "--x"},
         "varnholt-cli: --year needs a value (the year's number, 1 or more), but --x follows "
         "it. See 'varnholt-cli apply --help'.\n"},
        {{"apply", path, "--year=--era"},
         "varnholt-cli: invalid --year '--era': the year is a whole number, 1 or more.\n"},
        {{"apply", path, "--output=", "--season=winter"},
         "varnholt-cli: --output needs a value (the path of the new file); it is empty.\n"},
        {{"info", path, "--json=true"},
         "varnholt-cli: --json takes no value. See 'varnholt-cli info --help'.\n"},
    };
    for (const auto& [args, text] : cases)
        EXPECT_EQ(run(args).err, text) << args[0];
}

TEST_F(Cli, TheFirstFaultFromTheLeftIsRefusedThenTheSaveThenTheValues) {
    const std::string path = save("q.sav", gen::specForRelease("1.5"));
    const std::string unknown = "varnholt-cli: unknown option '--bogus'. See 'varnholt-cli ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"info", path, "--bogus", "--year", "5"}, unknown + "info --help'.\n"},
        {{"info", path, "--year", "5", "--bogus"},
         "varnholt-cli: --year is an option of apply, not of info. See 'varnholt-cli info "
         "--help'.\n"},
        {{"apply", path, "--year", "5", "--bogus", "--year", "6"}, unknown + "apply --help'.\n"},
        {{"apply", path, "--year", "5", "--year", "6", "--bogus"},
         "varnholt-cli: --year is given more than once. See 'varnholt-cli apply --help'.\n"},
        {{"apply", path, "--bogus", "--year"}, unknown + "apply --help'.\n"},
        {{"apply", path, "--era", "CE", "--era", "BC"},
         "varnholt-cli: --era is given more than once. See 'varnholt-cli apply --help'.\n"},
        {{"apply", path, "extra", "--bogus"}, unknown + "apply --help'.\n"},
        {{"apply", path, "extra", "--era", "CE"},
         "varnholt-cli: unexpected argument 'extra': apply takes one saved game. See "
         "'varnholt-cli apply --help'.\n"},
        {{"apply", path, "--unit-scale", "42", "--time-limit", "maybe"},
         "varnholt-cli: invalid --time-limit 'maybe': use on or off.\n"},
        // A "--" before the command makes every later argument an operand.
        {{"--", "info", "--json", path},
         "varnholt-cli: unexpected argument '" + path +
             "': info takes one saved game. See 'varnholt-cli info --help'.\n"},
    };
    for (const auto& [args, text] : cases)
        EXPECT_EQ(run(args).err, text) << args[2];
}

TEST_F(Cli, HelpAndVersion) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"help"}, {"apply", "--bogus", "-h"}, {"help", "info"}}) {
        const CliRun result = run(args);
        EXPECT_EQ(result.code, 0) << args[0];
        EXPECT_EQ(result.err, "");
        EXPECT_NE(result.out.find("Exit codes:"), std::string::npos);
        EXPECT_NE(result.out.find("Examples:"), std::string::npos);
    }
    EXPECT_NE(run({"help"}).out.find("Small 20, Normal 25-40, Large 45-85, Huge 90-160"),
              std::string::npos);
    EXPECT_EQ(run({"help", "info"}).out.find("--unit-scale"), std::string::npos);
    // A command's help has that command's usage, section and example only.
    struct Topic {
        std::vector<std::string> args;
        bool info, apply;
    };
    const Topic topics[] = {
        {{"--help"}, true, true},         {{"help", "help"}, true, true},
        {{"help", "info"}, true, false},  {{"info", "q.sav", "-h"}, true, false},
        {{"help", "apply"}, false, true}, {{"apply", "--help"}, false, true},
    };
    for (const Topic& topic : topics) {
        const std::string out = run(topic.args).out;
        const auto has = [&](const char* text) { return out.find(text) != std::string::npos; };
        SCOPED_TRACE(topic.args.back());
        EXPECT_EQ(has("\n  varnholt-cli info SAVE [--json]\n"), topic.info);
        EXPECT_EQ(has("\ninfo SAVE\n"), topic.info);
        EXPECT_EQ(has("\n  varnholt-cli info ~/"), topic.info);
        EXPECT_EQ(has("\n  varnholt-cli apply SAVE [-o FILE] [SETTINGS]\n"), topic.apply);
        EXPECT_EQ(has("\napply SAVE\n"), topic.apply);
        EXPECT_EQ(has("\n  varnholt-cli apply ~/"), topic.apply);
        EXPECT_EQ(has("--help | --version | COMMAND --help"), topic.info && topic.apply);
    }
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("varnholt-cli ", 0), 0u);
}

TEST_F(Cli, WriteFailuresNameTheOutput) {
    const std::string path = save("q.sav", gen::specForRelease("1.0"));
    const std::string output = folder.file("missing/out.sav");
    CliRun result = run({"apply", path, "--output", output});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "Error writing " + output + ": " + output + " contains an invalid path.\n");
    result = run({"apply", path, "--output", path});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "Error writing " + path +
                              ": The new file would replace the saved game it is made from.\n");
    // No name can be made after a save without an extension.
    const std::string bare = folder.file("q");
    std::filesystem::copy_file(path, bare);
    result = run({"apply", bare});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "varnholt-cli: cannot name a new file after " + bare +
                              ": it needs a folder, a name and an extension. Use --output FILE.\n");
}

TEST_F(Cli, PlainFormKeepsOneLinePerFieldAndYearsKeepTheirMagnitude) {
    gen::SaveSpec spec = gen::specForRelease("1.5");
    spec.campaignName = u"ab\ncd\x1b[31m\t\x7f\x9b";
    spec.yearValue = INT32_MIN;  // the one year whose magnitude needs 32 bits unsigned
    spec.turnCounterValue = 540; // 2 x (270 + 2^31), low 16 bits: what the year gives in summer
    const std::string path = save("q.sav", spec);
    const CliRun plain = run({"info", path});
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_NE(plain.out.find("Campaign:             ab\\ncd\\x1b[31m\\t\\x7f\\u009b\n"),
              std::string::npos);
    EXPECT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 9);
    EXPECT_NE(plain.out.find("Year:                 2147483648 BC, summer\n"), std::string::npos);
    const auto json = nlohmann::json::parse(run({"info", path, "--json"}).out);
    EXPECT_EQ(json["year"], 2147483648LL);
    EXPECT_EQ(json["campaignName"], "ab\ncd\x1b[31m\t\x7f\xc2\x9b");
    // Keeping the year writes back the same bytes.
    const CliRun kept = run({"apply", path, "--season", "summer"});
    ASSERT_EQ(kept.code, 0) << kept.err;
    EXPECT_EQ(readBytes(folder.file("Varnholt000.sav")), readBytes(path));
    // The largest year of each era is written as asked.
    ASSERT_EQ(
        run({"apply", path, "--year", "2147483647", "--era", "AD", "-o", folder.file("a.sav")})
            .code,
        0);
    // The kept year 2147483648 fits only as BC.
    ASSERT_EQ(run({"apply", path, "--era", "AD", "-o" + folder.file("b.sav")}).code, 2);
    gen::SaveSpec expected = spec;
    gen::setYearAndSeason(expected, INT32_MAX, true, false);
    EXPECT_EQ(readBytes(folder.file("a.sav")), gen::buildSave(expected));
}

TEST_F(Cli, ADanglingLinkTakesItsName) {
    const std::string path = save("q.sav", gen::specForRelease("1.2"));
    std::error_code error;
    std::filesystem::create_symlink(folder.path() / "nowhere", folder.path() / "Varnholt000.sav",
                                    error);
    if (error)
        GTEST_SKIP() << "this system cannot make a symbolic link: " << error.message();
    const CliRun result = run({"apply", path});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, folder.file("Varnholt001.sav") + "\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("nowhere")));
}

TEST_F(Cli, EmptyValuesAreRefusedAndNeverTakeTheNextArgument) {
    const std::string path = save("q.sav", gen::specForRelease("1.2"));
    const auto before = folder.entries();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"apply", path, "--output=", "--season=winter"},
             {"apply", path, "--battle-difficulty=", "--season=summer"},
             {"apply", path, "--output", ""},
             {"apply", path, "--year", ""},
             {"apply", ""},
             {"info", ""}}) {
        const CliRun result = run(args);
        EXPECT_EQ(result.code, 2) << args[2];
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
    }
    EXPECT_EQ(folder.entries(), before);
}

TEST_F(Cli, LosingStandardOutputIsAFailure) {
    const std::string path = save("q.sav", gen::specForRelease("1.2"));
    std::ostringstream err;
    std::ostream broken(nullptr); // every write fails, as on a full disk
    EXPECT_EQ(cli::run({"--help"}, broken, err), 1);
    EXPECT_EQ(cli::run({"info", path, "--json"}, broken, err), 1);
    EXPECT_NE(err.str().find("standard output"), std::string::npos);
    err.str("");
    EXPECT_EQ(cli::run({"apply", path}, broken, err), 1);
    // The new file is there; the message names it, since its name was lost.
    EXPECT_NE(err.str().find(folder.file("Varnholt000.sav")), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder.file("Varnholt000.sav")));
}
