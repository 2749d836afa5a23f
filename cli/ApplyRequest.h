#pragma once
// What apply asks the writer for, once the save is loaded.

#include "cli/CommandLine.h"
#include "cli/Describe.h"
#include "core/ApplyChanges.h"

namespace varnholt::cli {

// The edit that `args` asks of the loaded save: the groups given, the date
// completed with the save's values for what was not given. Refuses (with a
// UsageError) what only the save rules out: a difficulty name the save does not
// have, and whatever core's validate() finds the save cannot take (a campaign
// length in an expansion save, a date the save cannot hold).
EditRequest requestFor(const ApplyArgs& args, const LoadedSave& save);

} // namespace varnholt::cli
