#pragma once
// What apply asks the writer for, once the save is loaded.

#include "cli/CommandLine.h"
#include "core/ApplyChanges.h"
#include "core/SaveGameInfo.h"

namespace varnholt::cli {

// The edit that `args` asks of the save that `info` describes. Refuses (with a
// UsageError) what only the save rules out: a difficulty name the save does not
// have, a campaign length in an expansion save, a date the save cannot hold.
EditRequest requestFor(const ApplyArgs& args, const SaveGameInfo& info);

// The magnitude of the stored year; the one 32-bit year without a 32-bit
// magnitude (2147483648 BC) is kept in the record as stored.
std::int64_t yearNumber(const SaveGameInfo& info);

} // namespace varnholt::cli
