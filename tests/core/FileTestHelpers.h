#pragma once
// What the file-access suites share: a recognisable byte pattern and the cause
// of a failure.

#include "core/FileAccess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace varnholt::testfiles {

// Bytes that differ from their neighbours and repeat only every 64 KiB or so.
inline std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 131 + (i >> 8));
    return bytes;
}

// The cause of the FileError `action` throws, which must name `path`; None
// when it throws nothing.
inline FileErrorCause causeOf(const std::function<void()>& action, const std::string& path) {
    try {
        action();
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), path) << error.what();
        return error.cause();
    }
    return FileErrorCause::None;
}

} // namespace varnholt::testfiles
