// Release detection, position mapping and the encodings of the settings.

#include "core/GameVersion.h"
#include "core/SaveLayout.h"
#include "core/UnitScaleTable.h"

#include <gtest/gtest.h>

#include <bit>
#include <set>

using namespace varnholt;

namespace {

std::vector<std::uint8_t> header(int format, int subFormat, int byte4 = 0, int byte6 = 0) {
    std::vector<std::uint8_t> bytes(8, 0);
    bytes[0] = static_cast<std::uint8_t>(format);
    bytes[2] = static_cast<std::uint8_t>(subFormat);
    bytes[4] = static_cast<std::uint8_t>(byte4);
    bytes[6] = static_cast<std::uint8_t>(byte6);
    return bytes;
}

std::optional<GameVersion> detect(const std::vector<std::uint8_t>& bytes,
                                  const std::string& path = "C:\\x.sav",
                                  std::set<std::string> folders = {},
                                  PathStyle style = PathStyle::Windows) {
    return detectRelease(
        bytes, path,
        [&](const std::string& p) { return std::optional<bool>(folders.count(p) > 0); }, style);
}

} // namespace

TEST(ReleaseDetection, HeadersGiveReleaseAndLayoutFlags) {
    struct Case {
        int format, subFormat, byte4, byte6;
        std::optional<GameVersion> expected;
    };
    const Case cases[] = {
        {1, 0, 0, 0, GameVersion{1, "1.0", LayoutFamily::FirstRelease}},
        {2, 9, 0x62, 0x69,
         GameVersion{1, "1.1", LayoutFamily::FirstRelease}}, // marker ignored here
        {3, 4, 0, 0, GameVersion{2, "1.2", LayoutFamily::EarlyBaseGame}},
        {3, 4, 0x62, 0x69, GameVersion{2, "1.2", LayoutFamily::EarlyBaseGame}},
        {3, 7, 0x62, 0x69, GameVersion{4, "1.4", LayoutFamily::Expansion}},
        {3, 7, 0x62, 0x00, GameVersion{3, "1.3", LayoutFamily::LateBaseGame}},
        {3, 7, 0x00, 0x69, GameVersion{3, "1.3", LayoutFamily::LateBaseGame}},
        {4, 0, 0, 0, GameVersion{5, "1.5", LayoutFamily::LateBaseGame}},
        {9, 0, 0x62, 0x69, GameVersion{6, "1.6", LayoutFamily::Expansion}},
        {255, 0, 0x62, 0x00, GameVersion{5, "1.5", LayoutFamily::LateBaseGame}},
        {0, 4, 0, 0, std::nullopt},
        {3, 5, 0, 0, std::nullopt},
        {3, 0, 0x62, 0x69, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.format << "/" << c.subFormat);
        EXPECT_EQ(detect(header(c.format, c.subFormat, c.byte4, c.byte6)), c.expected);
    }
}

TEST(ReleaseDetection, FileShorterThanTheHeaderIsNotRecognised) {
    EXPECT_EQ(detect({1, 0, 0, 0, 0, 0, 0}), std::nullopt);
}

TEST(ReleaseDetection, ExpansionFolderBesideSavesMakesOneTwoIntoOneThree) {
    const auto bytes = header(3, 4);
    const std::set<std::string> bi{"D:\\Game\\bi"};
    EXPECT_EQ(detect(bytes, "D:\\Game\\saves\\quick.sav", bi),
              (GameVersion{3, "1.3", LayoutFamily::EarlyBaseGame, true}));
    // Letter case as written, and the folder must exist.
    EXPECT_EQ(detect(bytes, "D:\\Game\\Saves\\quick.sav", bi)->releaseLabel, "1.2");
    EXPECT_EQ(detect(bytes, "D:\\Game\\saves\\quick.sav", {})->releaseLabel, "1.2");
    // The first occurrence of the saves folder counts.
    EXPECT_EQ(detect(bytes, "D:\\A\\saves\\B\\saves\\q.sav", {"D:\\A\\bi"})->releaseLabel, "1.3");
    EXPECT_EQ(detect(bytes, "D:\\A\\saves\\B\\saves\\q.sav", {"D:\\A\\saves\\B\\bi"})->releaseLabel,
              "1.2");
    // On Linux and macOS the separator is "/".
    EXPECT_EQ(
        detect(bytes, "/games/id/saves/q.sav", {"/games/id/bi"}, PathStyle::Posix)->releaseLabel,
        "1.3");
    EXPECT_EQ(detect(bytes, "D:\\Game\\saves\\quick.sav", bi, PathStyle::Posix)->releaseLabel,
              "1.2");
    // Where the platform cannot tell whether the folder exists (a browser's),
    // the release stays "1.2" and says so.
    const auto unknown = detectRelease(
        bytes, "/saves/q.sav", [](const std::string&) { return std::optional<bool>(); },
        PathStyle::Posix);
    EXPECT_EQ(unknown, (GameVersion{2, "1.2", LayoutFamily::EarlyBaseGame, false, true}));
    // Other headers never look at folders.
    EXPECT_EQ(detect(header(3, 7), "D:\\Game\\saves\\q.sav", bi)->releaseLabel, "1.3");
    EXPECT_TRUE(detect(header(3, 7), "D:\\Game\\saves\\q.sav", bi)->isLateBaseGame());
}

TEST(ResolvePosition, BandsFollowNameShiftAndAnchor) {
    // A 20-unit name at 64 ends at 104: shift 6.
    const LayoutPositions shifted{64, 6, 0};
    EXPECT_EQ(resolvePosition(2, shifted, 64), 64);
    EXPECT_EQ(resolvePosition(2, shifted, 65), 71);
    EXPECT_EQ(resolvePosition(2, shifted, 109), 115);
    EXPECT_EQ(resolvePosition(2, shifted, 3024), 3030);
    EXPECT_EQ(resolvePosition(2, shifted, 3025), 3043);
    // The anchor's own nominal position is still band 2; one above is band 1.
    const LayoutPositions anchored{70, -4, 39};
    EXPECT_EQ(resolvePosition(2, anchored, 3661), 3661 - 12);
    EXPECT_EQ(resolvePosition(2, anchored, 3662), 3662 + 39);
    EXPECT_EQ(resolvePosition(2, anchored, 70), 70);
    EXPECT_EQ(resolvePosition(2, anchored, 71), 67);
    // The same byte after an anchor at 3700 for release 1 and for later releases.
    EXPECT_EQ(resolvePosition(2, {64, 0, 3700 - 3661}, 3705), 3744);
    EXPECT_EQ(resolvePosition(1, {64, 0, 3700 - 3399}, 3443), 3744);
    EXPECT_EQ(resolvePosition(1, {64, 0, 301}, 3399), 3399);
}

TEST(SettingsTable, PlacesOfEachLayoutFamily) {
    const ResolvedLayout late =
        resolveLayout({3, "1.3", LayoutFamily::LateBaseGame}, {64, 0, 100}, 19);
    // The band of a faction entry is chosen by its base alone.
    EXPECT_EQ(writeOffsets(late, Field::BattleDifficulty),
              (std::vector<std::int64_t>{109, 151, 164 + 19 * 53, 3530 + 152}));
    EXPECT_EQ(writeOffsets(late, Field::CampaignDifficulty),
              (std::vector<std::int64_t>{160 + 19 * 53, 3526 + 152}));
    EXPECT_EQ(readOffset(late, Field::CampaignDifficulty), 160 + 19 * 53);
    EXPECT_EQ(writeOffsets(late, Field::CampaignLengthFlag), (std::vector<std::int64_t>{129, 134}));
    EXPECT_EQ(writeOffsets(late, Field::CampaignLengthValue), (std::vector<std::int64_t>{3568}));
    EXPECT_EQ(writeOffsets(late, Field::Season), (std::vector<std::int64_t>{1274, 3805}));
    EXPECT_EQ(writeOffsets(late, Field::Year), (std::vector<std::int64_t>{1276, 3801}));
    EXPECT_EQ(writeOffsets(late, Field::TurnCounter), (std::vector<std::int64_t>{3797}));
    EXPECT_EQ(readOffset(late, Field::PlayerFaction), 1273);

    const ResolvedLayout first =
        resolveLayout({1, "1.0", LayoutFamily::FirstRelease}, {64, 2, 10}, 3);
    EXPECT_EQ(writeOffsets(first, Field::CampaignDifficulty),
              (std::vector<std::int64_t>{162 + 3 * 43, 3136 + 24}));
    EXPECT_EQ(writeOffsets(first, Field::BattleDifficulty),
              (std::vector<std::int64_t>{111, 153, 166 + 3 * 43, 3140 + 24}));
    EXPECT_EQ(writeOffsets(first, Field::CampaignLengthFlag), (std::vector<std::int64_t>{131}));
    EXPECT_EQ(writeOffsets(first, Field::CampaignLengthValue), (std::vector<std::int64_t>{3312}));
    EXPECT_EQ(writeOffsets(first, Field::TurnCounter), (std::vector<std::int64_t>{3445}));
    EXPECT_EQ(readOffset(first, Field::PlayerFaction), 1065);

    ResolvedLayout expansion = late;
    expansion.family = LayoutFamily::Expansion;
    expansion.factionCode = 0;
    EXPECT_EQ(writeOffsets(expansion, Field::CampaignDifficulty).back(), 3514);
    EXPECT_EQ(writeOffsets(expansion, Field::BattleDifficulty).back(), 3518);
    ResolvedLayout early = late;
    early.family = LayoutFamily::EarlyBaseGame; // a "1.3" found by the folder test
    early.factionCode = 0;
    EXPECT_EQ(writeOffsets(early, Field::CampaignDifficulty).back(), 3392);
    EXPECT_EQ(writeOffsets(early, Field::BattleDifficulty).back(), 3396);
}

TEST(StoredCodes, OneByteSettingsRoundTripAndReadAnyByte) {
    EXPECT_EQ(encodeNoBattleTimeLimit(false), 28);
    EXPECT_EQ(encodeNoBattleTimeLimit(true), 30);
    EXPECT_EQ(encodeCampaignLengthFlag(false), 0);
    EXPECT_EQ(encodeCampaignLengthFlag(true), 4);
    EXPECT_EQ(encodeCampaignLengthValue(false), 50);
    EXPECT_EQ(encodeCampaignLengthValue(true), 20);
    EXPECT_EQ(encodeSeason(false), 2);
    EXPECT_EQ(encodeSeason(true), 0);
    for (const bool value : {false, true}) {
        EXPECT_EQ(decodeNoBattleTimeLimit(encodeNoBattleTimeLimit(value)), value);
        EXPECT_EQ(decodeCampaignLengthFlag(encodeCampaignLengthFlag(value)), value);
        EXPECT_EQ(decodeSeason(encodeSeason(value)), value);
    }
    // Only the one code means a time limit, a short campaign, winter.
    int limits = 0, shorts = 0, winters = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<std::uint8_t>(byte);
        limits += decodeNoBattleTimeLimit(b) ? 0 : 1;
        shorts += decodeCampaignLengthFlag(b) ? 1 : 0;
        winters += decodeSeason(b) ? 1 : 0;
    }
    EXPECT_EQ(limits, 1);
    EXPECT_EQ(shorts, 1);
    EXPECT_EQ(winters, 1);
}

TEST(YearEncoding, TurnCounterCountsHalfYearsFrom270BC) {
    struct Case {
        std::int32_t year;
        bool isAD, isWinter;
        std::int32_t stored;
        std::uint16_t counter;
    };
    const Case cases[] = {
        {270, false, false, -270, 0},       {270, false, true, -270, 1},
        {1, false, true, -1, 539},          {1, true, false, 1, 540},
        {9999, false, false, -9999, 46078}, {0, true, false, 0, 538},
        {-5, true, false, -5, 528},         {2147483647, true, true, 2147483647, 537},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(encodeYear(c.year, c.isAD), c.stored);
        EXPECT_EQ(turnCounter(c.year, c.isAD, c.isWinter), c.counter);
    }
    EXPECT_EQ(decodeYear(-270).year, 270);
    EXPECT_FALSE(decodeYear(-1).isAD);
    EXPECT_TRUE(decodeYear(0).isAD);
    EXPECT_EQ(decodeYear(0).year, 0);
    // The one value without a magnitude round-trips unchanged.
    const auto lowest = decodeYear(INT32_MIN);
    EXPECT_EQ(encodeYear(lowest.year, lowest.isAD), INT32_MIN);
}

TEST(UnitScaleTable, LooksUpByStoredFloatAndByNumber) {
    EXPECT_EQ(unitScaleTable().size(), 29u);
    const auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f); };
    EXPECT_EQ(unitScaleByFloatBits(bits(2.5f))->number, 100);
    EXPECT_EQ(unitScaleByFloatBits(bits(2.5f))->sizeClass, UnitScaleClass::Huge);
    EXPECT_EQ(unitScaleByFloatBits(bits(1.0f))->number, 40);
    EXPECT_EQ(unitScaleByFloatBits(bits(1.0f))->sizeClass, UnitScaleClass::Normal);
    EXPECT_EQ(unitScaleByFloatBits(bits(0.5f))->sizeClass, UnitScaleClass::Small);
    EXPECT_EQ(unitScaleByFloatBits(bits(2.125f))->number, 85);
    EXPECT_EQ(unitScaleByFloatBits(bits(2.125f))->sizeClass, UnitScaleClass::Large);
    EXPECT_EQ(unitScaleByFloatBits(bits(2.25f))->sizeClass, UnitScaleClass::Huge);
    EXPECT_FALSE(unitScaleByFloatBits(bits(0.55f)));
    EXPECT_FALSE(unitScaleByFloatBits(bits(-1.0f)));
    EXPECT_EQ(unitScaleByNumber(160)->floatBits, bits(4.0f));
    EXPECT_EQ(unitScaleByNumber(25)->floatBits, bits(0.625f));
    for (int number : {0, 15, 42, 165, -40})
        EXPECT_FALSE(unitScaleByNumber(number)) << number;
}
