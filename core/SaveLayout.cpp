#include "core/SaveLayout.h"

#include "core/ByteView.h"
#include "core/StdCompat.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace varnholt {

namespace {

constexpr std::array<std::uint8_t, anchorTextSize> makeAnchor() {
    constexpr char ascii[] = "descr_strat.txt";
    std::array<std::uint8_t, anchorTextSize> bytes{};
    for (std::size_t i = 0; i < anchorTextSize / 2; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(ascii[i]);
        bytes[2 * i + 1] = 0;
    }
    return bytes;
}

constexpr auto anchorBytes = makeAnchor();

// A place at the same nominal position in every release.
constexpr FamilyPositions everyRelease(int nominal) {
    return {nominal, nominal, nominal, nominal};
}

// A place at one nominal position for release code 1 and another for every
// later release.
constexpr FamilyPositions firstAndLater(int first, int later) {
    return {first, later, later, later};
}

// The settings table. Within a field, rows are in the order the writer patches them.
constexpr PlaceRow table[] = {
    // The unit scale, the battle difficulty and the time limit each have a
    // second copy 42 bytes after the first.
    {.field = Field::UnitScale, .role = Role::Read, .at = everyRelease(101)},
    {.field = Field::UnitScale, .role = Role::AlsoWritten, .at = everyRelease(143)},
    {.field = Field::BattleDifficulty, .role = Role::Read, .at = everyRelease(109)},
    {.field = Field::BattleDifficulty, .role = Role::AlsoWritten, .at = everyRelease(151)},
    // Byte +4 of the player's faction record.
    {.field = Field::BattleDifficulty,
     .role = Role::AlsoWritten,
     .entry = Entry::FactionRecord,
     .at = everyRelease(164)},
    // Kb, the battle byte of the faction difficulty pair.
    {.field = Field::BattleDifficulty,
     .role = Role::AlsoWritten,
     .entry = Entry::FactionPair,
     .at = {.firstRelease = 3134, .earlyBaseGame = 3396, .lateBaseGame = 3530, .expansion = 3518}},
    // Byte +0 of the player's faction record, and Kc of the faction difficulty pair.
    {.field = Field::CampaignDifficulty,
     .role = Role::Read,
     .entry = Entry::FactionRecord,
     .at = everyRelease(160)},
    {.field = Field::CampaignDifficulty,
     .role = Role::AlsoWritten,
     .entry = Entry::FactionPair,
     .at = {.firstRelease = 3130, .earlyBaseGame = 3392, .lateBaseGame = 3526, .expansion = 3514}},
    {.field = Field::BattleTimeLimit, .role = Role::Read, .at = everyRelease(114)},
    {.field = Field::BattleTimeLimit, .role = Role::AlsoWritten, .at = everyRelease(156)},
    {.field = Field::CampaignLengthFlag, .role = Role::Read, .at = everyRelease(129)},
    {.field = Field::CampaignLengthFlag,
     .role = Role::AlsoWritten,
     .at = firstAndLater(noPlace, 134)},
    {.field = Field::CampaignLengthValue,
     .role = Role::AlsoWritten,
     .at = firstAndLater(3306, 3568)},
    // The player's faction, the season one byte after it and the year three bytes after it.
    {.field = Field::PlayerFaction, .role = Role::Read, .at = firstAndLater(1063, 1273)},
    {.field = Field::Season, .role = Role::Read, .at = firstAndLater(1064, 1274)},
    {.field = Field::Year, .role = Role::Read, .at = firstAndLater(1066, 1276)},
    // After the anchor: the turn counter (+36), the year (+40) and the season (+44).
    {.field = Field::Season, .role = Role::AlsoWritten, .at = firstAndLater(3443, 3705)},
    {.field = Field::Year, .role = Role::AlsoWritten, .at = firstAndLater(3439, 3701)},
    {.field = Field::TurnCounter, .role = Role::AlsoWritten, .at = firstAndLater(3435, 3697)},
};

// The file offset of one row for this save, or nothing when the row has no
// place in this layout family.
std::optional<std::int64_t> rowOffset(const ResolvedLayout& layout, const PlaceRow& row) {
    const int nominal = row.at.in(layout.family);
    if (nominal == noPlace)
        return std::nullopt;
    // The band is chosen by the place alone; the faction's entry is added after.
    const std::int64_t offset = resolvePosition(layout.releaseCode, layout.positions, nominal);
    const std::int64_t faction = layout.factionCode;
    switch (row.entry) {
    case Entry::None:
        break;
    case Entry::FactionRecord:
        return offset + faction * factionRecordSize(layout.releaseCode);
    case Entry::FactionPair:
        return offset + faction * factionPairSize;
    }
    return offset;
}

} // namespace

int campaignNameOffsetFor(LayoutFamily family) {
    return family == LayoutFamily::Expansion ? campaignNameOffsetExpansion : campaignNameOffsetBase;
}

std::optional<std::u16string> readCampaignName(std::span<const std::uint8_t> data, int offset) {
    std::u16string name;
    for (std::int64_t at = offset;; at += 2) {
        const auto unit = readU16le(data, at);
        if (!unit)
            return std::nullopt;
        if (*unit == 0)
            return name;
        name.push_back(static_cast<char16_t>(*unit));
    }
}

std::optional<std::int64_t> findAnchor(std::span<const std::uint8_t> data) {
    const auto found = std::search(
        data.begin(), data.end(), compat::horspoolSearcher(anchorBytes.begin(), anchorBytes.end()));
    if (found == data.end())
        return std::nullopt;
    return found - data.begin();
}

int anchorNominalFor(int releaseCode) {
    return releaseCode == 1 ? anchorNominalFirstRelease : anchorNominalLater;
}

std::int64_t campaignShiftFor(int nameOffset, std::size_t units) {
    return nameOffset + 2 * static_cast<std::int64_t>(units) - referenceNameTerminator;
}

std::int64_t anchorShiftFor(int releaseCode, std::int64_t anchorOffset) {
    return anchorOffset - anchorNominalFor(releaseCode);
}

std::int64_t resolvePosition(int releaseCode, const LayoutPositions& positions, int nominal) {
    if (nominal > anchorNominalFor(releaseCode))
        return nominal + positions.anchorShift;
    if (nominal > bandTwoStart)
        return nominal + 3 * positions.campaignShift;
    if (nominal > positions.campaignNameOffset)
        return nominal + positions.campaignShift;
    return nominal;
}

ResolvedLayout resolveLayout(const GameVersion& version, const LayoutPositions& positions,
                             int factionCode) {
    return {version.releaseCode, positions, version.family, factionCode};
}

int FamilyPositions::in(LayoutFamily family) const {
    switch (family) {
    case LayoutFamily::FirstRelease:
        return firstRelease;
    case LayoutFamily::EarlyBaseGame:
        return earlyBaseGame;
    case LayoutFamily::LateBaseGame:
        return lateBaseGame;
    case LayoutFamily::Expansion:
        break;
    }
    return expansion;
}

std::span<const PlaceRow> settingsTable() {
    return table;
}

std::size_t fieldWidth(Field field) {
    switch (field) {
    case Field::UnitScale:
    case Field::Year:
        return 4;
    case Field::TurnCounter:
        return 2;
    default:
        return 1;
    }
}

int factionRecordSize(int releaseCode) {
    return releaseCode == 1 ? 43 : 53;
}

std::int64_t readOffset(const ResolvedLayout& layout, Field field) {
    for (const PlaceRow& row : table)
        if (row.field == field && row.role == Role::Read)
            if (auto offset = rowOffset(layout, row))
                return *offset;
    return -1; // never inside the data
}

std::vector<std::int64_t> writeOffsets(const ResolvedLayout& layout, Field field) {
    std::vector<std::int64_t> offsets;
    for (const PlaceRow& row : table)
        if (row.field == field)
            if (auto offset = rowOffset(layout, row))
                offsets.push_back(*offset);
    return offsets;
}

std::int64_t readPlacesEnd(const ResolvedLayout& layout) {
    std::int64_t end = 0;
    for (const PlaceRow& row : table)
        if (row.role == Role::Read)
            if (auto offset = rowOffset(layout, row))
                end = std::max(end, *offset + static_cast<std::int64_t>(fieldWidth(row.field)));
    return end;
}

namespace {
constexpr std::uint8_t timeLimitCode = 28;
constexpr std::uint8_t noTimeLimitCode = 30;
constexpr std::uint8_t longCampaignFlag = 0;
constexpr std::uint8_t shortCampaignFlag = 4;
constexpr std::uint8_t longCampaignValue = 50;
constexpr std::uint8_t shortCampaignValue = 20;
constexpr std::uint8_t summerCode = 2;
constexpr std::uint8_t winterCode = 0;
} // namespace

std::uint8_t encodeNoBattleTimeLimit(bool noBattleTimeLimit) {
    return noBattleTimeLimit ? noTimeLimitCode : timeLimitCode;
}

bool decodeNoBattleTimeLimit(std::uint8_t stored) {
    return stored != timeLimitCode;
}

std::uint8_t encodeCampaignLengthFlag(bool shortCampaign) {
    return shortCampaign ? shortCampaignFlag : longCampaignFlag;
}

bool decodeCampaignLengthFlag(std::uint8_t stored) {
    return stored == shortCampaignFlag;
}

std::uint8_t encodeCampaignLengthValue(bool shortCampaign) {
    return shortCampaign ? shortCampaignValue : longCampaignValue;
}

std::uint8_t encodeSeason(bool isWinter) {
    return isWinter ? winterCode : summerCode;
}

bool decodeSeason(std::uint8_t stored) {
    return stored == winterCode;
}

std::int32_t encodeYear(std::int32_t year, bool isAD) {
    // BC years are stored negated; wrap like the 32-bit store does.
    return isAD ? year : static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(year));
}

DecodedYear decodeYear(std::int32_t stored) {
    if (stored >= 0)
        return {stored, true};
    // The magnitude of INT32_MIN does not fit; it stays as stored, so that writing
    // it back as BC gives the same bytes.
    return {static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(stored)), false};
}

std::uint16_t turnCounter(std::int32_t year, bool isAD, bool isWinter) {
    // t = year + 269 (AD) or 270 - year (BC), in 32-bit two's complement.
    const std::uint32_t y = static_cast<std::uint32_t>(year);
    const std::uint32_t t = isAD ? y + 269u : 270u - y;
    return static_cast<std::uint16_t>(2u * t + (isWinter ? 1u : 0u));
}

} // namespace varnholt
