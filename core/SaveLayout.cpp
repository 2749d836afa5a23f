#include "core/SaveLayout.h"

#include "core/ByteView.h"

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

// The settings table. Within a field, rows are in the order the writer patches them.
constexpr PlaceRow table[] = {
    {Field::UnitScale, true, 101, 101, Stride::None, false},
    {Field::UnitScale, false, 143, 143, Stride::None, false},
    {Field::BattleDifficulty, true, 109, 109, Stride::None, false},
    {Field::BattleDifficulty, false, 151, 151, Stride::None, false},
    {Field::BattleDifficulty, false, 164, 164, Stride::FactionRecord, false},
    {Field::BattleDifficulty, false, 0, 0, Stride::FactionPair, true},
    {Field::CampaignDifficulty, true, 160, 160, Stride::FactionRecord, false},
    {Field::CampaignDifficulty, false, 0, 0, Stride::FactionPair, false},
    {Field::BattleTimeLimit, true, 114, 114, Stride::None, false},
    {Field::BattleTimeLimit, false, 156, 156, Stride::None, false},
    {Field::CampaignLengthFlag, true, 129, 129, Stride::None, false},
    {Field::CampaignLengthFlag, false, -1, 134, Stride::None, false},
    {Field::CampaignLengthValue, false, 3306, 3568, Stride::None, false},
    {Field::PlayerFaction, true, 1063, 1273, Stride::None, false},
    {Field::Season, true, 1064, 1274, Stride::None, false},
    {Field::Season, false, 3443, 3705, Stride::None, false},
    {Field::Year, true, 1066, 1276, Stride::None, false},
    {Field::Year, false, 3439, 3701, Stride::None, false},
    {Field::TurnCounter, false, 3435, 3697, Stride::None, false},
};

struct PairBases {
    int campaign;
    int battle;
};

PairBases pairBases(LayoutFamily family) {
    switch (family) {
    case LayoutFamily::Expansion:
        return {3514, 3518};
    case LayoutFamily::LateBaseGame:
        return {3526, 3530};
    case LayoutFamily::EarlyBaseGame:
        return {3392, 3396};
    case LayoutFamily::FirstRelease:
        break;
    }
    return {3130, 3134};
}

// The file offset of one row for this save, or nothing when the row has no
// place in this release.
std::optional<std::int64_t> rowOffset(const ResolvedLayout& layout, const PlaceRow& row) {
    int nominal = layout.releaseCode == 1 ? row.nominalFirst : row.nominalLater;
    if (row.stride == Stride::FactionPair) {
        const PairBases bases = pairBases(layout.family);
        nominal = row.pairIsBattle ? bases.battle : bases.campaign;
    }
    if (nominal < 0)
        return std::nullopt;
    // The band is chosen by the base alone; the faction's entry is added after.
    std::int64_t offset = resolvePosition(layout.releaseCode, layout.positions, nominal);
    if (row.stride == Stride::FactionRecord)
        offset +=
            static_cast<std::int64_t>(layout.factionCode) * factionRecordSize(layout.releaseCode);
    else if (row.stride == Stride::FactionPair)
        offset += static_cast<std::int64_t>(layout.factionCode) * factionPairSize;
    return offset;
}

} // namespace

std::span<const std::uint8_t, anchorTextSize> anchorText() {
    return anchorBytes;
}

int campaignNameOffsetFor(bool isExpansion) {
    return isExpansion ? campaignNameOffsetExpansion : campaignNameOffsetBase;
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
    const auto found =
        std::search(data.begin(), data.end(),
                    std::boyer_moore_horspool_searcher(anchorBytes.begin(), anchorBytes.end()));
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
    return {version.releaseCode, positions,
            layoutFamilyOf(version.releaseCode, version.isExpansion, version.isLateBaseGame),
            factionCode};
}

LayoutFamily layoutFamilyOf(int releaseCode, bool isExpansion, bool isLateBaseGame) {
    if (isExpansion)
        return LayoutFamily::Expansion;
    if (isLateBaseGame)
        return LayoutFamily::LateBaseGame;
    if (releaseCode > 1)
        return LayoutFamily::EarlyBaseGame;
    return LayoutFamily::FirstRelease;
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
        if (row.field == field && row.isRead)
            if (auto offset = rowOffset(layout, row))
                return *offset;
    return -1; // a field that is never read: no place (and never inside the data)
}

std::vector<std::int64_t> writeOffsets(const ResolvedLayout& layout, Field field) {
    std::vector<std::int64_t> offsets;
    for (const PlaceRow& row : table)
        if (row.field == field)
            if (auto offset = rowOffset(layout, row))
                offsets.push_back(*offset);
    return offsets;
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
