#pragma once
// The program's own "Did you mean" for a word it does not know.

#include <string>
#include <vector>

namespace varnholt::cli {

// " Did you mean 'X'?" for the nearest of `candidates` (never empty) by edits,
// letter case aside, if it is near enough: two edits, or a quarter of its length
// when that is more. Otherwise "".
std::string suggestion(const std::string& typed, const std::vector<std::string>& candidates);

} // namespace varnholt::cli
