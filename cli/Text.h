#pragma once
// Texts that more than one part of varnholt-cli writes.

#include "words/Names.h"

#include <string>

namespace varnholt::cli {

inline constexpr const char* programName = "varnholt-cli";

// `text` on one line: control characters (a campaign name may hold any) are
// shown as escapes, C1 ones (U+0080 to U+009F) too, so each line stays one line
// and nothing reaches the terminal as a command.
std::string printable(const std::string& text);

// `text` with the letters A to Z made small; every other byte is kept.
std::string lower(std::string text);

// "Easy, Medium, Hard, Very Hard"
std::string joined(const DifficultyNameSet& names);

// "Small 20, Normal 25-40, Large 45-85, Huge 90-160", from the unit-scale table.
std::string unitScaleClasses();

} // namespace varnholt::cli
