#pragma once
// Bounds-checked little-endian access to a saved game held in memory. Every read
// and every patch of a save goes through these, so a position outside the data
// is a clean refusal instead of a stray access.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace varnholt {

// True when `width` bytes starting at `offset` lie inside `size` bytes (a
// file's size is 64 bits wide even where memory's is 32, as in the browser).
constexpr bool fitsInside(std::int64_t offset, std::uint64_t width, std::uint64_t size) {
    return offset >= 0 && static_cast<std::uint64_t>(offset) <= size &&
           width <= size - static_cast<std::uint64_t>(offset);
}

inline std::optional<std::uint8_t> readU8(std::span<const std::uint8_t> data, std::int64_t at) {
    if (!fitsInside(at, 1, data.size()))
        return std::nullopt;
    return data[static_cast<std::size_t>(at)];
}

inline std::optional<std::uint16_t> readU16le(std::span<const std::uint8_t> data, std::int64_t at) {
    if (!fitsInside(at, 2, data.size()))
        return std::nullopt;
    const auto i = static_cast<std::size_t>(at);
    return static_cast<std::uint16_t>(data[i] | (data[i + 1] << 8));
}

inline std::optional<std::uint32_t> readU32le(std::span<const std::uint8_t> data, std::int64_t at) {
    if (!fitsInside(at, 4, data.size()))
        return std::nullopt;
    const auto i = static_cast<std::size_t>(at);
    return static_cast<std::uint32_t>(data[i]) | (static_cast<std::uint32_t>(data[i + 1]) << 8) |
           (static_cast<std::uint32_t>(data[i + 2]) << 16) |
           (static_cast<std::uint32_t>(data[i + 3]) << 24);
}

inline std::optional<std::int32_t> readI32le(std::span<const std::uint8_t> data, std::int64_t at) {
    auto v = readU32le(data, at);
    if (!v)
        return std::nullopt;
    return static_cast<std::int32_t>(*v); // two's complement, defined since C++20
}

// Stores the low `width` bytes of `value` little-endian; false (nothing written)
// when the place does not fit.
inline bool writeLe(std::span<std::uint8_t> data, std::int64_t at, std::size_t width,
                    std::uint32_t value) {
    if (width > 4 || !fitsInside(at, width, data.size()))
        return false;
    for (std::size_t k = 0; k < width; ++k)
        data[static_cast<std::size_t>(at) + k] = static_cast<std::uint8_t>(value >> (8 * k));
    return true;
}

} // namespace varnholt
