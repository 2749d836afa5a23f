#pragma once
// varnholt-cli: inspect and patch saved games from the command line (the
// command line itself: cli/CommandLine.h).
//
// Exit codes: 0 success; 1 the save failed to load or the output could not be
// written (the program's own texts on stderr); 2 a refused command line.

#include <iosfwd>
#include <string>
#include <vector>

namespace varnholt::cli {

inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1;
inline constexpr int exitUsage = 2;

// Runs the command with `args` (without the program name), writing to `out` and `err`.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace varnholt::cli
