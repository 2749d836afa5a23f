#pragma once
// The two forms of `info`: labelled lines for people and one JSON object for scripts.

#include "core/SaveGameInfo.h"

#include <string>
#include <vector>

namespace varnholt::cli {

// What one successful load told of a saved game.
struct LoadedSave {
    SaveGameInfo info;
    SaveSettings settings;
    std::vector<std::string> warnings; // the loader's warnings, in order
};

// One "Label:   value" line for the release, the campaign, the faction and each
// setting in the words apply takes, then one per warning. `fullSavePath` names
// the expansion folder when that folder decided the release.
std::string describeForPeople(const LoadedSave& save, const std::string& fullSavePath);

// Every field of the load, the layout figures among them, and the warnings.
std::string describeAsJson(const LoadedSave& save);

} // namespace varnholt::cli
