#pragma once
// A saved game read from its start, piece by piece, as far as its layout needs.
// probeLayout (core/LayoutProbe.h) drives it for the loader and for Apply.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

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
    std::span<const std::uint8_t> bytes() const { return prefix_; }

    // Reads on until the prefix holds `end` bytes or the file ends. Once the
    // anchor search has looked beyond the prefix, the prefix stays as it is.
    std::span<const std::uint8_t> ensure(std::uint64_t end);
    // The campaign name at `offset` (see readCampaignName): nothing when the file
    // ends before its terminator.
    std::optional<std::u16string> campaignName(int offset);
    // The lowest offset of the anchor text in the whole file. The prefix first
    // takes in the file up to `prefixEnd`, the end of the places to be read from
    // it afterwards; beyond that the file is only looked through.
    std::optional<std::int64_t> findAnchorText(std::uint64_t prefixEnd);

  private:
    static constexpr std::size_t piece = 256 * 1024;
    ReadNext readNext_;
    std::vector<std::uint8_t> prefix_;
    bool atEnd_ = false;
    bool streamed_ = false;
};

} // namespace varnholt
