// Loading synthetic saves of every release and layout family, and broken ones.

#include "CoreTestSupport.h"
#include "TestFiles.h"

#include "core/FileAccess.h"
#include "core/SaveGameLoader.h"
#include "core/SaveReader.h"
#include "tools/savegen/SaveGen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <tuple>

using namespace varnholt;
using varnholt::testfiles::TempFolder;
namespace gen = varnholt::savegen;

namespace {

const char* const releases[] = {"1.0", "1.1", "1.2", "1.3", "1.4", "1.5", "1.6"};

using Problems = std::vector<LoadProblem>;

// What the program holds across loads, each taken in as the editor takes it.
struct Record {
    SaveGameInfo info;
    SaveSettings settings;

    LoadResult load(const std::string& path) {
        LoadResult result = loadSaveGame(path, info.factionCode);
        info = infoAfter(result, info);
        settings = settingsAfter(result, settings);
        return result;
    }
};

Problems failed(LoadProblemKind kind, FileErrorCause cause = FileErrorCause::None) {
    return {{kind, cause}};
}

} // namespace

// Random saves of every family: every field the loader decodes agrees with what
// the generator (an independent writer of the layout) put there.
TEST(Loader, DecodesRandomSavesOfEveryFamily) {
    TempFolder folder;
    std::mt19937 random(20261207);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int round = 0; round < 400; ++round) {
        const std::string label = releases[round % 7];
        gen::SaveSpec spec = gen::specForRelease(label);
        std::u16string name;
        const int length = pick(1, 40);
        for (int i = 0; i < length; ++i)
            name.push_back(
                static_cast<char16_t>(pick(0, 3) == 0 ? pick(0x100, 0xD7FF) : pick('a', 'z')));
        spec.campaignName = name;
        spec.anchorGap = pick(0, 600);
        spec.factionByte = static_cast<std::uint8_t>(pick(0, 19));
        spec.campaignDifficulty = static_cast<std::uint8_t>(pick(0, 3));
        spec.battleDifficulty = static_cast<std::uint8_t>(pick(0, 3));
        spec.timeLimitByte = static_cast<std::uint8_t>(pick(0, 1) ? 28 : pick(0, 255));
        spec.lengthFlagByte = static_cast<std::uint8_t>(pick(0, 1) ? 4 : pick(0, 255));
        const int scale = 20 + 5 * pick(0, 28);
        gen::setUnitScale(spec, scale);
        const bool isAD = pick(0, 1);
        const bool isWinter = pick(0, 1);
        const int year = pick(1, 9999);
        gen::setYearAndSeason(spec, year, isAD, isWinter);
        spec.fillerSeed = static_cast<std::uint32_t>(round);
        if (pick(0, 3) == 0)
            spec.anchorOffset = gen::layoutOf(spec).anchorOffset + pick(0, 1); // odd offsets too
        const std::string path =
            folder.file(std::string("r").append(std::to_string(round)) + ".sav");
        gen::writeSave(path, spec);
        const gen::BuiltLayout built = gen::layoutOf(spec);

        SCOPED_TRACE(::testing::Message() << "round " << round << " release " << label);
        const auto [result, info, settings] = test::load(path);
        ASSERT_TRUE(result.succeeded());
        EXPECT_TRUE(result.problems.empty());
        EXPECT_EQ(info.version.releaseLabel, label);
        EXPECT_EQ(info.version.releaseCode, built.releaseCode);
        EXPECT_EQ(info.version.isExpansion(), built.isExpansion);
        EXPECT_EQ(info.version.isLateBaseGame(), built.isLateBaseGame);
        EXPECT_EQ(info.positions.campaignNameOffset, built.campaignNameOffset);
        EXPECT_EQ(info.positions.campaignShift, built.campaignShift);
        EXPECT_EQ(info.positions.anchorShift, built.anchorShift);
        EXPECT_EQ(info.factionCode, spec.factionByte);
        EXPECT_EQ(info.namedFaction,
                  (FactionSlot{built.isExpansion ? FactionNames::Expansion : FactionNames::BaseGame,
                               spec.factionByte}));
        EXPECT_EQ(settings.campaignDifficulty, static_cast<Difficulty>(spec.campaignDifficulty));
        EXPECT_EQ(settings.battleDifficulty, static_cast<Difficulty>(spec.battleDifficulty));
        EXPECT_EQ(settings.noBattleTimeLimit, spec.timeLimitByte != 28);
        EXPECT_EQ(settings.shortCampaign, spec.lengthFlagByte == 4);
        EXPECT_EQ(settings.unitScale, scale);
        EXPECT_EQ(settings.year, year);
        EXPECT_EQ(settings.isAD, isAD);
        EXPECT_EQ(settings.isWinter, isWinter);
    }
}

TEST(Loader, NamesFollowTheCampaignAndTheRelease) {
    TempFolder folder;
    const std::string path = folder.file("s.sav");
    Record record;
    const SaveGameInfo& info = record.info;

    gen::SaveSpec mod = gen::specForRelease("1.6");
    mod.campaignName = u"IRON_DOMINION_PLUS";
    mod.factionByte = 0;
    gen::writeSave(path, mod);
    ASSERT_TRUE(record.load(path).succeeded());
    EXPECT_TRUE(info.isModCampaign);
    EXPECT_EQ(info.campaignName, "IRON_DOMINION_PLUS");
    EXPECT_EQ(info.vocabularies,
              (Vocabularies{DifficultyNames::Modification, FactionNames::Modification}));
    EXPECT_EQ(info.namedFaction, (FactionSlot{FactionNames::Modification, 0}));

    // A modification faction without a name leaves the earlier name.
    mod.factionByte = 2;
    gen::writeSave(path, mod);
    ASSERT_TRUE(record.load(path).succeeded());
    EXPECT_EQ(info.factionCode, 2);
    EXPECT_EQ(info.namedFaction, (FactionSlot{FactionNames::Modification, 0}));

    gen::SaveSpec expansion = gen::specForRelease("1.4");
    expansion.campaignName = u"barbarian_invasion";
    expansion.factionByte = 6;
    gen::writeSave(path, expansion);
    ASSERT_TRUE(record.load(path).succeeded());
    EXPECT_EQ(info.namedFaction, (FactionSlot{FactionNames::Expansion, 6}));
    EXPECT_EQ(info.vocabularies.difficulties, DifficultyNames::Standard);
    EXPECT_EQ(info.positions.campaignNameOffset, 70);

    // After an expansion save the next base-game save is read with its name at 64.
    gen::SaveSpec base = gen::specForRelease("1.2");
    base.factionByte = 6;
    base.campaignName = u"iron_dominion_plus_extra";
    gen::writeSave(path, base);
    ASSERT_TRUE(record.load(path).succeeded());
    EXPECT_FALSE(info.isModCampaign);
    EXPECT_EQ(info.positions.campaignNameOffset, 64);
    EXPECT_EQ(info.positions.campaignShift, 64 + 48 - 98);
    EXPECT_EQ(info.namedFaction, (FactionSlot{FactionNames::BaseGame, 6}));
    EXPECT_FALSE(info.version.isExpansion());

    // Which codes each table names: all but the modification's 1 to 3.
    for (int code = -1; code <= 20; ++code) {
        const bool inTable = code >= 0 && code < 20;
        EXPECT_EQ(namesFaction(FactionNames::BaseGame, code), inTable) << code;
        EXPECT_EQ(namesFaction(FactionNames::Modification, code),
                  inTable && (code == 0 || code > 3))
            << code;
    }
}

TEST(Loader, OutOfRangeStoredValuesKeepTheEarlierValues) {
    TempFolder folder;
    const std::string path = folder.file("s.sav");
    Record record;
    const SaveGameInfo& info = record.info;
    const SaveSettings& settings = record.settings;
    gen::SaveSpec spec = gen::specForRelease("1.5");
    spec.anchorGap = 200;
    spec.factionByte = 7;
    spec.campaignDifficulty = 3;
    spec.battleDifficulty = 3;
    gen::setUnitScale(spec, 120);
    gen::writeSave(path, spec);
    ASSERT_TRUE(record.load(path).succeeded());
    ASSERT_EQ(info.factionCode, 7);

    // Faction 20, the first code past the table: the earlier faction stays and its
    // record gives the campaign difficulty.
    gen::SaveSpec odd = spec;
    odd.factionByte = 20;
    odd.battleDifficulty = 7;
    odd.unitScaleBits = 0x3F866666; // 1.05
    odd.timeLimitByte = 0;
    odd.lengthFlagByte = 20;
    odd.seasonByte = 1;
    odd.yearValue = -1;
    auto bytes = gen::buildSave(odd);
    // The generator writes no faction entry for faction 20; put a difficulty into
    // faction 7's record by hand: base 160 (no shift) + 7 * 53.
    bytes[160 + 7 * 53] = 2;
    varnholt::testfiles::writeBytes(path, bytes);
    const LoadResult result = record.load(path);
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(info.factionCode, 7);
    EXPECT_EQ(info.storedFactionByte, 20);
    EXPECT_EQ(info.namedFaction, (FactionSlot{FactionNames::BaseGame, 7}));
    EXPECT_EQ(settings.campaignDifficulty, Difficulty::Hard);
    EXPECT_EQ(settings.battleDifficulty, Difficulty::VeryHard);
    EXPECT_TRUE(settings.noBattleTimeLimit);
    EXPECT_FALSE(settings.shortCampaign);
    EXPECT_FALSE(settings.isWinter);
    EXPECT_EQ(settings.year, 1);
    EXPECT_FALSE(settings.isAD);
    // An unknown unit scale warns and falls back to 40 (Normal), whatever was loaded before.
    EXPECT_EQ(result.problems, failed(LoadProblemKind::UnitScaleNotRecognised));
    EXPECT_TRUE(result.problems[0].isWarning());
    EXPECT_EQ(settings.unitScale, 40);
    EXPECT_EQ(settings.unitScaleClass, UnitScaleClass::Normal);

    // A stored year of 0 is AD 0; loading the same file twice gives the same record.
    odd.yearValue = 0;
    varnholt::testfiles::writeBytes(path, gen::buildSave(odd));
    ASSERT_TRUE(record.load(path).succeeded());
    const Record once = record;
    ASSERT_TRUE(record.load(path).succeeded());
    EXPECT_EQ(record.info, once.info);
    EXPECT_EQ(record.settings, once.settings);
    EXPECT_TRUE(settings.isAD);
    EXPECT_EQ(settings.year, 0);
}

TEST(Loader, FailuresReportOneProblemAndKeepWhatTheyMust) {
    TempFolder folder;
    const std::string good = folder.file("good.sav");
    gen::SaveSpec spec = gen::specForRelease("1.2");
    spec.factionByte = 4;
    gen::setYearAndSeason(spec, 100, true, true);
    gen::writeSave(good, spec);
    Record record;
    const SaveGameInfo& info = record.info;
    ASSERT_TRUE(record.load(good).succeeded());
    const Record before = record;

    const auto failWith = [&](const std::string& path, const Problems& problems) {
        const LoadResult result = record.load(path);
        EXPECT_FALSE(result.succeeded());
        EXPECT_EQ(result.problems, problems);
        EXPECT_FALSE(result.problems.front().isWarning());
        EXPECT_EQ(record.settings, before.settings) << "settings come with a complete load";
    };

    // Missing file, unknown header, file shorter than the header: record unchanged.
    failWith(folder.file("missing.sav"),
             failed(LoadProblemKind::FileFailed, FileErrorCause::FileNotFound));
    EXPECT_EQ(info, before.info);
    const std::string unknown = folder.file("unknown.sav");
    gen::SaveSpec zero = spec;
    zero.formatByte = 0;
    gen::writeSave(unknown, zero);
    failWith(unknown, failed(LoadProblemKind::UnknownRelease));
    EXPECT_EQ(info, before.info);
    // A file with no more than a header is none of a known release: empty, shorter
    // than the header, or a short text.
    const std::string tiny = folder.file("tiny.sav");
    for (const std::vector<std::uint8_t>& bytes :
         {std::vector<std::uint8_t>{},
          {1, 0, 0, 0, 0, 0, 0},
          {'n', 'o', 't', ' ', 'a', ' ', 's', 'a', 'v', 'e'}}) {
        varnholt::testfiles::writeBytes(tiny, bytes);
        failWith(tiny, failed(LoadProblemKind::UnknownRelease));
        EXPECT_EQ(info, before.info) << bytes.size();
    }
    const std::string folderPath = folder.file("adir.sav");
    std::filesystem::create_directory(folderPath);
    failWith(folderPath, failed(LoadProblemKind::FileFailed, FileErrorCause::AccessDenied));

    // Empty campaign name: the release fields are new, the rest is kept.
    const std::string noName = folder.file("noname.sav");
    gen::SaveSpec empty = gen::specForRelease("1.4");
    empty.campaignName = u"";
    gen::writeSave(noName, empty);
    failWith(noName, failed(LoadProblemKind::NoCampaignName));
    EXPECT_EQ(info.version.releaseLabel, "1.4");
    EXPECT_EQ(info.positions.campaignNameOffset, 70);
    EXPECT_EQ(info.campaignName, before.info.campaignName);

    // No anchor: names and shift are new, the faction and settings are the earlier ones.
    ASSERT_TRUE(record.load(good).succeeded());
    const std::string noAnchor = folder.file("noanchor.sav");
    gen::SaveSpec mod = gen::specForRelease("1.2");
    mod.campaignName = u"iron_dominion_plus";
    mod.omitAnchor = true;
    mod.factionByte = 9;
    gen::writeSave(noAnchor, mod);
    failWith(noAnchor, failed(LoadProblemKind::NoAnchor));
    EXPECT_EQ(info.vocabularies.difficulties, DifficultyNames::Modification);
    EXPECT_EQ(info.positions.campaignShift, 2);
    EXPECT_EQ(info.positions.anchorShift, before.info.positions.anchorShift);
    EXPECT_EQ(info.factionCode, 4);
    EXPECT_EQ(info.namedFaction, before.info.namedFaction);
}

TEST(Loader, NothingIsReadBeyondTheData) {
    TempFolder folder;
    const std::string path = folder.file("cut.sav");

    // A campaign name without a terminator inside the data.
    gen::SaveSpec open = gen::specForRelease("1.5");
    open.omitNameTerminator = true;
    gen::writeSave(path, open);
    EXPECT_EQ(loadSaveGame(path).problems, failed(LoadProblemKind::NoCampaignName));

    // A file cut between the header and the end of the campaign name's first unit:
    // ending before the name, it holds no more than a header.
    for (std::uint64_t size : {8u, 40u, 64u, 65u}) {
        gen::SaveSpec early = gen::specForRelease("1.5");
        early.size = size;
        gen::writeSave(path, early);
        const LoadResult result = loadSaveGame(path);
        EXPECT_EQ(result.problems, failed(size <= 64 ? LoadProblemKind::UnknownRelease
                                                     : LoadProblemKind::NoCampaignName))
            << size;
        EXPECT_EQ(result.version.has_value(), size > 64) << size;
    }

    // The anchor is the last thing in the file: the year and season after it are cut off.
    // The anchor then lies at 3661; the places read (up to 1276 + 4) are all inside.
    gen::SaveSpec cut = gen::specForRelease("1.2");
    cut.size = static_cast<std::uint64_t>(gen::layoutOf(cut).anchorOffset + 30);
    gen::writeSave(path, cut);
    EXPECT_TRUE(loadSaveGame(path).succeeded());

    // A file that ends before the faction byte at 1273 or inside the year read at
    // 1276: every size short of 1280 fails cleanly once the anchor is found early
    // in the file.
    for (std::uint64_t size : {1273u, 1274u, 1276u, 1279u}) {
        gen::SaveSpec early = gen::specForRelease("1.2");
        early.anchorOffset = 300;
        early.size = size;
        gen::writeSave(path, early);
        const LoadResult result = loadSaveGame(path);
        EXPECT_EQ(result.problems, failed(LoadProblemKind::NoAnchor)) << size;
        EXPECT_FALSE(result.settings) << "no setting is read when a place is cut off";
    }
}

// The loader reads a large save in pieces; an anchor anywhere, across the seams
// between pieces too, is found at its lowest offset.
TEST(Loader, FindsTheAnchorAcrossEveryPieceOfALargeSave) {
    TempFolder folder;
    const std::string path = folder.file("big.sav");
    constexpr std::int64_t piece = 256 * 1024;
    for (std::int64_t anchor : {piece - 30, piece - 29, piece - 15, piece - 1, piece, piece + 1,
                                2 * piece - 30, 2 * piece - 16, 3 * piece + 7}) {
        gen::SaveSpec spec = gen::specForRelease("1.0");
        spec.anchorOffset = anchor;
        spec.size = static_cast<std::uint64_t>(anchor + 30 + (anchor % 3) * 100);
        spec.fillerSeed = static_cast<std::uint32_t>(anchor);
        gen::writeSave(path, spec);
        const LoadResult result = loadSaveGame(path);
        ASSERT_TRUE(result.succeeded()) << anchor;
        EXPECT_EQ(result.settings->anchorShift, anchor - 3399) << anchor;
    }
    gen::SaveSpec none = gen::specForRelease("1.6");
    none.omitAnchor = true;
    none.size = 5 * piece + 3;
    gen::writeSave(path, none);
    EXPECT_EQ(loadSaveGame(path).problems, failed(LoadProblemKind::NoAnchor));
}

// Once the search has read on beyond the prefix, the prefix stays as it is: the
// file is read past it, and reading on would put later bytes in its place.
TEST(Loader, TheReadersPrefixStaysOnceTheSearchHasReadOn) {
    gen::SaveSpec spec = gen::specForRelease("1.2");
    spec.anchorOffset = 500000;
    spec.size = 700000;
    const std::vector<std::uint8_t> file = gen::buildSave(spec);
    std::size_t at = 0;
    SaveReader reader([&](std::span<std::uint8_t> into) {
        const std::size_t got = std::min(into.size(), file.size() - at);
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), got, into.begin());
        at += got;
        return got;
    });
    EXPECT_EQ(reader.findAnchorText(2000), 500000);
    const std::size_t held = reader.bytes().size();
    ASSERT_LT(held, 500000u);
    EXPECT_EQ(reader.ensure(held + 1000).size(), held);
    EXPECT_TRUE(std::equal(reader.bytes().begin(), reader.bytes().end(), file.begin()));
}

// Each step that got through gives its part, even when a later one fails.
TEST(Loader, GivesWhatEachStepFound) {
    TempFolder folder;
    const auto parts = [&](const gen::SaveSpec& spec) {
        const std::string path = folder.file("s.sav");
        gen::writeSave(path, spec);
        const LoadResult result = loadSaveGame(path);
        return std::tuple{result.version.has_value(), result.campaign.has_value(),
                          result.settings.has_value()};
    };
    gen::SaveSpec spec = gen::specForRelease("1.3");
    EXPECT_EQ(parts(spec), std::tuple(true, true, true));
    spec.omitAnchor = true; // fails after the campaign name
    EXPECT_EQ(parts(spec), std::tuple(true, true, false));
    spec.campaignName = u""; // fails before
    EXPECT_EQ(parts(spec), std::tuple(true, false, false));
    spec.formatByte = 0;
    EXPECT_EQ(parts(spec), std::tuple(false, false, false));
}

// The folder test looks beside the save's full path, also when the path was
// given relative to the current folder.
TEST(Loader, FolderTestUsesTheFullPathOfARelativePath) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "game" / "saves");
    std::filesystem::create_directories(folder.path() / "game" / "bi");
    gen::writeSave(folder.file("game/saves/q.sav"), gen::specForRelease("1.2"));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path() / "game" / "saves");
    const LoadResult result = loadSaveGame("q.sav");
    std::filesystem::current_path(previous);
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.version->releaseLabel, "1.3");
    EXPECT_EQ(result.version->releaseCode, 3);
}
