#include "tools/savegen/SaveGen.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace varnholt::savegen {

namespace {

// The anchor text "descr_strat.txt" as UTF-16LE bytes.
constexpr std::array<std::uint8_t, kAnchorBytes> kAnchor = [] {
    constexpr std::string_view text = "descr_strat.txt";
    std::array<std::uint8_t, kAnchorBytes> bytes{};
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(text[i]);
    }
    return bytes;
}();

// Generous bound that keeps every offset sum far from overflow.
constexpr std::int64_t kMaxOffset = std::int64_t{1} << 40;

constexpr int kFactionCount = 20;

std::int64_t anchorNominalFor(int releaseCode) {
    return releaseCode == 1 ? 3399 : 3661;
}

struct Release {
    int code;
    bool isExpansion;
    bool isLateBaseGame;
};

// Mirrors the game's release detection on the header alone. The folder test that turns some 3/4
// saves into "1.3" needs a path and does not change any position, so it is left out.
Release classify(const SaveSpec& spec) {
    const bool newerHeader = (spec.formatByte == 3 && spec.subFormat == 7) || spec.formatByte >= 4;
    if (spec.formatByte == 1 || spec.formatByte == 2) {
        return {1, false, false};
    }
    if (spec.formatByte == 3 && spec.subFormat == 4) {
        return {2, false, false};
    }
    if (!newerHeader) {
        return {0, false, false};
    }
    const int base = spec.formatByte == 3 ? 3 : 5;
    return spec.expansionMarker ? Release{base + 1, true, false} : Release{base, false, true};
}

// splitmix64: tiny, fully specified, and the same on every platform and library.
class Filler {
  public:
    explicit Filler(std::uint32_t seed) : state_(seed) {}
    std::uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

  private:
    std::uint64_t state_;
};

std::uint64_t valueOf(Field field, const SaveSpec& spec) {
    switch (field) {
    case Field::PlayerFaction:
        return spec.factionByte;
    case Field::BattleDifficulty:
        return spec.battleDifficulty;
    case Field::CampaignDifficulty:
        return spec.campaignDifficulty;
    case Field::TimeLimit:
        return spec.timeLimitByte;
    case Field::LengthFlag:
        return spec.lengthFlagByte;
    case Field::LengthValue:
        return spec.lengthValueByte;
    case Field::UnitScale:
        return spec.unitScaleBits;
    case Field::Season:
        return spec.seasonByte;
    case Field::Year:
        return static_cast<std::uint32_t>(spec.yearValue);
    case Field::TurnCounter:
        return spec.turnCounterValue;
    }
    return 0;
}

bool anchorIsWritten(const SaveSpec& spec, const BuiltLayout& layout) {
    return !spec.omitAnchor &&
           static_cast<std::uint64_t>(layout.anchorOffset + kAnchorBytes) <= layout.size;
}

// Writes the low `width` bytes of `value` little-endian at `at` and marks them as chosen.
void put(std::vector<std::uint8_t>& bytes, std::vector<bool>& fixed, std::int64_t at, int width,
         std::uint64_t value) {
    for (int i = 0; i < width; ++i) {
        const auto index = static_cast<std::size_t>(at + i);
        bytes[index] = static_cast<std::uint8_t>(value >> (8 * i));
        fixed[index] = true;
    }
}

} // namespace

SaveSpec specForRelease(std::string_view label) {
    struct Preset {
        std::string_view label;
        std::uint8_t format;
        std::uint8_t subFormat;
        bool marker;
    };
    static constexpr std::array<Preset, 7> presets{{
        {"1.0", 1, 0, false},
        {"1.1", 2, 0, false},
        {"1.2", 3, 4, false},
        {"1.3", 3, 7, false},
        {"1.4", 3, 7, true},
        {"1.5", 4, 0, false},
        {"1.6", 4, 0, true},
    }};
    for (const Preset& preset : presets) {
        if (preset.label == label) {
            SaveSpec spec;
            spec.formatByte = preset.format;
            spec.subFormat = preset.subFormat;
            spec.expansionMarker = preset.marker;
            return spec;
        }
    }
    throw std::invalid_argument("unknown release \"" + std::string(label) +
                                "\" (expected 1.0, 1.1, 1.2, 1.3, 1.4, 1.5 or 1.6)");
}

void setUnitScale(SaveSpec& spec, int number) {
    spec.unitScaleBits = std::bit_cast<std::uint32_t>(static_cast<float>(number) / 40.0F);
}

void setYearAndSeason(SaveSpec& spec, int year, bool isAD, bool isWinter) {
    // 64-bit arithmetic, narrowed modulo 2^n, gives the game's 32-bit results without overflow.
    const std::int64_t wide = year;
    spec.yearValue = static_cast<std::int32_t>(isAD ? wide : -wide);
    spec.seasonByte = isWinter ? 0 : 2;
    const std::int64_t halfYears = isAD ? wide + 269 : 270 - wide;
    spec.turnCounterValue = static_cast<std::uint16_t>(2 * halfYears + (isWinter ? 1 : 0));
}

BuiltLayout layoutOf(const SaveSpec& spec) {
    if (spec.campaignName.find(u'\0') != std::u16string::npos) {
        throw std::invalid_argument(
            "the campaign name holds a zero unit; a loader would stop there");
    }
    if (spec.campaignName.size() > static_cast<std::size_t>(kMaxOffset / 4)) {
        throw std::invalid_argument("the campaign name is too long");
    }
    const Release release = classify(spec);
    BuiltLayout layout{};
    layout.releaseCode = release.code;
    layout.isExpansion = release.isExpansion;
    layout.isLateBaseGame = release.isLateBaseGame;
    layout.campaignNameOffset = release.isExpansion ? 70 : 64;
    const auto units = static_cast<std::int64_t>(spec.campaignName.size());
    const std::int64_t nameEnd = layout.campaignNameOffset + 2 * units;
    layout.campaignShift = nameEnd - 98;

    const std::int64_t anchorNominal = anchorNominalFor(release.code);
    if (spec.anchorOffset) {
        layout.anchorOffset = *spec.anchorOffset;
    } else {
        if (spec.anchorGap < -kMaxOffset || spec.anchorGap > kMaxOffset) {
            throw std::invalid_argument("the anchor gap is out of range");
        }
        layout.anchorOffset = anchorNominal + 3 * layout.campaignShift + spec.anchorGap;
    }
    if (layout.anchorOffset < 0 || layout.anchorOffset > kMaxOffset) {
        throw std::invalid_argument("the anchor offset " + std::to_string(layout.anchorOffset) +
                                    " lies outside the file");
    }
    layout.anchorShift = layout.anchorOffset - anchorNominal;

    if (spec.omitNameTerminator) {
        const auto end = static_cast<std::uint64_t>(nameEnd);
        if (spec.size > end) {
            throw std::invalid_argument("a file of " + std::to_string(spec.size) +
                                        " bytes cannot end inside an unterminated name ending at " +
                                        std::to_string(end));
        }
        layout.size = spec.size == 0 ? end : spec.size;
    } else {
        layout.size = spec.size == 0
                          ? static_cast<std::uint64_t>(layout.anchorOffset + kAnchorBytes + 4096)
                          : spec.size;
    }
    return layout;
}

std::int64_t resolvePosition(const BuiltLayout& layout, std::int64_t nominal) {
    if (nominal > anchorNominalFor(layout.releaseCode)) {
        return nominal + layout.anchorShift;
    }
    if (nominal > 3024) {
        return nominal + 3 * layout.campaignShift;
    }
    if (nominal > layout.campaignNameOffset) {
        return nominal + layout.campaignShift;
    }
    return nominal;
}

std::vector<FieldPlace> placesOf(const SaveSpec& spec) {
    const BuiltLayout layout = layoutOf(spec);
    const bool first = layout.releaseCode == 1;
    const std::int64_t recordSize = first ? 43 : 53;
    std::int64_t pairCampaign = 3392;
    std::int64_t pairBattle = 3396;
    if (layout.isExpansion) {
        pairCampaign = 3514;
        pairBattle = 3518;
    } else if (layout.isLateBaseGame) {
        pairCampaign = 3526;
        pairBattle = 3530;
    } else if (first) {
        pairCampaign = 3130;
        pairBattle = 3134;
    }
    const bool hasEntries = spec.factionByte < kFactionCount;
    const std::int64_t faction = spec.factionByte;

    std::vector<FieldPlace> places;
    auto add = [&](Field field, std::int64_t nominal, int width, std::int64_t entryOffset = 0) {
        places.push_back({field, nominal, entryOffset,
                          resolvePosition(layout, nominal) + entryOffset, width, false});
    };
    add(Field::PlayerFaction, first ? 1063 : 1273, 1);
    add(Field::BattleDifficulty, 109, 1);
    add(Field::BattleDifficulty, 151, 1);
    if (hasEntries) {
        add(Field::BattleDifficulty, 160, 1, faction * recordSize + 4);
        add(Field::BattleDifficulty, pairBattle, 1, faction * 8);
        add(Field::CampaignDifficulty, 160, 1, faction * recordSize);
        add(Field::CampaignDifficulty, pairCampaign, 1, faction * 8);
    }
    add(Field::TimeLimit, 114, 1);
    add(Field::TimeLimit, 156, 1);
    add(Field::LengthFlag, 129, 1);
    if (!first) {
        add(Field::LengthFlag, 134, 1);
    }
    add(Field::LengthValue, first ? 3306 : 3568, 1);
    add(Field::UnitScale, 101, 4);
    add(Field::UnitScale, 143, 4);
    add(Field::Season, first ? 1064 : 1274, 1);
    add(Field::Season, first ? 3443 : 3705, 1);
    add(Field::Year, first ? 1066 : 1276, 4);
    add(Field::Year, first ? 3439 : 3701, 4);
    add(Field::TurnCounter, first ? 3435 : 3697, 2);

    const bool anchorWritten = anchorIsWritten(spec, layout);
    for (FieldPlace& place : places) {
        const std::int64_t end = place.offset + place.width;
        const bool fits = place.offset >= 0 && static_cast<std::uint64_t>(end) <= layout.size;
        const bool underAnchor = anchorWritten &&
                                 place.offset < layout.anchorOffset + kAnchorBytes &&
                                 end > layout.anchorOffset;
        place.written = fits && !underAnchor;
    }
    return places;
}

void breakStrayAnchors(std::vector<std::uint8_t>& bytes, const std::vector<bool>& fixed,
                       std::int64_t keepAt) {
    if (fixed.size() != bytes.size()) {
        throw std::invalid_argument("breakStrayAnchors: mask and bytes differ in length");
    }
    const auto length = static_cast<std::int64_t>(bytes.size());
    for (std::int64_t at = 0; at + kAnchorBytes <= length; ++at) {
        const auto first = bytes.begin() + at;
        if (at == keepAt || !std::equal(kAnchor.begin(), kAnchor.end(), first)) {
            continue;
        }
        std::int64_t free = at;
        while (free < at + kAnchorBytes && fixed[static_cast<std::size_t>(free)]) {
            ++free;
        }
        if (free == at + kAnchorBytes) {
            throw std::invalid_argument("the campaign name and settings form the anchor text at "
                                        "offset " +
                                        std::to_string(at) + ", before or after its place");
        }
        // 0xFF occurs nowhere in the anchor text, so this cannot create a new occurrence.
        bytes[static_cast<std::size_t>(free)] = 0xFF;
    }
}

std::vector<std::uint8_t> buildSave(const SaveSpec& spec) {
    const BuiltLayout layout = layoutOf(spec);
    const auto size = static_cast<std::size_t>(layout.size);
    std::vector<std::uint8_t> bytes(size);
    std::vector<bool> fixed(size, false);

    Filler filler(spec.fillerSeed);
    for (std::size_t at = 0; at < size; at += 8) {
        const std::uint64_t word = filler.next();
        for (std::size_t i = 0; i < 8 && at + i < size; ++i) {
            bytes[at + i] = static_cast<std::uint8_t>(word >> (8 * i));
        }
    }

    auto putClamped = [&](std::int64_t at, std::uint8_t value) {
        if (static_cast<std::uint64_t>(at) < layout.size) {
            put(bytes, fixed, at, 1, value);
        }
    };
    putClamped(0, spec.formatByte);
    putClamped(2, spec.subFormat);
    if (spec.expansionMarker) {
        // The low bytes of UTF-16 "bi", as the expansion writes it.
        putClamped(4, 0x62);
        putClamped(5, 0x00);
        putClamped(6, 0x69);
        putClamped(7, 0x00);
    } else if (size > 6 && bytes[4] == 0x62 && bytes[6] == 0x69) {
        bytes[6] = 0x00; // filler must not fake the marker
    }

    std::int64_t at = layout.campaignNameOffset;
    for (const char16_t unit : spec.campaignName) {
        putClamped(at++, static_cast<std::uint8_t>(unit & 0xFF));
        putClamped(at++, static_cast<std::uint8_t>(unit >> 8));
    }
    if (!spec.omitNameTerminator) {
        putClamped(at++, 0);
        putClamped(at++, 0);
    }

    for (const FieldPlace& place : placesOf(spec)) {
        if (place.written) {
            put(bytes, fixed, place.offset, place.width, valueOf(place.field, spec));
        }
    }

    const bool anchorWritten = anchorIsWritten(spec, layout);
    if (anchorWritten) {
        std::copy(kAnchor.begin(), kAnchor.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(layout.anchorOffset));
        std::fill_n(fixed.begin() + static_cast<std::ptrdiff_t>(layout.anchorOffset), kAnchorBytes,
                    true);
    }
    breakStrayAnchors(bytes, fixed, anchorWritten ? layout.anchorOffset : -1);
    return bytes;
}

void writeSave(const std::string& path, const SaveSpec& spec) {
    // Build first, so a refused SaveSpec leaves the file system untouched.
    const std::vector<std::uint8_t> bytes = buildSave(spec);
    auto failure = [&path](const char* what, int error) {
        return std::runtime_error(std::string(what) + " " + path + ": " +
                                  std::generic_category().message(error));
    };
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw failure("cannot create", errno);
    }
    errno = 0; // so a short write without a cause is not blamed on an older error
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    int error = written == bytes.size() ? 0 : (errno != 0 ? errno : EIO);
    if (std::fclose(file) != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    if (error != 0) {
        std::remove(path.c_str());
        throw failure("cannot write", error);
    }
}

std::u16string utf16FromUtf8(std::string_view text) {
    std::u16string result;
    std::size_t i = 0;
    auto fail = [&i](const char* why) {
        return std::invalid_argument(std::string("malformed UTF-8 at byte ") + std::to_string(i) +
                                     ": " + why);
    };
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
            minimum = 0x10000;
        } else {
            throw fail("invalid lead byte");
        }
        if (text.size() - i <= static_cast<std::size_t>(extra)) {
            throw fail("sequence cut short");
        }
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                throw fail("missing continuation byte");
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum) {
            throw fail("overlong form");
        }
        if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            throw fail("not a Unicode scalar value");
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return result;
}

} // namespace varnholt::savegen
