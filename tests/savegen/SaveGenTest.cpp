// The generator is the yardstick for the core's tests, so its offsets are checked here against
// hand-computed positions, never against its own mapping.
#include "tools/savegen/SaveGen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace varnholt::savegen;
using Bytes = std::vector<std::uint8_t>;

const Bytes kAnchorText = [] {
    Bytes text;
    for (char c : std::string("descr_strat.txt")) {
        text.push_back(static_cast<std::uint8_t>(c));
        text.push_back(0);
    }
    return text;
}();

std::vector<std::int64_t> anchorsIn(const Bytes& bytes) {
    std::vector<std::int64_t> found;
    for (auto it = bytes.begin();
         (it = std::search(it, bytes.end(), kAnchorText.begin(), kAnchorText.end())) != bytes.end();
         ++it) {
        found.push_back(it - bytes.begin());
    }
    return found;
}

SaveSpec spec(std::string_view release, std::u16string name, std::int64_t gap, int faction) {
    SaveSpec s = specForRelease(release);
    s.campaignName = std::move(name);
    s.anchorGap = gap;
    s.factionByte = static_cast<std::uint8_t>(faction);
    return s;
}

const std::u16string k14 = u"northern_lands";       // 14 units
const std::u16string k17 = u"imperial_campaign";    // 17 units
const std::u16string k20 = u"imperial_campaign_xy"; // 20 units

struct LayoutCase {
    SaveSpec spec;
    std::int64_t nameOffset, shift, anchor;
    int code;
    bool expansion, late;
};

TEST(SaveGenLayout, FollowsReleaseDetectionAndNameLength) {
    SaveSpec marker12 = specForRelease("1.2");
    marker12.expansionMarker = true; // the marker alone does not make a 3/4 save an expansion save
    SaveSpec format9 = specForRelease("1.6");
    format9.formatByte = 9;
    SaveSpec format0 = specForRelease("1.2");
    format0.formatByte = 0;
    SaveSpec sub5 = specForRelease("1.2");
    sub5.subFormat = 5;
    const LayoutCase cases[] = {
        {spec("1.0", k17, 0, 0), 64, 0, 3399, 1, false, false},
        {spec("1.1", k17, 301, 0), 64, 0, 3700, 1, false, false},
        {marker12, 64, 0, 3661, 2, false, false},
        {spec("1.3", k17, 0, 0), 64, 0, 3661, 3, false, true},
        {spec("1.4", k14, 0, 0), 70, 0, 3661, 4, true, false},
        {spec("1.5", k20, 0, 0), 64, 6, 3679, 5, false, true},
        {spec("1.6", k17, -1, 0), 70, 6, 3678, 6, true, false},
        {format9, 70, 6, 3679, 6, true, false},
        {format0, 64, 0, 3661, 0, false, false},
        {sub5, 64, 0, 3661, 0, false, false},
    };
    for (const LayoutCase& c : cases) {
        const BuiltLayout layout = layoutOf(c.spec);
        SCOPED_TRACE(std::to_string(c.spec.formatByte) + "/" + std::to_string(c.spec.subFormat));
        EXPECT_EQ(layout.campaignNameOffset, c.nameOffset);
        EXPECT_EQ(layout.campaignShift, c.shift);
        EXPECT_EQ(layout.anchorOffset, c.anchor);
        EXPECT_EQ(layout.releaseCode, c.code);
        EXPECT_EQ(layout.isExpansion, c.expansion);
        EXPECT_EQ(layout.isLateBaseGame, c.late);
        EXPECT_EQ(layout.size, static_cast<std::uint64_t>(c.anchor + 30 + 4096));
        const Bytes bytes = buildSave(c.spec);
        EXPECT_EQ(bytes[0], c.spec.formatByte);
        EXPECT_EQ(anchorsIn(bytes), std::vector<std::int64_t>{c.anchor});
        EXPECT_EQ(bytes[c.nameOffset + 2 * c.spec.campaignName.size()], 0); // terminator
    }
}

TEST(SaveGenLayout, ResolvesTheBandEdgesOfTheWorkedExample) {
    const BuiltLayout layout = layoutOf(spec("1.2", k20, 5, 0)); // shift 6, anchor 3684
    const std::pair<std::int64_t, std::int64_t> cases[] = {
        {64, 64}, {65, 71}, {109, 115}, {3024, 3030}, {3025, 3043}, {3661, 3679}, {3662, 3685}};
    for (const auto& [nominal, offset] : cases) {
        EXPECT_EQ(resolvePosition(layout, nominal), offset) << nominal;
    }
}

#define SET(assignment) [](SaveSpec& s) { s.assignment; }

struct PlaceCase {
    const char* what;
    SaveSpec base;
    std::function<void(SaveSpec&)> change;
    std::vector<std::int64_t> offsets; // every byte that must change, and no other
};

TEST(SaveGenPlaces, EachSettingChangesExactlyItsPlaces) {
    // 1.2 with a 20-unit name: shift 6, anchor at 3661 + 18 + 100 = 3779, faction 3 (entry 159).
    const SaveSpec early = spec("1.2", k20, 100, 3);
    const SaveSpec first = spec("1.0", k17, 0, 2); // record entry 86, pair entry 16
    const SaveSpec late19 = spec("1.3", k17, 200, 19);
    const SaveSpec expansion = spec("1.4", k14, 0, 5);
    SaveSpec earlyAt3700 = specForRelease("1.2");
    earlyAt3700.anchorOffset = 3700;
    SaveSpec firstAt3700 = specForRelease("1.0");
    firstAt3700.anchorOffset = 3700;
    SaveSpec oddAnchor = specForRelease("1.5");
    oddAnchor.anchorOffset = 3701;
    // One line per case: what changes, and every byte offset that must change with it.
    // clang-format off
    const PlaceCase cases[] = {
        {"battle", early, SET(battleDifficulty = 2), {115, 157, 329, 3438}},
        {"campaign", early, SET(campaignDifficulty = 3), {325, 3434}},
        {"time limit", early, SET(timeLimitByte = 28), {120, 162}},
        {"length flag", early, SET(lengthFlagByte = 4), {135, 140}},
        {"length value", early, SET(lengthValueByte = 20), {3586}},
        {"unit scale", early, SET(unitScaleBits = 0xC07FFFFF), {107, 108, 109, 110, 149, 150, 151, 152}},
        {"faction", early, SET(factionByte = 30), {1279, 325, 329, 3434, 3438}}, // entries gone
        {"year", early, SET(yearValue = 5), {1282, 1283, 1284, 1285, 3819, 3820, 3821, 3822}},
        {"season", early, SET(seasonByte = 0), {1280, 3823}},
        {"turn counter", early, SET(turnCounterValue = 0xFFFF), {3815, 3816}},
        {"first battle", first, SET(battleDifficulty = 0), {109, 151, 250, 3150}},
        {"first campaign", first, SET(campaignDifficulty = 0), {246, 3146}},
        {"first length flag", first, SET(lengthFlagByte = 4), {129}},
        {"first length value", first, SET(lengthValueByte = 20), {3306}},
        {"first season", first, SET(seasonByte = 0), {1064, 3443}},
        {"late campaign 19", late19, SET(campaignDifficulty = 0), {1167, 3678}},
        {"late battle 19", late19, SET(battleDifficulty = 0), {109, 151, 1171, 3682}},
        {"expansion battle", expansion, SET(battleDifficulty = 3), {109, 151, 429, 3558}},
        {"expansion campaign", expansion, SET(campaignDifficulty = 3), {425, 3554}},
        {"1.2 anchor 3700", earlyAt3700, SET(seasonByte = 0), {1274, 3744}},
        {"1.0 anchor 3700", firstAt3700, SET(seasonByte = 0), {1064, 3744}},
        {"odd anchor", oddAnchor, SET(turnCounterValue = 0xFFFF), {3737, 3738}},
    };
    // clang-format on
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        SaveSpec changed = c.base;
        c.change(changed);
        const Bytes a = buildSave(c.base);
        const Bytes b = buildSave(changed);
        ASSERT_EQ(a.size(), b.size());
        std::vector<std::int64_t> differing;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i]) {
                differing.push_back(static_cast<std::int64_t>(i));
            }
        }
        std::vector<std::int64_t> expected = c.offsets;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(differing, expected);
    }
}

TEST(SaveGenAnchor, OccursOnceAtItsPlaceForManySeedsAndOffsets) {
    for (const std::int64_t offset : {200, 3661, 3700, 3701, 5001}) {
        for (std::uint32_t seed = 0; seed < 20; ++seed) {
            SaveSpec s = specForRelease("1.2");
            s.anchorOffset = offset;
            s.fillerSeed = seed;
            EXPECT_EQ(anchorsIn(buildSave(s)), std::vector<std::int64_t>{offset}) << seed;
        }
    }
    SaveSpec omitted = specForRelease("1.2");
    omitted.omitAnchor = true;
    EXPECT_TRUE(anchorsIn(buildSave(omitted)).empty());
    SaveSpec named = specForRelease("1.2");
    named.campaignName = u"descr_strat.txt"; // would be found before the anchor
    EXPECT_THROW(buildSave(named), std::invalid_argument);
}

TEST(SaveGenAnchor, StrayCopiesAreBrokenInFillerOnly) {
    Bytes bytes(300, 0x11);
    std::vector<bool> fixed(300, false);
    for (const std::size_t at : {10U, 100U, 200U}) {
        std::copy(kAnchorText.begin(), kAnchorText.end(), bytes.begin() + at);
    }
    std::fill(fixed.begin() + 200, fixed.begin() + 229, true); // only the last byte is filler
    breakStrayAnchors(bytes, fixed, 100);
    EXPECT_EQ(anchorsIn(bytes), std::vector<std::int64_t>{100});
    EXPECT_EQ(std::equal(kAnchorText.begin(), kAnchorText.end() - 1, bytes.begin() + 200), true);
    std::fill(fixed.begin() + 200, fixed.begin() + 230, true);
    std::copy(kAnchorText.begin(), kAnchorText.end(), bytes.begin() + 200);
    EXPECT_THROW(breakStrayAnchors(bytes, fixed, 100), std::invalid_argument);
}

TEST(SaveGenSize, FieldsBeyondTheEndAreSkippedWhole) {
    SaveSpec s = specForRelease("1.2"); // anchor at 3661: turn counter 3697, year 3701
    s.size = 3699;
    SaveSpec otherYear = s;
    otherYear.yearValue = 5;
    otherYear.turnCounterValue = 0x0102;
    const Bytes a = buildSave(s);
    const Bytes b = buildSave(otherYear);
    ASSERT_EQ(a.size(), 3699U);
    EXPECT_EQ(anchorsIn(a), std::vector<std::int64_t>{3661});
    EXPECT_EQ(b[3697], 0x02);
    EXPECT_EQ(b[3698], 0x01);
    EXPECT_EQ(b[1276], 0x05); // the first year copy still fits
    s.size = 3690;            // one byte short of the anchor's end: no anchor at all
    EXPECT_TRUE(anchorsIn(buildSave(s)).empty());
    s.size = 1278; // cuts the first year copy in half: not written at all
    otherYear.size = 1278;
    EXPECT_EQ(buildSave(s), buildSave(otherYear));
    for (const FieldPlace& p : placesOf(s)) {
        EXPECT_EQ(p.written, p.offset + p.width <= 1278) << p.offset;
    }
}

TEST(SaveGenSize, AnchorWinsOverPlacesUnderIt) {
    const SaveSpec s = spec("1.3", k17, 0, 19); // pair entries at 3678 and 3682 lie in 3661..3690
    const Bytes bytes = buildSave(s);
    EXPECT_EQ(anchorsIn(bytes), std::vector<std::int64_t>{3661});
    int hidden = 0;
    for (const FieldPlace& p : placesOf(s)) {
        hidden += p.written ? 0 : 1;
    }
    EXPECT_EQ(hidden, 2);
}

TEST(SaveGenSize, UnterminatedNameRunsToTheEnd) {
    SaveSpec s = specForRelease("1.2");
    s.omitNameTerminator = true;
    const Bytes bytes = buildSave(s);
    ASSERT_EQ(bytes.size(), 98U);
    EXPECT_EQ(bytes[96], 'n');
    s.size = 200;
    EXPECT_THROW(buildSave(s), std::invalid_argument);
}

TEST(SaveGenFiller, DeterministicPerSeedAndNeverFakesTheMarker) {
    SaveSpec s = specForRelease("1.5");
    EXPECT_EQ(buildSave(s), buildSave(s));
    SaveSpec reseeded = s;
    reseeded.fillerSeed = 2;
    const Bytes a = buildSave(s);
    const Bytes b = buildSave(reseeded);
    EXPECT_NE(a, b);
    EXPECT_TRUE(std::equal(a.begin() + 3661, a.begin() + 3691, b.begin() + 3661)); // anchor
    for (const FieldPlace& p : placesOf(s)) {
        EXPECT_TRUE(
            std::equal(a.begin() + p.offset, a.begin() + p.offset + p.width, b.begin() + p.offset))
            << p.offset;
    }
    s.size = 8;
    for (std::uint32_t seed = 0; seed < 10000; ++seed) { // 3574 and 7957 would fake it
        s.fillerSeed = seed;
        const Bytes header = buildSave(s);
        EXPECT_FALSE(header[4] == 0x62 && header[6] == 0x69) << seed;
    }
}

TEST(SaveGenEncoding, YearSeasonAndScale) {
    // clang-format off
    const struct {
        int year; bool ad, winter; std::int32_t value; std::uint16_t counter;
    } years[] = {{270, false, false, -270, 0}, {270, false, true, -270, 1}, {1, false, true, -1, 539},
                 {1, true, false, 1, 540}, {9999, false, false, -9999, 46078},
                 {INT_MIN, true, true, INT_MIN, 539}, {INT_MIN, false, false, INT_MIN, 540}};
    // clang-format on
    for (const auto& y : years) {
        SaveSpec s;
        setYearAndSeason(s, y.year, y.ad, y.winter);
        EXPECT_EQ(s.yearValue, y.value) << y.year;
        EXPECT_EQ(s.turnCounterValue, y.counter) << y.year;
        EXPECT_EQ(s.seasonByte, y.winter ? 0 : 2);
    }
    const std::pair<int, std::uint32_t> scales[] = {
        {20, 0x3F000000}, {40, 0x3F800000}, {100, 0x40200000}, {160, 0x40800000}};
    for (const auto& [number, bits] : scales) {
        SaveSpec s;
        setUnitScale(s, number);
        EXPECT_EQ(s.unitScaleBits, bits) << number;
    }
    for (const char* label : {"1.7", "", "1.2 ", "bi"}) {
        EXPECT_THROW(specForRelease(label), std::invalid_argument) << label;
    }
}

TEST(SaveGenText, Utf8CampaignNames) {
    EXPECT_EQ(utf16FromUtf8("r\xC3\xA9gion"), u"r\u00e9gion");
    EXPECT_EQ(utf16FromUtf8("\xF0\x90\x8D\x88"), std::u16string({0xD800, 0xDF48}));
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF4\x90\x80\x80", "\x80"}) {
        EXPECT_THROW(utf16FromUtf8(bad), std::invalid_argument);
    }
}

TEST(SaveGenFile, WritesTheBuiltBytesOrSaysWhyNot) {
    const std::string path = testing::TempDir() + "savegen_written.sav";
    const SaveSpec s = spec("1.6", k14, 77, 4);
    writeSave(path, s);
    std::ifstream in(path, std::ios::binary);
    const Bytes read{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(read, buildSave(s));
    std::remove(path.c_str());
    const std::string missing = testing::TempDir() + "no/such/folder/x.sav";
    try {
        writeSave(missing, s);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
}

} // namespace
