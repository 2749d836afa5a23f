#include "editor/EditorLayout.h"

#include "window/ControlBuilders.h"
#include "window/LocalizedDialog.h"
#include "words/Names.h"
#include "words/UiText.h"

#include <array>
#include <string_view>

namespace varnholt {

namespace {

// The list items are the words layer's names: the difficulty lists start with
// the standard names, the size-class list always holds the class names.
const auto& difficultyItems = difficultyNames(DifficultyNames::Standard);
const auto& sizeClassItems = unitScaleClassNames();

// A closed drop-down list is as tall as the text boxes beside it.
constexpr int closedListHeight = 14;

using K = ControlKind;
using namespace controls;

// Labels that show texts from a saved game: an "&" in a campaign or faction
// name is shown as it is, never taken for a mnemonic marker.
constexpr ControlLayout valueLabel(int id, DialogRect r) {
    return asItIs(label(id, {}, r));
}

constexpr ControlLayout textBox(int id, DialogRect r) {
    ControlLayout c = control(K::TextBox, id, {}, r);
    c.autoScroll = true;
    return c;
}

constexpr ControlLayout dropDown(int id, DialogRect r, std::span<const std::string_view> items) {
    return list(id, r, items, closedListHeight);
}

constexpr ControlLayout makeSourcePath() {
    return textBox(idSourcePath, {84, 12, 276, 14});
}

constexpr ControlLayout makeOutputPath() {
    ControlLayout c = textBox(idOutputPath, {84, 36, 276, 14});
    c.readOnly = true;
    c.tabStop = false;
    return c;
}

constexpr ControlLayout makeUnitScale() {
    ControlLayout c = control(K::TextBox, idUnitScale, {}, {126, 198, 24, 14});
    c.readOnly = true;
    c.digitsOnly = true;
    c.rightAligned = true;
    c.lengthLimit = 3;
    return c;
}

constexpr ControlLayout makeYear() {
    ControlLayout c = control(K::TextBox, idYear, {}, {246, 198, 24, 14});
    c.rightAligned = true;
    c.lengthLimit = 4;
    return c;
}

constexpr ControlLayout makeRefresh() {
    // Screen readers name it after its pictures, as a word: "Refresh".
    [[maybe_unused]] constexpr const char* spokenName = uiText("Refresh");
    ControlLayout c = control(K::PictureButton, idRefresh, "REFRESH", {366, 12, 13, 14});
    // The caption names the pictures: REFRESH followed by U, D, F and X.
    c.pictures = {"REFRESHU", "REFRESHD", "REFRESHF", "REFRESHX", 20, 23};
    return c;
}

const ControlLayout controlTable[] = {
    label(noControlId, uiText("Save game &file name:"), {12, 14, 72, 8}),
    makeSourcePath(),
    makeRefresh(),
    control(K::PushButton, idBrowse, uiText("B&rowse..."), {384, 12, 50, 14}),
    label(noControlId, uiText("New game file name:"), {12, 38, 72, 8}),
    makeOutputPath(),
    label(noControlId, uiText("Version:"), {12, 60, 30, 8}),
    valueLabel(idReleaseLabel, {48, 60, 24, 8}),
    label(noControlId, uiText("Campaign:"), {84, 60, 35, 8}),
    valueLabel(idCampaignName, {126, 60, 126, 8}),
    label(noControlId, uiText("Faction:"), {258, 60, 27, 8}),
    valueLabel(idFactionName, {294, 60, 90, 8}),
    groupBox(uiText("Difficulty"), {12, 72, 372, 36}),
    control(K::CheckBox, idSetCampaignDifficulty, uiText("Set cam&paign difficulty:"),
            {24, 86, 91, 10}),
    named(dropDown(idCampaignDifficulty, {120, 84, 78, 72}, difficultyItems),
          // TRANSLATORS: what a screen reader calls the list beside "Set
          // campaign difficulty:", the difficulty it sets.
          uiText("Campaign difficulty")),
    control(K::CheckBox, idSetBattleDifficulty, uiText("Set &battle difficulty:"),
            {210, 86, 79, 10}),
    named(dropDown(idBattleDifficulty, {294, 84, 78, 72}, difficultyItems),
          // TRANSLATORS: what a screen reader calls the list beside "Set
          // battle difficulty:", the difficulty it sets.
          uiText("Battle difficulty")),
    groupBox(uiText("Battle time limit/no time limit"), {12, 114, 180, 48}),
    control(K::CheckBox, idSetBattleTimeLimit, uiText("Set battle &time limit/no time limit"),
            {24, 126, 117, 10}),
    control(K::CheckBox, idNoBattleTimeLimit, uiText("No battle time &limit"), {42, 144, 75, 10}),
    groupBox(uiText("Long/short campaign (experimental)"), {204, 114, 180, 48}),
    control(K::CheckBox, idSetCampaignLength, uiText("S&et long/short campaign"),
            {216, 126, 93, 10}),
    control(K::CheckBox, idShortCampaign, uiText("S&hort campaign"), {234, 144, 65, 10}),
    groupBox(uiText("Unit scale"), {12, 168, 180, 60}),
    control(K::CheckBox, idSetUnitScale, uiText("Set &unit scale:"), {24, 182, 61, 10}),
    dropDown(idUnitScaleClass, {42, 198, 78, 72}, sizeClassItems),
    makeUnitScale(),
    spin(idUnitScaleSpin, {150, 198, 11, 14}, idUnitScale, 20, 160),
    groupBox(uiText("Year && Season"), {204, 168, 180, 60}),
    control(K::CheckBox, idSetYearAndSeason, uiText("Set &year && season"), {216, 180, 75, 10}),
    label(idYearLabel, uiText("Year:"), {222, 200, 18, 8}),
    makeYear(),
    spin(idYearSpin, {270, 198, 11, 14}, idYear, 1, 9999),
    // TRANSLATORS: the era of the year, in the language's usual short form
    // (before and after Christ, or before and of the common era).
    grouped(control(K::RadioButton, idBC, uiText("BC"), {288, 198, 24, 10})),
    control(K::RadioButton, idAD, uiText("AD"), {288, 210, 24, 10}),
    grouped(control(K::RadioButton, idSummer, uiText("Summer"), {324, 198, 42, 8})),
    control(K::RadioButton, idWinter, uiText("Winter"), {324, 210, 42, 8}),
    // A new group after the last radio button keeps the arrow keys inside the
    // season group.
    grouped(control(K::PushButton, idApply, uiText("&Apply"), {12, 234, 50, 16})),
    asDefault(control(K::PushButton, idOk, uiText("&Close"), {336, 234, 50, 16})),
    valueLabel(idStatusLine, {72, 238, 252, 12}),
};

} // namespace

const DialogLayout& englishEditorDialog() {
    static const DialogLayout english{.caption = "Varnholt",
                                      .rect = {0, 0, 442, 258},
                                      .iconId = applicationIconId,
                                      .windowMenu = true,
                                      .controls = controlTable};
    return english;
}

const DialogLayout& editorDialog() {
    static const LocalizedDialog dialog(englishEditorDialog());
    return dialog.layout();
}

} // namespace varnholt
