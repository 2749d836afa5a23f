#pragma once
// The sentence the user reads for each cause core reports: a file's failure,
// a load's problem, an Apply's problem, an output name that cannot be made.
// In the user's language where a catalogue is installed (words/UiText.h),
// else in English, as varnholt-cli writes them.

#include "core/ApplyChanges.h"
#include "core/FileAccess.h"
#include "core/OutputName.h"
#include "core/SaveGameLoader.h"
#include "words/UiText.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace varnholt {

// The description of a failure is cut to this many bytes (never inside a
// UTF-8 sequence).
inline constexpr std::size_t maxFailureDescription = 254;

// The sentence for a failed file operation, with `path` in it ("an unnamed
// file" when empty), cut to maxFailureDescription.
std::string fileErrorDescription(FileErrorCause cause, const std::string& path);

// "Error reading PATH: DESCRIPTION." and "Error writing PATH: DESCRIPTION.",
// ending in one full stop whether or not the description ends in its own.
std::string readErrorText(std::string_view path, std::string_view description);
std::string writeErrorText(std::string_view path, std::string_view description);

// `pattern` in the user's language with its one "%s" replaced by `path`.
std::string withPath(const char* pattern, const std::string& path);

// The message of a load's problem; `path` is the save's as the load was given it.
std::string loadProblemText(const LoadProblem& problem, const std::string& path);

// The prompt for year 0 in the year box (RequestProblem::NoYearZero).
inline constexpr const char* noYearZeroText =
    uiText("There is no year 0: 1 BC is followed by 1 AD. Please enter a year of 1 or more.");

// The message of an Apply's problem.
std::string applyProblemText(const ApplyProblem& problem, const std::string& sourcePath,
                             const std::string& outputPath);

// Why no new name could be made after `savePath`.
std::string outputNameText(const OutputNameResult& result, const std::string& savePath);

} // namespace varnholt
