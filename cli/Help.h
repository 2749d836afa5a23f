#pragma once
// The text of varnholt-cli --help, for the program or one command.

#include "cli/CommandLine.h"

#include <string>

namespace varnholt::cli {

// "varnholt-cli VERSION"
std::string versionLine();

// The usage, options, examples and exit codes; `topic` Info or Apply keeps to
// that command, any other topic covers every command.
std::string helpText(Command topic);

} // namespace varnholt::cli
