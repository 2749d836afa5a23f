// Writing patched copies: every ticked group lands at every place, nothing else
// changes, and the writer refuses what it cannot do safely.

#include "CoreTestSupport.h"
#include "TestFiles.h"

#include "core/ApplyChanges.h"
#include "tools/savegen/SaveGen.h"

#include <gtest/gtest.h>

#include <random>

using namespace varnholt;
using varnholt::test::Loaded;
using varnholt::test::loadOrFail;
using varnholt::testfiles::readBytes;
using varnholt::testfiles::TempFolder;
using varnholt::testfiles::writeBytes;
namespace gen = varnholt::savegen;

namespace {

using Problems = std::vector<ApplyProblem>;

YearAndSeason date(std::int64_t year, bool isAD, bool isWinter) {
    return {year, isAD ? Era::AD : Era::BC, isWinter ? Season::Winter : Season::Summer};
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
        const SaveGameInfo info = loadOrFail(source).info;

        EditRequest request;
        gen::SaveSpec expected = spec;
        const bool expansion = gen::layoutOf(spec).isExpansion;
        if (pick(0, 1)) {
            request.battleDifficulty = static_cast<Difficulty>(pick(0, 3));
            expected.battleDifficulty = static_cast<std::uint8_t>(*request.battleDifficulty);
        }
        if (pick(0, 1)) {
            request.campaignDifficulty = static_cast<Difficulty>(pick(0, 3));
            expected.campaignDifficulty = static_cast<std::uint8_t>(*request.campaignDifficulty);
        }
        if (pick(0, 1)) {
            request.noBattleTimeLimit = pick(0, 1) == 1;
            expected.timeLimitByte = *request.noBattleTimeLimit ? 30 : 28;
        }
        if (pick(0, 1)) {
            request.shortCampaign = pick(0, 1) == 1;
            if (!expansion) { // nothing of the group is written for expansion saves
                expected.lengthFlagByte = *request.shortCampaign ? 4 : 0;
                expected.lengthValueByte = *request.shortCampaign ? 20 : 50;
            }
        }
        if (pick(0, 1)) {
            request.unitScale = 20 + 5 * pick(0, 28);
            gen::setUnitScale(expected, *request.unitScale);
        }
        if (pick(0, 1)) {
            const int year = pick(1, 9999);
            const bool isAD = pick(0, 1);
            const bool isWinter = pick(0, 1);
            request.yearAndSeason = date(year, isAD, isWinter);
            gen::setYearAndSeason(expected, year, isAD, isWinter);
        }
        SCOPED_TRACE(::testing::Message() << "round " << round);
        const ApplyOutcome outcome = applyChanges(source, output, loadedLayout(info), request);
        ASSERT_TRUE(outcome.written);
        EXPECT_TRUE(outcome.problems.empty());
        EXPECT_EQ(readBytes(output), gen::buildSave(expected));
        EXPECT_EQ(readBytes(source), gen::buildSave(spec)) << "the source is never written";
        // The plan alone, laid over the save's bytes, makes the same copy.
        const ApplyPlan plan = planChanges(source, loadedLayout(info), request);
        ASSERT_TRUE(plan.ready);
        std::vector<std::uint8_t> laid = readBytes(source);
        for (const BytePatch& patch : plan.patches)
            std::copy_n(patch.bytes, patch.width, laid.begin() + static_cast<long>(patch.offset));
        EXPECT_EQ(laid, gen::buildSave(expected));
    }
}

TEST(ApplyChanges, NoTickIsAByteForByteCopyAndReloadShowsTheEdits) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.3");
    spec.anchorGap = 1000;
    spec.size = 200000;
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source).info;
    ASSERT_TRUE(
        applyChanges(source, folder.file("copy.sav"), loadedLayout(info), EditRequest{}).written);
    EXPECT_EQ(readBytes(folder.file("copy.sav")), readBytes(source));

    using enum Difficulty;
    const EditRequest request{VeryHard, Easy, false, true, 155, date(9999, false, true)};
    ASSERT_TRUE(applyChanges(source, folder.file("edit.sav"), loadedLayout(info), request).written);
    const SaveSettings edited = loadOrFail(folder.file("edit.sav")).settings;
    EXPECT_EQ(edited, (SaveSettings{VeryHard, Easy, false, true, UnitScaleClass::Huge, 155, 9999,
                                    false, true}));
    // Applying again replaces the earlier output without asking.
    EditRequest smaller = request;
    smaller.unitScale = 20;
    ASSERT_TRUE(applyChanges(source, folder.file("edit.sav"), loadedLayout(info), smaller).written);
    EXPECT_EQ(loadOrFail(folder.file("edit.sav")).settings.unitScale, 20);
}

TEST(ApplyChanges, ChoicesAndYearsAreStoredAsTheGameExpects) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.1");
    spec.anchorGap = 100;
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source).info;
    const auto layout = gen::layoutOf(spec);
    const auto at = [&](int nominal) { return gen::resolvePosition(layout, nominal); };

    struct Case {
        std::int64_t year;
        bool isAD, isWinter;
        std::int32_t storedYear;
        std::uint8_t season;
        std::uint16_t counter;
    };
    const Case cases[] = {
        {270, false, false, -270, 2, 0},
        {1, false, true, -1, 0, 539},
        {1, true, false, 1, 2, 540},
        {9999, false, false, -9999, 2, 46078},
        {-7, true, false, -7, 2, 524}, // a negative AD year is stored as entered
        {2147483648, false, false, INT32_MIN, 2, 540},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EditRequest request;
        request.yearAndSeason = date(c.year, c.isAD, c.isWinter);
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
    const SaveGameInfo info = loadOrFail(source).info;
    EditRequest request;
    request.unitScale = 42;
    request.noBattleTimeLimit = false;
    const ApplyOutcome outcome =
        applyChanges(source, folder.file("o.sav"), loadedLayout(info), request);
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(outcome.problems, (Problems{{ApplyProblemKind::UnitScaleNotRecognised}}));
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
    const SaveGameInfo info = loadOrFail(source).info;
    EditRequest request;
    request.battleDifficulty = Difficulty::Medium;
    const std::string output = folder.file("o.sav");

    const auto refused = [&](const gen::SaveSpec& changed) {
        gen::writeSave(source, changed);
        const ApplyOutcome outcome = applyChanges(source, output, loadedLayout(info), request);
        EXPECT_FALSE(outcome.written);
        EXPECT_EQ(outcome.problems, (Problems{{ApplyProblemKind::LayoutChanged}}));
        EXPECT_FALSE(std::filesystem::exists(output));
        const ApplyPlan plan = planChanges(source, loadedLayout(info), request);
        EXPECT_FALSE(plan.ready);
        EXPECT_TRUE(plan.patches.empty());
        EXPECT_EQ(plan.problems, (Problems{{ApplyProblemKind::LayoutChanged}}));
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
        const auto [result, info, settings] = loadOrFail(source);
        EXPECT_EQ(info.positions.anchorShift, gen::layoutOf(spec).anchorShift);
        EXPECT_EQ(settings.campaignDifficulty, Difficulty::VeryHard);
        EXPECT_EQ(settings.year, 123);
        EXPECT_TRUE(settings.isWinter);

        EditRequest request;
        request.yearAndSeason = date(7, false, false);
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
    const SaveGameInfo info = loadOrFail(source).info;
    EditRequest request;
    request.battleDifficulty = Difficulty::Medium;   // fits
    request.yearAndSeason = date(270, false, false); // does not fit
    const ApplyOutcome outcome =
        applyChanges(source, folder.file("o.sav"), loadedLayout(info), request);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.problems,
              (Problems{{ApplyProblemKind::ReadFailed, FileErrorCause::EndOfFile}}));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"q.sav"});
    request.yearAndSeason.reset();
    EXPECT_TRUE(applyChanges(source, folder.file("o.sav"), loadedLayout(info), request).written);
}

TEST(ApplyChanges, CampaignLengthIsNeverWrittenIntoExpansionSaves) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.4");
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    EditRequest request;
    request.shortCampaign = true;
    const Loaded loaded = loadOrFail(source);
    EXPECT_EQ(validate(request, loaded.info.version),
              std::vector{RequestProblem::NoCampaignLengthSetting});
    ASSERT_TRUE(
        applyChanges(source, folder.file("o.sav"), loadedLayout(loaded.info), request).written);
    EXPECT_EQ(readBytes(folder.file("o.sav")), readBytes(source));
}

// What a save can take: difficulties 0 to 3, a campaign length where it has
// one, a year whose stored value fits 32 bits (BC years stored negated), and
// no year 0 in either era (a negative AD year is stored as it comes).
TEST(ApplyChanges, ValidateFindsWhatTheSaveCannotTake) {
    GameVersion base;
    GameVersion expansion;
    expansion.family = LayoutFamily::Expansion;
    using P = std::vector<RequestProblem>;
    const auto withDate = [](std::int64_t year, bool isAD) {
        EditRequest request;
        request.yearAndSeason = date(year, isAD, false);
        return request;
    };
    EXPECT_EQ(validate({Difficulty::VeryHard, Difficulty::Easy, true, false, 45,
                        date(2147483647, true, true)},
                       base),
              P{});
    EditRequest difficulty;
    difficulty.campaignDifficulty = static_cast<Difficulty>(4); // only by a cast
    EXPECT_EQ(validate(difficulty, base), P{RequestProblem::DifficultyOutOfRange});
    difficulty.campaignDifficulty.reset();
    difficulty.battleDifficulty = static_cast<Difficulty>(-1);
    EXPECT_EQ(validate(difficulty, base), P{RequestProblem::DifficultyOutOfRange});
    EditRequest length;
    length.shortCampaign = false;
    EXPECT_EQ(validate(length, expansion), P{RequestProblem::NoCampaignLengthSetting});
    EXPECT_EQ(validate(withDate(2147483648, true), base), P{RequestProblem::YearDoesNotFit});
    EXPECT_EQ(validate(withDate(2147483648, false), base), P{});
    EXPECT_EQ(validate(withDate(-2147483647, false), base), P{});
    EXPECT_EQ(validate(withDate(-2147483648, false), base), P{RequestProblem::YearDoesNotFit});
    EXPECT_EQ(validate(withDate(0, false), base), P{RequestProblem::NoYearZero});
    EXPECT_EQ(validate(withDate(0, true), base), P{RequestProblem::NoYearZero});
    EXPECT_EQ(validate(withDate(-1, true), base), P{});
    EditRequest all = withDate(-2147483648, false);
    all.campaignDifficulty = static_cast<Difficulty>(9);
    all.shortCampaign = true;
    EXPECT_EQ(validate(all, expansion),
              (P{RequestProblem::DifficultyOutOfRange, RequestProblem::NoCampaignLengthSetting,
                 RequestProblem::YearDoesNotFit}));
}

TEST(ApplyChanges, FailuresNameThePathAndWriteNothing) {
    TempFolder folder;
    gen::SaveSpec spec = gen::specForRelease("1.2");
    const std::string source = folder.file("q.sav");
    gen::writeSave(source, spec);
    const SaveGameInfo info = loadOrFail(source).info;
    EditRequest request;

    // An empty output path does nothing at all.
    ApplyOutcome outcome = applyChanges(source, "", loadedLayout(info), request);
    EXPECT_FALSE(outcome.written);
    EXPECT_TRUE(outcome.problems.empty());

    // A vanished source.
    const std::string gone = folder.file("gone.sav");
    outcome = applyChanges(gone, folder.file("o.sav"), loadedLayout(info), request);
    EXPECT_EQ(outcome.problems,
              (Problems{{ApplyProblemKind::ReadFailed, FileErrorCause::FileNotFound}}));

    // The source itself as output is refused: the original is never replaced.
    outcome = applyChanges(source, source, loadedLayout(info), request);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.problems, (Problems{{ApplyProblemKind::ReplacesSource}}));
    EXPECT_EQ(readBytes(source), gen::buildSave(spec));

    // A read-only file of the output name: access denied, and it stays as it was.
    const std::string locked = folder.file("locked.sav");
    writeBytes(locked, {1, 2, 3});
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::group_read);
    outcome = applyChanges(source, locked, loadedLayout(info), request);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.problems,
              (Problems{{ApplyProblemKind::WriteFailed, FileErrorCause::AccessDenied}}));
    EXPECT_EQ(readBytes(locked), (std::vector<std::uint8_t>{1, 2, 3}));

    // An output folder that does not exist.
    const std::string nowhere = folder.file("no/such/o.sav");
    outcome = applyChanges(source, nowhere, loadedLayout(info), request);
    EXPECT_EQ(outcome.problems,
              (Problems{{ApplyProblemKind::WriteFailed, FileErrorCause::BadPath}}));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"locked.sav", "q.sav"}));
}
