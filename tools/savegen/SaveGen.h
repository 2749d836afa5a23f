// savegen: builds synthetic saved games of Iron Dominion for tests, examples and benchmarks.
//
// The generator places every byte it knows with its own small copy of the reference-layout
// mapping, on purpose independent of core/, so that the two can check each other. Standard C++
// only.
//
// What a built save holds, in writing order:
//   1. pseudo-random filler from `fillerSeed` over the whole file;
//   2. the header bytes 0 and 2, and the expansion marker (bytes 4..7 = "bi" as UTF-16LE) when
//      asked for; without it, bytes 4 and 6 never form the marker by chance;
//   3. the campaign name at 64 (70 for expansion saves) and its 16-bit zero terminator;
//   4. every setting at every place the game keeps it, in the order of `placesOf`;
//   5. the anchor text "descr_strat.txt" (UTF-16LE, 30 bytes), so it is always intact;
//   6. filler bytes that happen to form the anchor text anywhere else are broken up, so the
//      anchor occurs exactly once (or not at all with `omitAnchor`).
// A later step wins where places overlap. Places that overlap the header or the campaign name are
// the caller's concern (the setting overwrites those bytes); places under the anchor text are
// lost to it and reported as not written by `placesOf`. With `anchorGap` 0 this happens to the
// faction difficulty pair of high faction codes (late base game from faction 17, expansion from
// 18), as real saves carry a longer stretch before the anchor: give such saves a gap.
//
// Headers that no release has (format byte 0, format 3 with a sub-format other than 4 or 7) get
// release code 0 and the layout of the early base game, so that such files are otherwise normal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt::savegen {

// The anchor text's length in bytes.
inline constexpr std::int64_t kAnchorBytes = 30;

struct SaveSpec {
    // Header: byte 0 format, byte 2 sub-format, bytes 4 and 6 the expansion marker (0x62, 0x69).
    std::uint8_t formatByte = 3;
    std::uint8_t subFormat = 4;
    bool expansionMarker = false;
    std::u16string campaignName = u"imperial_campaign"; // 17 units: campaignShift 0 at offset 64
    // For malformed-file tests: no terminator, and the file ends right after the name's last unit
    // (the default size becomes that end; a larger explicit size is refused).
    bool omitNameTerminator = false;
    // Absolute file offset of the anchor text "descr_strat.txt" (UTF-16LE, 30 bytes); nullopt =
    // the reference place (anchorNominal + 3*campaignShift) plus `anchorGap` bytes. Odd offsets
    // allowed; an offset below 0 is refused.
    std::optional<std::int64_t> anchorOffset;
    std::int64_t anchorGap = 0;
    // Leaves the anchor's place to the filler; the places after it are still written.
    bool omitAnchor = false;
    // Stored raw values (any byte value allowed, to build out-of-range cases):
    std::uint8_t factionByte = 0;        // player's faction; per-faction entries only when < 20
    std::uint8_t campaignDifficulty = 1; // player's faction record (+0) and faction pair (Kc)
    std::uint8_t battleDifficulty = 1;   // 109, 151, faction record +4, faction pair (Kb)
    std::uint8_t timeLimitByte = 30;     // 114, 156 (28 = time limit)
    std::uint8_t lengthFlagByte = 0;     // 129, and 134 for release code above 1 (4 = short)
    std::uint8_t lengthValueByte = 50;   // 3306 / 3568
    std::uint32_t unitScaleBits = 0x3F800000; // float bits at 101 and 143 (1.0 = scale 40)
    std::uint8_t seasonByte = 2;              // 1064/1274 and anchor+44 (0 = winter)
    std::int32_t yearValue = -270;            // 1066/1276 and anchor+40
    std::uint16_t turnCounterValue = 0;       // anchor+36
    // Total file size; 0 = anchor end + 4096. Places (and the anchor) that do not fit whole are
    // not written; the campaign name and its terminator are cut at the end like any other bytes.
    std::uint64_t size = 0;
    // Other bytes are pseudo-random from this seed. The same SaveSpec always gives the same bytes.
    std::uint32_t fillerSeed = 1;
};

// Header presets by release label: "1.0" (format 1), "1.1" (format 2), "1.2" (3/4), "1.3" (3/7,
// late base game), "1.4" (3/7 + marker), "1.5" (format 4), "1.6" (format 4 + marker). All other
// settings keep their defaults. Throws std::invalid_argument for other labels.
SaveSpec specForRelease(std::string_view label);

// Stores unit scale `number` as the game does: number/40 as 32-bit float bits (exact for the
// game's numbers 20, 25, ... 160; other numbers give the nearest float, for lookup-miss tests).
void setUnitScale(SaveSpec& spec, int number);

// Stores a year and season as the game does: the year value (negative for BC), both season bytes
// (2 summer, 0 winter) and the turn counter (low 16 bits of 2*t + winter, t = year + 269 for AD,
// 270 - year for BC). Wraps like the game's 32-bit arithmetic for extreme years.
void setYearAndSeason(SaveSpec& spec, int year, bool isAD, bool isWinter);

// Where the generator puts things for a SaveSpec, as a loader should find them.
struct BuiltLayout {
    std::int64_t campaignNameOffset; // 64, or 70 for expansion saves
    std::int64_t campaignShift;      // campaignNameOffset + 2*units - 98
    std::int64_t anchorOffset;       // the anchor's place (also when omitted or cut off)
    std::int64_t anchorShift;        // anchorOffset - anchorNominal
    int releaseCode;                 // 1 for formats 1 and 2, 2..6 otherwise, 0 if unrecognised
    bool isExpansion;                // marker present and a 3/7 or format 4+ header
    bool isLateBaseGame;             // no marker and a 3/7 or format 4+ header
    std::uint64_t size;              // the file's size in bytes
};

// The layout of `buildSave(spec)`. Throws std::invalid_argument for a spec that cannot be built
// (anchor before the start of the file, explicit size beyond an unterminated name).
BuiltLayout layoutOf(const SaveSpec& spec);

// Maps a nominal position of the reference layout onto a file offset of `layout`.
std::int64_t resolvePosition(const BuiltLayout& layout, std::int64_t nominal);

enum class Field {
    PlayerFaction,
    BattleDifficulty,
    CampaignDifficulty,
    TimeLimit,
    LengthFlag,
    LengthValue,
    UnitScale,
    Season,
    Year,
    TurnCounter,
};

// One place that holds a setting.
struct FieldPlace {
    Field field;
    std::int64_t nominal;     // position in the reference layout (the array base for entries)
    std::int64_t entryOffset; // added after resolving: faction code times the entry size, + 4 for
                              // the battle byte of a faction record; 0 for plain places
    std::int64_t offset;      // file offset of the first byte
    int width;                // bytes, stored little-endian
    bool written;             // false when cut off by the file's end or covered by the anchor
};

// Every place the generator writes for `spec`, in writing order.
std::vector<FieldPlace> placesOf(const SaveSpec& spec);

// Builds the save's bytes. Throws std::invalid_argument as layoutOf does, and when the campaign
// name and the settings themselves form the anchor text somewhere other than the anchor's place.
std::vector<std::uint8_t> buildSave(const SaveSpec& spec);

// Breaks every occurrence of the anchor text in `bytes` other than one starting at `keepAt`
// (-1 for none) by changing one byte not marked in `fixed` (same length as `bytes`). Throws
// std::invalid_argument for an occurrence made of fixed bytes only. Used by buildSave.
void breakStrayAnchors(std::vector<std::uint8_t>& bytes, const std::vector<bool>& fixed,
                       std::int64_t keepAt);

// Writes buildSave(spec) to `path`, replacing any file there. Throws std::runtime_error naming the
// path and the cause when the file cannot be created or written (a partial file is removed).
void writeSave(const std::string& path, const SaveSpec& spec);

// UTF-8 to UTF-16 for campaign names given as program text. Throws std::invalid_argument for
// malformed UTF-8 (overlong forms, surrogates, values above U+10FFFF, cut sequences).
std::u16string utf16FromUtf8(std::string_view text);

} // namespace varnholt::savegen
