#pragma once
// A saved game read from its start, piece by piece, as far as its layout needs:
// the header, the campaign name, the places read before the anchor, and the
// anchor itself. The loader reads the save with it and the writer reads the copy
// it is about to patch, so both find the layout the same way.

#include "core/FileAccess.h"
#include "core/SaveLayout.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace varnholt {

// Keeps a prefix of the file that covers the header, the name and the places
// read, and looks for the anchor beyond the prefix through a window of fixed
// size: a file of any size is read in the time its first pieces take, in little
// more memory than the prefix. Every read of the data is bounds-checked against
// what was read.
class SaveReader {
  public:
    // Fills its span with the next bytes of the file; fewer only at the file's end.
    using ReadNext = std::function<std::size_t(std::span<std::uint8_t>)>;
    explicit SaveReader(ReadNext readNext) : readNext_(std::move(readNext)) {}

    // The prefix read so far.
    std::span<const std::uint8_t> bytes() const { return prefix_.bytes(); }
    bool atEnd() const { return atEnd_; }

    // Reads on until the prefix holds `end` bytes or the file ends. Only before
    // the anchor search has gone beyond the prefix.
    std::span<const std::uint8_t> ensure(std::uint64_t end);
    // The campaign name at `offset` (see readCampaignName): nothing when the file
    // ends before its terminator.
    std::optional<std::u16string> campaignName(int offset);
    // The lowest offset of the anchor text in the whole file.
    std::optional<std::int64_t> findAnchorText();

  private:
    static constexpr std::size_t piece = 256 * 1024;
    ReadNext readNext_;
    FileBuffer prefix_;
    bool atEnd_ = false;
    bool streamed_ = false;
};

// The fields the loader decodes, each from its one read place.
inline constexpr Field readFields[] = {Field::PlayerFaction,
                                       Field::BattleDifficulty,
                                       Field::CampaignDifficulty,
                                       Field::BattleTimeLimit,
                                       Field::CampaignLengthFlag,
                                       Field::UnitScale,
                                       Field::Season,
                                       Field::Year};

// The end of the farthest place the loader reads. The read places all lie
// between the campaign name and the stretch that ends at the anchor: the name
// moves them, the anchor never does.
std::int64_t readPlacesEnd(const ResolvedLayout& layout);

} // namespace varnholt
