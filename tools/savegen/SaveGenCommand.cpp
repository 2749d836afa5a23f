// savegen: writes one synthetic saved game. Exit status 0 on success, 1 when the file cannot be
// written, 2 for bad usage (unknown option, value out of range, settings that cannot be built).
#include "tools/savegen/SaveGen.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdint>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

using varnholt::savegen::SaveSpec;

constexpr int kUsageError = 2;
constexpr int kWriteError = 1;

// Accepts 1 to 8 hex digits, with or without a 0x prefix.
std::uint32_t parseFloatBits(std::string text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.erase(0, 2);
    }
    std::uint32_t bits = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, bits, 16);
    if (text.empty() || text.size() > 8 || error != std::errc{} || stop != end) {
        throw std::invalid_argument("--unit-scale-bits takes up to 8 hex digits, got \"" + text +
                                    "\"");
    }
    return bits;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Builds a synthetic saved game of Iron Dominion for tests, examples and "
                 "benchmarks. Raw byte options store the value as given, in or out of range."};

    std::string release;
    std::string name;
    std::int64_t anchorOffset = 0;
    std::int64_t anchorGap = 0;
    int faction = 0;
    int campaignDifficulty = 1;
    int battleDifficulty = 1;
    int timeLimitByte = 30;
    int lengthFlag = 0;
    int lengthValue = 50;
    int unitScale = 40;
    std::string unitScaleBits;
    int year = 270;
    std::string era;
    std::string season;
    std::uint64_t size = 0;
    std::uint32_t seed = 1;
    std::string output;

    const CLI::Range byteRange(0, 255);
    app.add_option("--release", release, "Release label: 1.0 to 1.6")
        ->required()
        ->check(CLI::IsMember({"1.0", "1.1", "1.2", "1.3", "1.4", "1.5", "1.6"}));
    auto* nameOption = app.add_option("--name", name, "Campaign name (UTF-8)");
    auto* anchorOffsetOption =
        app.add_option("--anchor-offset", anchorOffset, "Absolute offset of the anchor text");
    app.add_option("--anchor-gap", anchorGap, "Bytes added to the anchor's reference place")
        ->excludes(anchorOffsetOption);
    bool noAnchor = false;
    bool noTerminator = false;
    app.add_flag("--no-anchor", noAnchor, "Leave the anchor text out");
    app.add_flag("--no-name-terminator", noTerminator,
                 "End the file right after the campaign name, with no terminator");
    app.add_option("--faction", faction, "Player's faction byte")->check(byteRange);
    app.add_option("--campaign-difficulty", campaignDifficulty, "Campaign difficulty byte")
        ->check(byteRange);
    app.add_option("--battle-difficulty", battleDifficulty, "Battle difficulty byte")
        ->check(byteRange);
    app.add_option("--time-limit-byte", timeLimitByte, "Time limit byte (28 = time limit)")
        ->check(byteRange);
    app.add_option("--length-flag", lengthFlag, "Campaign length flag byte (4 = short)")
        ->check(byteRange);
    app.add_option("--length-value", lengthValue, "Campaign length value byte (50 long, 20 short)")
        ->check(byteRange);
    auto* scaleOption =
        app.add_option("--unit-scale", unitScale, "Unit scale number, stored as number/40");
    auto* bitsOption = app.add_option("--unit-scale-bits", unitScaleBits,
                                      "Unit scale as raw 32-bit float bits in hex");
    scaleOption->excludes(bitsOption);
    auto* yearOption = app.add_option("--year", year, "Year (with --era and --season)");
    auto* eraOption = app.add_option("--era", era, "BC or AD")->check(CLI::IsMember({"BC", "AD"}));
    auto* seasonOption = app.add_option("--season", season, "summer or winter")
                             ->check(CLI::IsMember({"summer", "winter"}));
    yearOption->needs(eraOption, seasonOption);
    eraOption->needs(yearOption);
    seasonOption->needs(yearOption);
    app.add_option("--size", size, "Total file size in bytes (0: anchor end + 4096)");
    app.add_option("--seed", seed, "Seed of the filler bytes");
    app.add_option("-o,--output", output, "File to write")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : kUsageError;
    }

    try {
        SaveSpec spec = varnholt::savegen::specForRelease(release);
        if (*nameOption) {
            spec.campaignName = varnholt::savegen::utf16FromUtf8(name);
        }
        if (*anchorOffsetOption) {
            spec.anchorOffset = anchorOffset;
        }
        spec.anchorGap = anchorGap;
        spec.omitAnchor = noAnchor;
        spec.omitNameTerminator = noTerminator;
        spec.factionByte = static_cast<std::uint8_t>(faction);
        spec.campaignDifficulty = static_cast<std::uint8_t>(campaignDifficulty);
        spec.battleDifficulty = static_cast<std::uint8_t>(battleDifficulty);
        spec.timeLimitByte = static_cast<std::uint8_t>(timeLimitByte);
        spec.lengthFlagByte = static_cast<std::uint8_t>(lengthFlag);
        spec.lengthValueByte = static_cast<std::uint8_t>(lengthValue);
        if (*scaleOption) {
            varnholt::savegen::setUnitScale(spec, unitScale);
        }
        if (*bitsOption) {
            spec.unitScaleBits = parseFloatBits(unitScaleBits);
        }
        if (*yearOption) {
            varnholt::savegen::setYearAndSeason(spec, year, era == "AD", season == "winter");
        }
        spec.size = size;
        spec.fillerSeed = seed;
        try {
            varnholt::savegen::writeSave(output, spec);
        } catch (const std::runtime_error& e) {
            std::cerr << "savegen: " << e.what() << '\n';
            return kWriteError;
        }
    } catch (const std::invalid_argument& e) {
        std::cerr << "savegen: " << e.what() << '\n';
        return kUsageError;
    } catch (const std::bad_alloc&) {
        std::cerr << "savegen: not enough memory for a file of that size\n";
        return kUsageError;
    } catch (const std::length_error&) {
        std::cerr << "savegen: not enough memory for a file of that size\n";
        return kUsageError;
    }
    return 0;
}
