#pragma once
// Writing a patched copy of a saved game under a new name.

#include "core/FileAccess.h"
#include "core/GameVersion.h"
#include "core/SaveLayout.h"
#include "core/SaveReader.h"
#include "core/Vocabularies.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnholt {

enum class Era { BC, AD };
enum class Season { Summer, Winter };

// The current year and season. `year` is the year's number as given: BC years
// are stored negated, and a negative number is stored as it comes.
struct YearAndSeason {
    std::int64_t year = 270;
    Era era = Era::BC;
    Season season = Season::Summer;
    bool operator==(const YearAndSeason&) const = default;
};

// What to write: each group that is given, with its value; the others stay
// as the save has them.
struct EditRequest {
    std::optional<Difficulty> campaignDifficulty;
    std::optional<Difficulty> battleDifficulty;
    std::optional<bool> noBattleTimeLimit; // true: battles without a time limit
    std::optional<bool> shortCampaign;     // true: short, false: long
    std::optional<int> unitScale;          // a number of the unit-scale table
    std::optional<YearAndSeason> yearAndSeason;
    bool operator==(const EditRequest&) const = default;
};

// What a request asks that a save of the release cannot take.
enum class RequestProblem {
    DifficultyOutOfRange,    // a difficulty other than 0 to 3
    NoCampaignLengthSetting, // a campaign length for an expansion save, which has none
    YearDoesNotFit,          // a year whose stored value needs more than 32 bits
    NoYearZero,              // year 0, BC or AD: 1 BC is followed by 1 AD
};

// Every problem of the request for such a save, in the order above. A unit
// scale outside the table is not one: Apply reports it and writes the rest.
std::vector<RequestProblem> validate(const EditRequest& request, const GameVersion& version);

// Why an Apply wrote nothing, or what it left out; the words for each are
// chosen above core (words/Messages.h).
enum class ApplyProblemKind {
    UnitScaleNotRecognised, // the unit scale is left out; the rest is written
    ReadFailed,             // reading the source failed (`cause`)
    WriteFailed,            // making or writing the new file failed (`cause`)
    OutOfMemory,
    LayoutChanged,  // the source no longer has the layout its load found
    ReplacesSource, // the output path names the source itself
};

struct ApplyProblem {
    ApplyProblemKind kind = ApplyProblemKind::ReadFailed;
    FileErrorCause cause = FileErrorCause::None; // for ReadFailed and WriteFailed
    bool operator==(const ApplyProblem&) const = default;
};

struct ApplyOutcome {
    bool written = false;
    std::vector<ApplyProblem> problems; // in the order they arose
};

// One change of Apply: `width` bytes (1 to 4) at `offset`, laid over the
// save's own bytes.
struct BytePatch {
    std::uint64_t offset = 0;
    std::uint8_t bytes[4] = {};
    std::size_t width = 0;
    bool operator==(const BytePatch&) const = default;
};

// What Apply is to write, decided before anything is written: the patches in
// order of writing, and the problems (a refusal leaves `ready` false and no
// patches; a unit scale not in the table is left out of a ready plan).
struct ApplyPlan {
    bool ready = false;
    std::vector<BytePatch> patches;
    std::vector<ApplyProblem> problems;
};

// Reads the save through `source` (its bytes from the start), checks that it
// still has the layout its last load found, and plans the patches of every
// group the request gives; `reaches(end)` tells whether the save goes on to
// byte `end`, which every patch must lie before. Writes nothing: a platform
// that writes files in its own way lays the patches over the save's bytes
// itself. Throws what `source` and `reaches` throw.
ApplyPlan planChanges(SaveReader& source, const std::function<bool(std::uint64_t)>& reaches,
                      const std::string& sourcePath, const LoadedLayout& layout,
                      const EditRequest& request, PathStyle style = nativePathStyle);
// planChanges for the file at `sourcePath`, read afresh; a failure to read it
// is the plan's ReadFailed problem.
ApplyPlan planChanges(const std::string& sourcePath, const LoadedLayout& layout,
                      const EditRequest& request, PathStyle style = nativePathStyle);

// Reads `sourcePath` afresh, checks that it still has the layout its last load
// found (layout family, campaign name offset and shift, anchor shift, stored
// faction byte), patches each group the request gives at every place the layout gives,
// and writes the whole result safely to `outputPath`. The source is never
// written. An empty outputPath does nothing. Any place outside the data
// refuses the whole apply; nothing is written then. A campaign length is left
// out for an expansion save, which has none.
ApplyOutcome applyChanges(const std::string& sourcePath, const std::string& outputPath,
                          const LoadedLayout& layout, const EditRequest& request,
                          PathStyle style = nativePathStyle);

} // namespace varnholt
