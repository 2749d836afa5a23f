// Loading synthetic saves of every release and layout family, and broken ones.

#include "TestFiles.h"

#include "core/FileAccess.h"
#include "core/SaveGameLoader.h"
#include "core/SaveReader.h"
#include "tools/savegen/SaveGen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

using namespace varnholt;
using varnholt::testfiles::TempFolder;
namespace gen = varnholt::savegen;

namespace {

const char* const releases[] = {"1.0", "1.1", "1.2", "1.3", "1.4", "1.5", "1.6"};

struct Loaded {
    bool ok = false;
    std::vector<LoadMessage> messages;
};

Loaded load(const std::string& path, SaveGameInfo& info) {
    Loaded result;
    result.ok =
        loadSaveGame(path, info, [&](const LoadMessage& m) { result.messages.push_back(m); });
    return result;
}

std::string expectedText(const char* pattern, const std::string& path) {
    std::string text = pattern;
    return text.replace(text.find("%s"), 2, path);
}

std::string pastEnd(const std::string& path) {
    return "Error reading " + path + ": An attempt was made to access " + path + " past its end.";
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
        SaveGameInfo info;
        const Loaded loaded = load(path, info);
        ASSERT_TRUE(loaded.ok);
        EXPECT_TRUE(loaded.messages.empty());
        EXPECT_EQ(info.version.releaseLabel, label);
        EXPECT_EQ(info.version.releaseCode, built.releaseCode);
        EXPECT_EQ(info.version.isExpansion(), built.isExpansion);
        EXPECT_EQ(info.version.isLateBaseGame(), built.isLateBaseGame);
        EXPECT_EQ(info.positions.campaignNameOffset, built.campaignNameOffset);
        EXPECT_EQ(info.positions.campaignShift, built.campaignShift);
        EXPECT_EQ(info.positions.anchorShift, built.anchorShift);
        EXPECT_EQ(info.factionCode, spec.factionByte);
        EXPECT_EQ(info.campaignDifficulty, spec.campaignDifficulty);
        EXPECT_EQ(info.battleDifficulty, spec.battleDifficulty);
        EXPECT_EQ(info.noBattleTimeLimit, spec.timeLimitByte != 28);
        EXPECT_EQ(info.shortCampaign, spec.lengthFlagByte == 4);
        EXPECT_EQ(info.unitScale, scale);
        EXPECT_EQ(info.year, year);
        EXPECT_EQ(info.isAD, isAD);
        EXPECT_EQ(info.isWinter, isWinter);
        EXPECT_FALSE(info.factionName.empty());
    }
}

TEST(Loader, NamesFollowTheCampaignAndTheRelease) {
    TempFolder folder;
    const std::string path = folder.file("s.sav");
    SaveGameInfo info;

    gen::SaveSpec mod = gen::specForRelease("1.6");
    mod.campaignName = u"IRON_DOMINION_PLUS";
    mod.factionByte = 0;
    gen::writeSave(path, mod);
    ASSERT_TRUE(load(path, info).ok);
    EXPECT_TRUE(info.isModCampaign);
    EXPECT_EQ(info.campaignName, "IRON_DOMINION_PLUS");
    EXPECT_EQ(info.factionName, "Romans");
    EXPECT_EQ(info.difficultyNames[1], "Praetor");

    // A modification faction without a name leaves the earlier name; no name survives
    // in a slot the new table leaves empty.
    mod.factionByte = 2;
    gen::writeSave(path, mod);
    ASSERT_TRUE(load(path, info).ok);
    EXPECT_EQ(info.factionCode, 2);
    EXPECT_EQ(info.factionName, "Romans");
    EXPECT_EQ(info.factionNames.slots[2], "");

    gen::SaveSpec expansion = gen::specForRelease("1.4");
    expansion.campaignName = u"barbarian_invasion";
    expansion.factionByte = 6;
    gen::writeSave(path, expansion);
    ASSERT_TRUE(load(path, info).ok);
    EXPECT_EQ(info.factionName, "Unknown");
    EXPECT_EQ(info.difficultyNames[0], "Easy");
    EXPECT_EQ(info.positions.campaignNameOffset, 70);

    // After an expansion save the next base-game save is read with its name at 64.
    gen::SaveSpec base = gen::specForRelease("1.2");
    base.factionByte = 6;
    base.campaignName = u"iron_dominion_plus_extra";
    gen::writeSave(path, base);
    ASSERT_TRUE(load(path, info).ok);
    EXPECT_FALSE(info.isModCampaign);
    EXPECT_EQ(info.positions.campaignNameOffset, 64);
    EXPECT_EQ(info.positions.campaignShift, 64 + 48 - 98);
    EXPECT_EQ(info.factionName, "Seleucids");
    EXPECT_FALSE(info.version.isExpansion());
}

TEST(Loader, OutOfRangeStoredValuesKeepTheEarlierValues) {
    TempFolder folder;
    const std::string path = folder.file("s.sav");
    SaveGameInfo info;
    gen::SaveSpec spec = gen::specForRelease("1.5");
    spec.anchorGap = 200;
    spec.factionByte = 7;
    spec.campaignDifficulty = 3;
    spec.battleDifficulty = 3;
    gen::setUnitScale(spec, 120);
    gen::writeSave(path, spec);
    ASSERT_TRUE(load(path, info).ok);
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
    const Loaded loaded = load(path, info);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(info.factionCode, 7);
    EXPECT_EQ(info.storedFactionByte, 20);
    EXPECT_EQ(info.factionName, "Carthaginians");
    EXPECT_EQ(info.campaignDifficulty, 2);
    EXPECT_EQ(info.battleDifficulty, 3);
    EXPECT_TRUE(info.noBattleTimeLimit);
    EXPECT_FALSE(info.shortCampaign);
    EXPECT_FALSE(info.isWinter);
    EXPECT_EQ(info.year, 1);
    EXPECT_FALSE(info.isAD);
    // An unknown unit scale warns and falls back to 40 (Normal), whatever was loaded before.
    ASSERT_EQ(loaded.messages.size(), 1u);
    EXPECT_EQ(loaded.messages[0],
              (LoadMessage{"Unit scale not recognised - will use default of 40 (Normal).",
                           Severity::Warning}));
    EXPECT_EQ(info.unitScale, 40);
    EXPECT_EQ(info.unitScaleClass, 1);

    // A stored year of 0 is AD 0; loading the same file twice gives the same record.
    odd.yearValue = 0;
    varnholt::testfiles::writeBytes(path, gen::buildSave(odd));
    ASSERT_TRUE(load(path, info).ok);
    const SaveGameInfo once = info;
    ASSERT_TRUE(load(path, info).ok);
    EXPECT_EQ(info, once);
    EXPECT_TRUE(info.isAD);
    EXPECT_EQ(info.year, 0);
}

TEST(Loader, FailuresReportOneMessageAndKeepWhatTheyMust) {
    TempFolder folder;
    const std::string good = folder.file("good.sav");
    gen::SaveSpec spec = gen::specForRelease("1.2");
    spec.factionByte = 4;
    gen::setYearAndSeason(spec, 100, true, true);
    gen::writeSave(good, spec);
    SaveGameInfo info;
    ASSERT_TRUE(load(good, info).ok);
    const SaveGameInfo before = info;

    const auto failWith = [&](const std::string& path, const std::string& text) {
        const Loaded loaded = load(path, info);
        EXPECT_FALSE(loaded.ok);
        ASSERT_EQ(loaded.messages.size(), 1u);
        EXPECT_EQ(loaded.messages[0].text, text);
        EXPECT_EQ(loaded.messages[0].severity, Severity::Error);
    };

    // Missing file, unknown header, file shorter than the header: record unchanged.
    const std::string missing = folder.file("missing.sav");
    failWith(missing, "Error reading " + missing + ": " + missing + " was not found.");
    EXPECT_EQ(info, before);
    const std::string unknown = folder.file("unknown.sav");
    gen::SaveSpec zero = spec;
    zero.formatByte = 0;
    gen::writeSave(unknown, zero);
    failWith(unknown, expectedText(unknownVersionText, unknown));
    EXPECT_EQ(info, before);
    const std::string tiny = folder.file("tiny.sav");
    varnholt::testfiles::writeBytes(tiny, {1, 0, 0, 0, 0, 0, 0});
    failWith(tiny, pastEnd(tiny));
    EXPECT_EQ(info, before);
    const std::string folderPath = folder.file("adir.sav");
    std::filesystem::create_directory(folderPath);
    failWith(folderPath,
             "Error reading " + folderPath + ": Access to " + folderPath + " was denied.");

    // Empty campaign name: the release fields are new, the rest is kept.
    const std::string noName = folder.file("noname.sav");
    gen::SaveSpec empty = gen::specForRelease("1.4");
    empty.campaignName = u"";
    gen::writeSave(noName, empty);
    failWith(noName, expectedText(noCampaignText, noName));
    EXPECT_EQ(info.version.releaseLabel, "1.4");
    EXPECT_EQ(info.positions.campaignNameOffset, 70);
    EXPECT_EQ(info.campaignName, before.campaignName);

    // No anchor: names and shift are new, the faction and settings are the earlier ones.
    ASSERT_TRUE(load(good, info).ok);
    const std::string noAnchor = folder.file("noanchor.sav");
    gen::SaveSpec mod = gen::specForRelease("1.2");
    mod.campaignName = u"iron_dominion_plus";
    mod.omitAnchor = true;
    mod.factionByte = 9;
    gen::writeSave(noAnchor, mod);
    failWith(noAnchor, expectedText(noAnchorText, noAnchor));
    EXPECT_EQ(info.difficultyNames[0], "General");
    EXPECT_EQ(info.factionNames.slots[1], "");
    EXPECT_EQ(info.positions.campaignShift, 2);
    EXPECT_EQ(info.positions.anchorShift, before.positions.anchorShift);
    EXPECT_EQ(info.factionCode, 4);
    EXPECT_EQ(info.factionName, before.factionName);
    EXPECT_EQ(info.year, 100);
    EXPECT_TRUE(info.isWinter);
}

TEST(Loader, NothingIsReadBeyondTheData) {
    TempFolder folder;
    const std::string path = folder.file("cut.sav");
    SaveGameInfo info;

    // A campaign name without a terminator inside the data.
    gen::SaveSpec open = gen::specForRelease("1.5");
    open.omitNameTerminator = true;
    gen::writeSave(path, open);
    Loaded loaded = load(path, info);
    EXPECT_FALSE(loaded.ok);
    ASSERT_EQ(loaded.messages.size(), 1u);
    EXPECT_EQ(loaded.messages[0].text, pastEnd(path));

    // A file cut between the header and the end of the campaign name's first unit.
    for (std::uint64_t size : {8u, 40u, 64u, 65u}) {
        gen::SaveSpec early = gen::specForRelease("1.5");
        early.size = size;
        gen::writeSave(path, early);
        loaded = load(path, info);
        EXPECT_FALSE(loaded.ok) << size;
        ASSERT_EQ(loaded.messages.size(), 1u);
        EXPECT_EQ(loaded.messages[0].text, pastEnd(path)) << size;
    }

    // The anchor is the last thing in the file: the year and season after it are cut off.
    // The anchor then lies at 3661; the places read (up to 1276 + 4) are all inside.
    gen::SaveSpec cut = gen::specForRelease("1.2");
    cut.size = static_cast<std::uint64_t>(gen::layoutOf(cut).anchorOffset + 30);
    gen::writeSave(path, cut);
    EXPECT_TRUE(load(path, info).ok);

    // A file that ends before the faction byte at 1273 or inside the year read at
    // 1276: every size short of 1280 fails cleanly once the anchor is found early
    // in the file.
    for (std::uint64_t size : {1273u, 1274u, 1276u, 1279u}) {
        gen::SaveSpec early = gen::specForRelease("1.2");
        early.anchorOffset = 300;
        early.size = size;
        gen::writeSave(path, early);
        SaveGameInfo fresh;
        loaded = load(path, fresh);
        EXPECT_FALSE(loaded.ok) << size;
        ASSERT_EQ(loaded.messages.size(), 1u);
        EXPECT_EQ(loaded.messages[0].text, pastEnd(path));
        EXPECT_EQ(fresh.year, 270) << "settings are untouched when a place is cut off";
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
        SaveGameInfo info;
        const Loaded loaded = load(path, info);
        ASSERT_TRUE(loaded.ok) << anchor;
        EXPECT_EQ(info.positions.anchorShift, anchor - 3399) << anchor;
    }
    gen::SaveSpec none = gen::specForRelease("1.6");
    none.omitAnchor = true;
    none.size = 5 * piece + 3;
    gen::writeSave(path, none);
    SaveGameInfo info;
    const Loaded loaded = load(path, info);
    EXPECT_FALSE(loaded.ok);
    ASSERT_EQ(loaded.messages.size(), 1u);
    EXPECT_EQ(loaded.messages[0].text, expectedText(noAnchorText, path));
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

TEST(Loader, TellsWhenItHasReplacedTheNames) {
    TempFolder folder;
    const auto countCalls = [&](const gen::SaveSpec& spec) {
        const std::string path = folder.file("s.sav");
        gen::writeSave(path, spec);
        SaveGameInfo info;
        int calls = 0;
        loadSaveGame(path, info, nullptr, [&] {
            ++calls;
            EXPECT_EQ(
                info.difficultyNames,
                chooseVocabularies(info.isModCampaign, info.version.isExpansion()).difficultyNames);
        });
        return calls;
    };
    gen::SaveSpec spec = gen::specForRelease("1.3");
    EXPECT_EQ(countCalls(spec), 1);
    spec.omitAnchor = true; // fails after the names are chosen
    EXPECT_EQ(countCalls(spec), 1);
    spec.campaignName = u""; // fails before
    EXPECT_EQ(countCalls(spec), 0);
    spec.formatByte = 0;
    EXPECT_EQ(countCalls(spec), 0);
}

// The folder test looks beside the save's full path, also when the path was
// given relative to the current folder; messages keep the path as given.
TEST(Loader, FolderTestUsesTheFullPathOfARelativePath) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "game" / "saves");
    std::filesystem::create_directories(folder.path() / "game" / "bi");
    gen::writeSave(folder.file("game/saves/q.sav"), gen::specForRelease("1.2"));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path() / "game" / "saves");
    SaveGameInfo info;
    const bool ok = loadSaveGame("q.sav", info, nullptr);
    std::vector<LoadMessage> messages;
    loadSaveGame("none.sav", info, [&](const LoadMessage& m) { messages.push_back(m); });
    std::filesystem::current_path(previous);
    EXPECT_TRUE(ok);
    EXPECT_EQ(info.version.releaseLabel, "1.3");
    EXPECT_EQ(info.version.releaseCode, 3);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error reading none.sav: none.sav was not found.");
}
