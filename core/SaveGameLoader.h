#pragma once
// Loading a saved game: a function from a path to what it learnt and how it
// failed. It touches nothing else; the caller takes the findings in.

#include "core/FileAccess.h"
#include "core/GameVersion.h"
#include "core/SaveGameInfo.h"
#include "core/UnitScaleTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnholt {

// Why a load stopped, or what it warns of; the words for each are chosen above
// core (words/Messages.h). Only UnitScaleNotRecognised is a warning: the load
// goes on with the default unit scale.
enum class LoadProblemKind {
    FileFailed,     // opening or reading failed (`cause`)
    OutOfMemory,    // no memory for the file's bytes
    UnknownRelease, // a header of no known release, or a file too short for one
    NoCampaignName, // the campaign name is empty, or runs past the data
    NoAnchor,       // the anchor text is nowhere in the file, or a place read lies past the data
    UnitScaleNotRecognised,
};

struct LoadProblem {
    LoadProblemKind kind = LoadProblemKind::FileFailed;
    FileErrorCause cause = FileErrorCause::None; // for FileFailed
    bool isWarning() const { return kind == LoadProblemKind::UnitScaleNotRecognised; }
    bool operator==(const LoadProblem&) const = default;
};

// What the campaign name told: the name, its shift, whether it is the
// modification's, and the vocabularies it chose.
struct LoadedCampaign {
    std::string name; // UTF-8
    bool isModCampaign = false;
    std::int64_t campaignShift = 0;
    Vocabularies vocabularies;
    bool operator==(const LoadedCampaign&) const = default;
};

// What a complete load read: the anchor's shift and every setting as stored.
// A stored value out of range is nothing (a faction of 20 or more, a
// difficulty of 4 or more, a unit scale not in the table).
struct LoadedSettings {
    std::int64_t anchorShift = 0;
    int storedFactionByte = 0;
    std::optional<int> factionCode;
    std::optional<Difficulty> battleDifficulty;
    // Read from the record of the stored faction, or of the faction in force
    // before the load when the stored one is past the table.
    std::optional<Difficulty> campaignDifficulty;
    bool noBattleTimeLimit = true;
    bool shortCampaign = false;
    std::optional<UnitScaleRow> unitScale;
    bool isWinter = false;
    std::int32_t storedYear = 0;
};

// What a load learnt, step by step: the release (which also places the
// campaign name), then the campaign name, then everything. A step that failed
// leaves its part and the parts after it empty. `problems` are in the order
// they arose: the one that stopped the load last, warnings before it.
struct LoadResult {
    std::optional<GameVersion> version;
    std::optional<LoadedCampaign> campaign;
    std::optional<LoadedSettings> settings;
    std::vector<LoadProblem> problems;
    bool succeeded() const { return settings.has_value(); }
};

// Reads the save at `path`. `factionInForce` is the player's faction the
// caller holds (0 before any load): a stored faction of 20 or more leaves it
// in force, and its record gives the campaign difficulty. `folders` answers
// the release's folder test (the file system's directories by default). It
// reads as far into the file as the decoding needs (the anchor may lie
// anywhere), never beyond the data, and the settings only once every place
// they are read from is known to lie inside it.
LoadResult loadSaveGame(const std::string& path, int factionInForce = 0,
                        const DirectoryQuery& folders = directoryOnDisk,
                        PathStyle style = nativePathStyle);

// `before` with what `result` found: the release and the campaign name's
// offset, then the campaign name, its shift and vocabularies, then the anchor
// and the faction, as far as the load got. A stored faction past the table
// keeps the earlier one; a faction its table has no name for keeps the
// earlier name.
SaveGameInfo infoAfter(const LoadResult& result, SaveGameInfo before);

// `before` with the settings a complete load read, or `before` itself after
// a load that did not complete: a difficulty past the names keeps the earlier
// one; a unit scale not in the table becomes the default, 40 (Normal).
SaveSettings settingsAfter(const LoadResult& result, SaveSettings before);

} // namespace varnholt
