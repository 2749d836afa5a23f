// Writing patched copies: every ticked group lands at every place, nothing else
// changes, and the writer refuses what it cannot do safely.

#include "TestFiles.h"

#include "core/ApplyChanges.h"
#include "core/SaveGameLoader.h"
#include "tools/savegen/SaveGen.h"

#include <gtest/gtest.h>

#include <random>

using namespace varnholt;
using varnholt::testfiles::readBytes;
using varnholt::testfiles::TempFolder;
using varnholt::testfiles::writeBytes;
namespace gen = varnholt::savegen;

namespace {

SaveGameInfo loadOrFail(const std::string& path) {
    SaveGameInfo info;
    std::vector<LoadMessage> messages;
    const bool ok = loadSaveGame(path, info, [&](const LoadMessage& m) { messages.push_back(m); });
    EXPECT_TRUE(ok) << (messages.empty() ? "" : messages[0].text);
    return info;
}

} // namespace

// The generator writes every copy of every setting, so a save patched by the
// writer must equal the save the generator builds with the new values.
TEST(ApplyChanges, PatchedCopyEqualsTheSaveBuiltWithTheNewValues) {
    TempFolder folder;
    std::mt19937 random(7);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const char* releases[] = {"1.0", "1.1", "1.2", "1.3", "1.4", "1.5", "1.6"};
    for (int round = 0; round < 300; ++round) {
        gen::SaveSpec spec = gen::specForRelease(releases[round % 7]);
        spec.campaignName = std::u16string(static_cast<std::size_t>(pick(1, 30)), u'c');
        spec.anchorGap = pick(200, 400); // keeps every place clear of the anchor text
        spec.anchorOffset = gen::layoutOf(spec).anchorOffset + pick(0, 1);
        spec.factionByte = static_cast<std::uint8_t>(pick(0, 19));
        spec.fillerSeed = static_cast<std::uint32_t>(round);
        gen::setYearAndSeason(spec, pick(1, 500), pick(0, 1), pick(0, 1));
        const std::string source = folder.file("source.sav");
        const std::string output = folder.file("out.sav");
        gen::writeSave(source, spec);
        const SaveGameInfo info = loadOrFail(source);

        EditRequest request;
        gen::SaveSpec expected = spec;
        const bool expansion = gen::layoutOf(spec).isExpansion;
        if ((request.setBattleDifficulty = pick(0, 1))) {
            request.battleDifficulty = pick(-1, 3);
            expected.battleDifficulty =
                static_cast<std::uint8_t>(std::max(0, request.battleDifficulty));
        }
        if ((request.setCampaignDifficulty = pick(0, 1))) {
            request.campaignDifficulty = pick(-1, 3);
            expected.campaignDifficulty =
                static_cast<std::uint8_t>(std::max(0, request.campaignDifficulty));
        }
        if ((request.setBattleTimeLimit = pick(0, 1))) {
            request.noBattleTimeLimit = pick(0, 1);
            expected.timeLimitByte = request.noBattleTimeLimit ? 30 : 28;
        }
        if ((request.setCampaignLength = pick(0, 1))) {
            request.shortCampaign = pick(0, 1);
            if (!expansion) { // nothing of the group is written for expansion saves
                expected.lengthFlagByte = request.shortCampaign ? 4 : 0;
                expected.lengthValueByte = request.shortCampaign ? 20 : 50;
            }
        }
        if ((request.setUnitScale = pick(0, 1))) {
            request.unitScale = 20 + 5 * pick(0, 28);
            gen::setUnitScale(expected, request.unitScale);
        }
        if ((request.setYearAndSeason = pick(0, 1))) {
            request.year = pick(1, 9999);
            request.isAD = pick(0, 1);
            request.isWinter = pick(0, 1);
            gen::setYearAndSeason(expected, request.year, request.isAD, request.isWinter);
        }
        SCOPED_TRACE(::testing::Message() << "round " << round);
        const ApplyOutcome outcome = applyChanges(source, output, loadedLayout(info), request);
        ASSERT_TRUE(outcome.written);
        EXPECT_TRUE(outcome.errorTexts.empty());
        EXPECT_EQ(readBytes(output), gen::buildSave(expected));
        EXPECT_EQ(readBytes(source), gen::buildSave(spec)) << "the source is never written";
    }
}

TEST(ApplyChanges, NoTickIsAByteForByteCopyAndReloadShowsTheEdits) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.3");
    spec.anchorGap = 1000;
    spec.size = 200000;
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source);
    ASSERT_TRUE(
        applyChanges(source, folder.file("copy.sav"), loadedLayout(info), EditRequest{}).written);
    EXPECT_EQ(readBytes(folder.file("copy.sav")), readBytes(source));

    EditRequest request;
    request.setCampaignDifficulty = request.setBattleDifficulty = request.setUnitScale = true;
    request.setYearAndSeason = request.setBattleTimeLimit = request.setCampaignLength = true;
    request.campaignDifficulty = 3;
    request.battleDifficulty = 0;
    request.unitScale = 155;
    request.year = 9999;
    request.isAD = 0;
    request.isWinter = 1;
    request.noBattleTimeLimit = false;
    request.shortCampaign = true;
    ASSERT_TRUE(applyChanges(source, folder.file("edit.sav"), loadedLayout(info), request).written);
    const SaveGameInfo edited = loadOrFail(folder.file("edit.sav"));
    EXPECT_EQ(edited.campaignDifficulty, 3);
    EXPECT_EQ(edited.battleDifficulty, 0);
    EXPECT_EQ(edited.unitScale, 155);
    EXPECT_EQ(edited.unitScaleClass, 3);
    EXPECT_EQ(edited.year, 9999);
    EXPECT_FALSE(edited.isAD);
    EXPECT_TRUE(edited.isWinter);
    EXPECT_FALSE(edited.noBattleTimeLimit);
    EXPECT_TRUE(edited.shortCampaign);
    // Applying again replaces the earlier output without asking.
    request.unitScale = 20;
    ASSERT_TRUE(applyChanges(source, folder.file("edit.sav"), loadedLayout(info), request).written);
    EXPECT_EQ(loadOrFail(folder.file("edit.sav")).unitScale, 20);
}

TEST(ApplyChanges, ChoicesAndYearsAreStoredAsTheGameExpects) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.1");
    spec.anchorGap = 100;
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source);
    const auto layout = gen::layoutOf(spec);
    const auto at = [&](int nominal) { return gen::resolvePosition(layout, nominal); };

    struct Case {
        std::int32_t year;
        int isAD, isWinter;
        std::int32_t storedYear;
        std::uint8_t season;
        std::uint16_t counter;
    };
    const Case cases[] = {
        {270, 0, 0, -270, 2, 0},
        {1, 0, 1, -1, 0, 539},
        {1, 1, 0, 1, 2, 540},
        {9999, 0, 0, -9999, 2, 46078},
        {-7, 1, 0, -7, 2, 524}, // a negative AD year is stored as
                                // entered
        {5, -1, -1, 5, 0, 548}, // no era ticked counts as AD; no season ticked: winter byte, no +1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EditRequest request;
        request.setYearAndSeason = true;
        request.year = c.year;
        request.isAD = c.isAD;
        request.isWinter = c.isWinter;
        ASSERT_TRUE(
            applyChanges(source, folder.file("o.sav"), loadedLayout(info), request).written);
        const auto bytes = readBytes(folder.file("o.sav"));
        const auto i32 = [&](std::int64_t p) {
            return static_cast<std::int32_t>(bytes[p] | bytes[p + 1] << 8 | bytes[p + 2] << 16 |
                                             static_cast<std::uint32_t>(bytes[p + 3]) << 24);
        };
        EXPECT_EQ(i32(at(1066)), c.storedYear);
        EXPECT_EQ(i32(at(3439)), c.storedYear);
        EXPECT_EQ(bytes[at(1064)], c.season);
        EXPECT_EQ(bytes[at(3443)], c.season);
        EXPECT_EQ(bytes[at(3435)] | bytes[at(3435) + 1] << 8, c.counter);
    }
}

TEST(ApplyChanges, UnknownUnitScaleReportsAndStillWritesTheRest) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.2");
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source);
    EditRequest request;
    request.setUnitScale = true;
    request.unitScale = 42;
    request.setBattleTimeLimit = true;
    request.noBattleTimeLimit = false;
    const ApplyOutcome outcome =
        applyChanges(source, folder.file("o.sav"), loadedLayout(info), request);
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(
        outcome.errorTexts,
        std::vector<std::string>{"Unit scale not recognised - unit scale will not be changed."});
    gen::SaveSpec expected = spec;
    expected.timeLimitByte = 28;
    EXPECT_EQ(readBytes(folder.file("o.sav")), gen::buildSave(expected));
}

TEST(ApplyChanges, RefusesAFileWhoseLayoutIsNotTheLoadedOne) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.5");
    spec.factionByte = 3;
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source);
    EditRequest request;
    request.setBattleDifficulty = true;
    const std::string output = folder.file("o.sav");
    const std::string refusal = "Error reading " + source +
                                ": The file has changed since it was loaded; load the saved game "
                                "again before applying changes.";

    const auto refused = [&](const gen::SaveSpec& changed) {
        gen::writeSave(source, changed);
        const ApplyOutcome outcome = applyChanges(source, output, loadedLayout(info), request);
        EXPECT_FALSE(outcome.written);
        EXPECT_EQ(outcome.errorTexts, std::vector<std::string>{refusal});
        EXPECT_FALSE(std::filesystem::exists(output));
    };
    gen::SaveSpec other = spec;
    other.campaignName += u"x"; // another name length moves every place
    refused(other);
    other = spec;
    other.anchorGap = 2; // the anchor moved
    refused(other);
    other = spec;
    other.factionByte = 4; // another player
    refused(other);
    other = gen::specForRelease("1.6"); // another release
    refused(other);
    // A truncated file: the anchor is gone.
    other = spec;
    other.size = 2000;
    refused(other);

    // The same layout with other settings is fine: the file is read afresh.
    other = spec;
    other.battleDifficulty = 0;
    gen::writeSave(source, other);
    EXPECT_TRUE(applyChanges(source, output, loadedLayout(info), request).written);
}

// A long campaign name moves the places read past the first piece that the
// loader and Apply read, or itself ends past it; both still take the name and
// the places in before looking for the anchor further on.
TEST(ApplyChanges, PlacesThatALongNameMovesPastTheFirstPieceAreFound) {
    TempFolder folder;
    // Terminators at 261500, inside the first piece of 262144 bytes, and at 300064.
    for (std::size_t units : {130718u, 150000u}) {
        SCOPED_TRACE(units);
        gen::SaveSpec spec = gen::specForRelease("1.5");
        spec.campaignName = std::u16string(units, u'c');
        spec.anchorGap = 1000;
        spec.factionByte = 19;
        spec.campaignDifficulty = 3;
        gen::setYearAndSeason(spec, 123, true, true);
        const std::string source = folder.file("long.sav");
        gen::writeSave(source, spec);
        const SaveGameInfo info = loadOrFail(source);
        EXPECT_EQ(info.positions.anchorShift, gen::layoutOf(spec).anchorShift);
        EXPECT_EQ(info.campaignDifficulty, 3);
        EXPECT_EQ(info.year, 123);
        EXPECT_TRUE(info.isWinter);

        EditRequest request;
        request.setYearAndSeason = true;
        request.year = 7;
        request.isAD = 0;
        request.isWinter = 0;
        ASSERT_TRUE(
            applyChanges(source, folder.file("o.sav"), loadedLayout(info), request).written);
        gen::setYearAndSeason(spec, 7, false, false);
        EXPECT_EQ(readBytes(folder.file("o.sav")), gen::buildSave(spec));
    }
}

TEST(ApplyChanges, APlaceBeyondTheDataRefusesTheWholeApply) {
    TempFolder folder;
    // The file ends right after the anchor: the year, season and turn counter copies
    // after it do not fit. The loader does not read them; the writer must refuse.
    gen::SaveSpec spec = gen::specForRelease("1.0");
    spec.size = static_cast<std::uint64_t>(gen::layoutOf(spec).anchorOffset + 40);
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source);
    EditRequest request;
    request.setBattleDifficulty = true; // fits
    request.setYearAndSeason = true;    // does not fit
    const ApplyOutcome outcome =
        applyChanges(source, folder.file("o.sav"), loadedLayout(info), request);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.errorTexts, std::vector<std::string>{"Error reading " + source +
                                                           ": An attempt was made to access " +
                                                           source + " past its end."});
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"q.sav"});
    request.setYearAndSeason = false;
    EXPECT_TRUE(applyChanges(source, folder.file("o.sav"), loadedLayout(info), request).written);
}

TEST(ApplyChanges, CampaignLengthIsNeverWrittenIntoExpansionSaves) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.4");
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    EditRequest request;
    request.setCampaignLength = true;
    request.shortCampaign = true;
    ASSERT_TRUE(
        applyChanges(source, folder.file("o.sav"), loadedLayout(loadOrFail(source)), request)
            .written);
    EXPECT_EQ(readBytes(folder.file("o.sav")), readBytes(source));
}

TEST(ApplyChanges, FailuresNameThePathAndWriteNothing) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.2");
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source);
    EditRequest request;

    // An empty output path does nothing at all.
    ApplyOutcome outcome = applyChanges(source, "", loadedLayout(info), request);
    EXPECT_FALSE(outcome.written);
    EXPECT_TRUE(outcome.errorTexts.empty());

    // A vanished source.
    const std::string gone = folder.file("gone.sav");
    outcome = applyChanges(gone, folder.file("o.sav"), loadedLayout(info), request);
    EXPECT_EQ(outcome.errorTexts,
              std::vector<std::string>{"Error reading " + gone + ": " + gone + " was not found."});

    // The source itself as output is refused: the original is never replaced.
    outcome = applyChanges(source, source, loadedLayout(info), request);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(
        outcome.errorTexts,
        std::vector<std::string>{"Error writing " + source +
                                 ": The new file would replace the saved game it is made from."});
    EXPECT_EQ(readBytes(source), gen::buildSave(spec));

    // A read-only file of the output name: access denied, and it stays as it was.
    const std::string locked = folder.file("locked.sav");
    writeBytes(locked, {1, 2, 3});
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::group_read);
    outcome = applyChanges(source, locked, loadedLayout(info), request);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.errorTexts,
              std::vector<std::string>{"Error writing " + locked + ": Access to " + locked +
                                       " was denied."});
    EXPECT_EQ(readBytes(locked), (std::vector<std::uint8_t>{1, 2, 3}));

    // An output folder that does not exist.
    const std::string nowhere = folder.file("no/such/o.sav");
    outcome = applyChanges(source, nowhere, loadedLayout(info), request);
    EXPECT_EQ(outcome.errorTexts, std::vector<std::string>{"Error writing " + nowhere + ": " +
                                                           nowhere + testfiles::missingFolderText});
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"locked.sav", "q.sav"}));
}
