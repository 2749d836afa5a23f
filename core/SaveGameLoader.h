#pragma once
// Loading a saved game into a SaveGameInfo.

#include "core/GameVersion.h"
#include "core/SaveGameInfo.h"
#include "core/UiText.h"

#include <functional>
#include <string>
#include <string_view>

namespace varnholt {

enum class Severity { Error, Warning };

struct LoadMessage {
    std::string text;
    Severity severity = Severity::Error;
    bool operator==(const LoadMessage&) const = default;
};

using LoadMessageSink = std::function<void(const LoadMessage&)>;

// The loader's texts (%s: the save's path).
inline constexpr const char* unknownVersionText = uiText("Error reading %s: Unknown IRD version.");
inline constexpr const char* noCampaignText =
    uiText("Error reading %s: Cannot find campaign details.");
inline constexpr const char* noAnchorText =
    uiText("Error reading %s: Cannot find descr_strat.txt.");
inline constexpr const char* unitScaleWarningText =
    uiText("Unit scale not recognised - will use default of 40 (Normal).");

// `pattern` with its one "%s" replaced by `path`.
std::string withPath(const char* pattern, const std::string& path);

// "Error reading PATH: DESCRIPTION." and "Error writing PATH: DESCRIPTION."
std::string readErrorText(std::string_view path, std::string_view description);
std::string writeErrorText(std::string_view path, std::string_view description);

// Reads the save at `path` and decodes it into `info`, reporting each message
// to `sink` as it arises (a warning does not stop the load). Returns true when
// the load succeeded. It reads as far into the file as the decoding needs (the
// anchor may lie anywhere), never beyond the data. A failure keeps the changes
// of the steps completed before it; the faction and the settings change only
// once every place they are read from is known to lie inside the data.
bool loadSaveGame(const std::string& path, SaveGameInfo& info, const LoadMessageSink& sink,
                  PathStyle style = nativePathStyle);

// The same; `vocabulariesChosen` runs as soon as the load has replaced the
// difficulty and faction names, which stay replaced when a later step fails (the
// editor then refills its difficulty lists).
bool loadSaveGame(const std::string& path, SaveGameInfo& info, const LoadMessageSink& sink,
                  const std::function<void()>& vocabulariesChosen,
                  PathStyle style = nativePathStyle);

} // namespace varnholt
