#pragma once
// Where every byte the program uses lies in a saved game, and how it is encoded.
// Positions are nominal positions of a reference layout; resolvePosition maps
// them onto the file at hand. The loader and the writer both take their places
// from the one table in SaveLayout.cpp and spell no offset of their own.

#include "core/GameVersion.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnholt {

// The size of the anchor text "descr_strat.txt" as UTF-16LE, without terminator.
inline constexpr std::size_t anchorTextSize = 30;

inline constexpr int campaignNameOffsetBase = 64;
inline constexpr int campaignNameOffsetExpansion = 70;
inline constexpr int referenceNameTerminator = 98; // where campaignShift is 0
inline constexpr int anchorNominalFirstRelease = 3399;
inline constexpr int anchorNominalLater = 3661;
inline constexpr int bandTwoStart = 3024; // positions above it move by 3 x campaignShift

int campaignNameOffsetFor(LayoutFamily family);

// The campaign name at `offset`: the UTF-16LE units before the 16-bit zero
// terminator, or nothing when the terminator does not lie inside the data.
std::optional<std::u16string> readCampaignName(std::span<const std::uint8_t> data, int offset);
// The lowest offset, odd ones included, at which the anchor text lies.
std::optional<std::int64_t> findAnchor(std::span<const std::uint8_t> data);
int anchorNominalFor(int releaseCode);

// campaignShift of a name of `units` 16-bit units at `nameOffset`, and
// anchorShift of an anchor found at `anchorOffset`.
std::int64_t campaignShiftFor(int nameOffset, std::size_t units);
std::int64_t anchorShiftFor(int releaseCode, std::int64_t anchorOffset);

// Where a load found the campaign name and the anchor: with the release code,
// the values on which resolvePosition depends.
struct LayoutPositions {
    int campaignNameOffset = 0;
    std::int64_t campaignShift = 0;
    std::int64_t anchorShift = 0;
    bool operator==(const LayoutPositions&) const = default;
};

// Nominal position of the reference layout -> file offset of this save.
std::int64_t resolvePosition(int releaseCode, const LayoutPositions& positions, int nominal);

// The settings the program reads or writes.
enum class Field {
    UnitScale,           // 4-byte float
    BattleDifficulty,    // 1 byte, 0..3
    BattleTimeLimit,     // 1 byte: 28 time limit, 30 none
    CampaignLengthFlag,  // 1 byte: 0 long, 4 short
    CampaignLengthValue, // 1 byte: 50 long, 20 short (written only)
    CampaignDifficulty,  // 1 byte, 0..3
    PlayerFaction,       // 1 byte, 0..19 (read only)
    Season,              // 1 byte: 2 summer, 0 winter
    Year,                // signed 32-bit
    TurnCounter,         // 16-bit (written only)
};
std::size_t fieldWidth(Field field);

// What the program does with a place.
enum class Role {
    Read,        // the loader decodes the value here, and the writer patches it
    AlsoWritten, // only the writer patches it, with the same value
};

// Per-faction structures: the entry of the player's faction is found by
// resolving the place first and then adding factionCode x the entry size, so
// the band is chosen by the place alone.
enum class Entry {
    None,          // the place itself
    FactionRecord, // factionRecordSize bytes per faction
    FactionPair,   // the faction difficulty pair: factionPairSize bytes per faction
};

int factionRecordSize(int releaseCode); // 43 for release code 1, else 53
inline constexpr int factionPairSize = 8;
inline constexpr int factionCount = 20;

// A place's nominal position in each layout family; noPlace where the family
// has none.
inline constexpr int noPlace = -1;
struct FamilyPositions {
    int firstRelease;
    int earlyBaseGame;
    int lateBaseGame;
    int expansion;
    int in(LayoutFamily family) const;
};

// One row of the settings table: one place of one setting.
struct PlaceRow {
    Field field;
    Role role;
    Entry entry = Entry::None;
    FamilyPositions at;
};

// Every row; within a field in the order the writer patches them.
std::span<const PlaceRow> settingsTable();

// Everything needed to turn table rows into file offsets for one save.
struct ResolvedLayout {
    int releaseCode = 1;
    LayoutPositions positions;
    LayoutFamily family = LayoutFamily::FirstRelease;
    int factionCode = 0;
};

// The one way a resolved layout is built: from the release, the positions and
// the player's faction.
ResolvedLayout resolveLayout(const GameVersion& version, const LayoutPositions& positions,
                             int factionCode);

// What a successful load learnt of where the bytes of one save lie, and all
// that Apply needs of that load: the release, the positions, the player's
// faction, and the faction byte as stored (which Apply reads again to make sure
// the file still has this layout).
struct LoadedLayout {
    GameVersion version;
    LayoutPositions positions;
    int factionCode = 0;
    int storedFactionByte = -1;
    bool operator==(const LoadedLayout&) const = default;
};

inline ResolvedLayout resolveLayout(const LoadedLayout& loaded) {
    return resolveLayout(loaded.version, loaded.positions, loaded.factionCode);
}

// The file offset of the place the loader reads `field` from; -1 for a field
// that is never read.
std::int64_t readOffset(const ResolvedLayout& layout, Field field);
// Every place the writer patches for `field`, in order of writing.
std::vector<std::int64_t> writeOffsets(const ResolvedLayout& layout, Field field);
// The end of the farthest place the loader reads. The read places all lie
// between the campaign name and the stretch that ends at the anchor: the name
// moves them, the anchor never does.
std::int64_t readPlacesEnd(const ResolvedLayout& layout);

// The stored codes of the one-byte settings. Each reader accepts any byte and
// each writer writes the one canonical code.
// Battle time limit: 28 a time limit, 30 none; read, anything but 28 is none.
std::uint8_t encodeNoBattleTimeLimit(bool noBattleTimeLimit);
bool decodeNoBattleTimeLimit(std::uint8_t stored);
// Long or short campaign flag: 0 long, 4 short; read, only 4 is short.
std::uint8_t encodeCampaignLengthFlag(bool shortCampaign);
bool decodeCampaignLengthFlag(std::uint8_t stored);
// Campaign length value, written only: 50 long, 20 short.
std::uint8_t encodeCampaignLengthValue(bool shortCampaign);
// Season: 2 summer, 0 winter; read, only 0 is winter.
std::uint8_t encodeSeason(bool isWinter);
bool decodeSeason(std::uint8_t stored);

// Year and season encodings.
std::int32_t encodeYear(std::int32_t year, bool isAD); // AD as is, BC negated (wrapping)
struct DecodedYear {
    std::int32_t year;
    bool isAD;
};
DecodedYear decodeYear(std::int32_t stored);
// Half-years since the summer of 270 BC, low 16 bits; 32-bit wrapping arithmetic.
std::uint16_t turnCounter(std::int32_t year, bool isAD, bool isWinter);

} // namespace varnholt
