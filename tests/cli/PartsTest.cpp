// The parts of varnholt-cli on their own, without files: the typed command
// line, both forms of info, and what only the loaded save decides.

#include "TestFiles.h"

#include "cli/ApplyRequest.h"
#include "cli/CommandLine.h"
#include "cli/Describe.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace varnholt;
using namespace varnholt::cli;

TEST(CliCommandLine, EachOptionLandsInItsTypedField) {
    const auto apply = std::get<ApplyArgs>(readCommandLine(
        {"apply", "s.sav", "-oout.sav", "--campaign-difficulty", "Very Hard",
         "--battle-difficulty=2", "--time-limit", "OFF", "--campaign-length=short", "--unit-scale",
         "80", "--year", "120", "--era", "bc", "--season", "Winter"}));
    EXPECT_EQ(apply.save, "s.sav");
    EXPECT_EQ(apply.output, "out.sav");
    EXPECT_EQ(apply.campaignDifficulty->text, "Very Hard");
    EXPECT_EQ(apply.campaignDifficulty->level, std::nullopt); // a name: the save settles it
    EXPECT_EQ(apply.battleDifficulty->level, 2);
    EXPECT_EQ(std::get<ApplyArgs>(readCommandLine({"apply", "s", "--battle-difficulty", "2nd"}))
                  .battleDifficulty->level,
              std::nullopt); // not a number as a whole
    EXPECT_EQ(apply.noBattleTimeLimit, true);
    EXPECT_EQ(apply.shortCampaign, true);
    EXPECT_EQ(apply.unitScale, 80);
    EXPECT_EQ(apply.year, 120);
    EXPECT_EQ(apply.isAD, false);
    EXPECT_EQ(apply.isWinter, true);
    const auto none = std::get<ApplyArgs>(readCommandLine({"apply", "s.sav"}));
    EXPECT_FALSE(none.output || none.campaignDifficulty || none.battleDifficulty ||
                 none.noBattleTimeLimit || none.shortCampaign || none.unitScale || none.year ||
                 none.isAD || none.isWinter);

    // A value is whatever follows unless it is an option; attached, it is whatever it holds.
    EXPECT_EQ(std::get<ApplyArgs>(readCommandLine({"apply", "s", "-o", "-x.sav"})).output,
              "-x.sav");
    EXPECT_EQ(std::get<ApplyArgs>(readCommandLine({"apply", "s", "--output=--o.sav"})).output,
              "--o.sav");
    EXPECT_EQ(std::get<ApplyArgs>(readCommandLine({"apply", "--", "-5.sav"})).save, "-5.sav");
    EXPECT_EQ(std::get<ApplyArgs>(readCommandLine({"apply", "/json"})).save, "/json");
    const auto info = std::get<InfoArgs>(readCommandLine({"--", "info", "q.sav"}));
    EXPECT_EQ(info.save, "q.sav");
    EXPECT_FALSE(info.json);
    EXPECT_TRUE(std::get<InfoArgs>(readCommandLine({"info", "--json", "q.sav"})).json);

    // Help and the version win over anything else on the line.
    EXPECT_EQ(std::get<HelpArgs>(readCommandLine({"apply", "--bogus", "-h"})).topic,
              Command::Apply);
    EXPECT_EQ(std::get<HelpArgs>(readCommandLine({"help", "info"})).topic, Command::Info);
    EXPECT_EQ(std::get<HelpArgs>(readCommandLine({"frob", "--help", "--version"})).topic,
              Command::None);
    EXPECT_TRUE(std::holds_alternative<VersionArgs>(readCommandLine({"--year", "--version"})));
    EXPECT_THROW(readCommandLine({"info", "q.sav", "--", "--help"}), UsageError);
}

namespace {

LoadedSave describedSave() {
    LoadedSave save;
    save.info.version = {.releaseCode = 3, .releaseLabel = "1.3", .decidedByExpansionFolder = true};
    save.info.campaignName = "Ro\x01ma\xc2\x80\xc2\x9f\xc2\xa0";
    save.info.storedFactionByte = 20;
    save.settings.campaignDifficulty = static_cast<Difficulty>(4); // shown as the number
    save.settings.battleDifficulty = Difficulty::Easy;
    save.settings.noBattleTimeLimit = false;
    save.settings.shortCampaign = true;
    save.settings.unitScale = 80;
    save.settings.unitScaleClass = UnitScaleClass::Large;
    save.settings.year = 120;
    save.settings.isWinter = true;
    save.warnings = {"careful\nnow"};
    return save;
}

} // namespace

TEST(CliDescribe, BothFormsComeFromTheRecordAlone) {
    const auto saves = std::filesystem::path("/games/ID/saves/q.sav").make_preferred();
    const auto bi = std::filesystem::path("/games/ID/bi").make_preferred();
    LoadedSave save = describedSave();
    EXPECT_EQ(describeForPeople(save, testfiles::utf8Of(saves)),
              "Release:              1.3 (a 1.2 header, read as 1.3 because " +
                  testfiles::utf8Of(bi) +
                  " stands beside the saves folder)\n"
                  "Campaign:             Ro\\x01ma\\u0080\\u009f\xc2\xa0\n"
                  "Faction:              unknown (the save holds faction code 20)\n"
                  "Campaign difficulty:  4\n"
                  "Battle difficulty:    Easy\n"
                  "Battle time limit:    on\n"
                  "Campaign length:      short\n"
                  "Unit scale:           80 (Large)\n"
                  "Year:                 120 BC, winter\n"
                  "Warning:              careful\\nnow\n");
    save.info.storedFactionByte = 3;
    save.info.factionCode = 3;
    const std::string faction = describeForPeople(save, "q.sav");
    EXPECT_EQ(faction.substr(0, faction.find('\n')), "Release:              1.3");
    EXPECT_NE(faction.find("\nFaction:              no name (faction code 3)\n"),
              std::string::npos);

    // Scripts may read the keys in the order they are documented in.
    const auto json = nlohmann::ordered_json::parse(describeAsJson(save));
    std::vector<std::string> keys;
    for (const auto& item : json.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"releaseLabel",
                                              "releaseCode",
                                              "isExpansion",
                                              "isLateBaseGame",
                                              "campaignName",
                                              "isModCampaign",
                                              "campaignNameOffset",
                                              "campaignShift",
                                              "anchorShift",
                                              "factionCode",
                                              "factionName",
                                              "difficultyNames",
                                              "campaignDifficulty",
                                              "battleDifficulty",
                                              "noBattleTimeLimit",
                                              "shortCampaign",
                                              "unitScaleClass",
                                              "unitScale",
                                              "year",
                                              "isAD",
                                              "isWinter",
                                              "warnings"}));
    EXPECT_EQ(json["warnings"].get<std::vector<std::string>>(),
              std::vector<std::string>{"careful\nnow"});
}

TEST(CliApplyRequest, TheSaveSettlesNamesAndTheDate) {
    LoadedSave save;
    save.info.vocabularies.difficulties = DifficultyNames::Modification;
    save.settings.year = 0; // no era: only a given year makes a date
    ApplyArgs args;
    args.save = "s.sav";
    args.campaignDifficulty = DifficultyArg{"CONSUL", std::nullopt};
    args.battleDifficulty = DifficultyArg{"3", 3};
    args.isWinter = true;
    EXPECT_THROW(requestFor(args, save), UsageError);
    args.year = 2147483648;
    EditRequest request = requestFor(args, save);
    EXPECT_EQ(request,
              (EditRequest{Difficulty::Hard, Difficulty::VeryHard, std::nullopt, std::nullopt,
                           std::nullopt, YearAndSeason{2147483648, Era::BC, Season::Winter}}));
    args.isAD = true; // ... which fits no AD year
    EXPECT_THROW(requestFor(args, save), UsageError);
    // What is not given keeps the save's value.
    save.settings.year = 410;
    save.settings.isAD = true;
    save.settings.isWinter = true;
    ApplyArgs year;
    year.year = 12;
    EXPECT_EQ(requestFor(year, save).yearAndSeason, (YearAndSeason{12, Era::AD, Season::Winter}));
    ApplyArgs standardName;
    standardName.campaignDifficulty = DifficultyArg{"Easy", std::nullopt};
    EXPECT_THROW(requestFor(standardName, save), UsageError); // not a name of the modification
    ApplyArgs length;
    length.shortCampaign = false;
    EXPECT_EQ(requestFor(length, save).shortCampaign, false);
    save.info.version.family = LayoutFamily::Expansion;
    EXPECT_THROW(requestFor(length, save), UsageError);
}
