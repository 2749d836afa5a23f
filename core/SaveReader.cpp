#include "core/SaveReader.h"

#include "core/SaveLayout.h"

#include <algorithm>

namespace varnholt {

std::span<const std::uint8_t> SaveReader::ensure(std::uint64_t end) {
    while (!atEnd_ && !streamed_ && prefix_.size() < end) {
        // The prefix doubles, a piece at least, and is cut back to what was read.
        const std::size_t held = prefix_.size();
        const std::size_t wanted = std::max(piece, held);
        prefix_.resize(held + wanted);
        const std::size_t got = readNext_({prefix_.data() + held, wanted});
        prefix_.resize(held + got);
        atEnd_ = got < wanted;
    }
    return bytes();
}

std::optional<std::u16string> SaveReader::campaignName(int offset) {
    for (std::uint64_t need = static_cast<std::uint64_t>(offset) + 2;; need *= 2) {
        const auto data = ensure(need);
        // A terminator inside what is held ends the search; the name never reaches
        // past the data.
        if (auto name = readCampaignName(data, offset))
            return name;
        if (atEnd_ || streamed_)
            return std::nullopt;
    }
}

std::optional<std::int64_t> SaveReader::findAnchorText(std::uint64_t prefixEnd) {
    ensure(prefixEnd);
    if (auto found = findAnchor(bytes()))
        return found;
    // On through the rest of the file, keeping the last bytes of each piece in
    // case the anchor starts there.
    constexpr std::size_t carry = anchorTextSize - 1;
    std::vector<std::uint8_t> window(carry + piece);
    const auto held = bytes();
    std::size_t kept = std::min(carry, held.size());
    std::copy(held.end() - static_cast<std::ptrdiff_t>(kept), held.end(), window.begin());
    std::int64_t windowStart = static_cast<std::int64_t>(held.size() - kept);
    while (!atEnd_) {
        streamed_ = true;
        const std::size_t got = readNext_({window.data() + kept, piece});
        atEnd_ = got < piece;
        const std::span<const std::uint8_t> data(window.data(), kept + got);
        if (auto found = findAnchor(data))
            return windowStart + *found;
        const std::size_t next = std::min(carry, data.size());
        std::copy(data.end() - static_cast<std::ptrdiff_t>(next), data.end(), window.begin());
        windowStart += static_cast<std::int64_t>(data.size() - next);
        kept = next;
    }
    return std::nullopt;
}

} // namespace varnholt
