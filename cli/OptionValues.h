#pragma once
// The values of apply's options, read from their text as far as that can be
// done without the save. Each refusal is a UsageError.

#include "cli/CommandLine.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace varnholt::cli {

// The number that `text` is as a whole: decimal digits with an optional "-",
// nothing before or after them, within the range of long long.
std::optional<long long> wholeTextAsInteger(const std::string& text);

// The index of the one of `choices` that `value` is, in any letter case.
std::size_t choose(const std::string& option, const std::string& value,
                   std::initializer_list<const char*> choices);

// A level 0 to 3, or a name to be looked up in the save's names.
DifficultyArg difficultyOf(const std::string& option, const std::string& value);

// A number of the unit-scale table.
int unitScaleOf(const std::string& value);

// The year's number, 1 or more and no more than a BC year can hold.
std::int64_t yearOf(const std::string& value);

} // namespace varnholt::cli
