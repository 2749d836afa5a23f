#pragma once
// Writing a patched copy of a saved game under a new name.

#include "core/GameVersion.h"
#include "core/SaveLayout.h"
#include "core/UiText.h"

#include <string>
#include <vector>

namespace varnholt {

struct EditRequest {
    bool setCampaignDifficulty = false;
    int campaignDifficulty = 1; // list index; -1 when nothing is selected (written as 0)
    bool setBattleDifficulty = false;
    int battleDifficulty = 1;
    bool setBattleTimeLimit = false;
    bool noBattleTimeLimit = true;
    bool setCampaignLength = false;
    bool shortCampaign = false;
    bool setUnitScale = false;
    int unitScale = 40;
    bool setYearAndSeason = false;
    std::int32_t year = 270;
    int isAD = 0;     // choice: 0 BC, any other value AD
    int isWinter = 0; // choice: 0 summer, 1 winter, -1 none ticked
};

struct ApplyOutcome {
    bool written = false;
    std::vector<std::string> errorTexts;
};

inline constexpr const char* unitScaleNotChangedText =
    uiText("Unit scale not recognised - unit scale will not be changed.");
// Descriptions after "Error reading %s: " / "Error writing %s: ".
inline constexpr const char* layoutChangedDescription = uiText(
    "The file has changed since it was loaded; load the saved game again before applying changes.");
inline constexpr const char* replacesSourceDescription =
    uiText("The new file would replace the saved game it is made from.");

// Reads `sourcePath` afresh, checks that it still has the layout its last load
// found (release, campaign name offset and shift, anchor shift, stored faction
// byte), patches each ticked group at every place the layout gives, and
// writes the whole result safely to `outputPath`. The source is never written.
// An empty outputPath does nothing. Any place outside the data refuses the whole
// apply; nothing is written then.
ApplyOutcome applyChanges(const std::string& sourcePath, const std::string& outputPath,
                          const LoadedLayout& layout, const EditRequest& request,
                          PathStyle style = nativePathStyle);

} // namespace varnholt
