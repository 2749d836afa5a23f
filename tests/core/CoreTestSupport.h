#pragma once
// A save loaded from scratch, as varnholt-cli takes it in, for the core suites.

#include "core/SaveGameLoader.h"

#include <gtest/gtest.h>

#include <string>

namespace varnholt::test {

struct Loaded {
    LoadResult result;
    SaveGameInfo info;
    SaveSettings settings;
};

inline Loaded load(const std::string& path) {
    LoadResult result = loadSaveGame(path);
    return {result, infoAfter(result, {}), settingsAfter(result, {})};
}

inline Loaded loadOrFail(const std::string& path) {
    Loaded loaded = load(path);
    EXPECT_TRUE(loaded.result.succeeded()) << path;
    return loaded;
}

} // namespace varnholt::test
