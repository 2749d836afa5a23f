#include "editor/EditorLayout.h"

#include "window/LocalizedDialog.h"
#include "words/Names.h"
#include "words/UiText.h"

#include <array>
#include <string_view>

namespace varnholt {

namespace {

// The list items come from the vocabularies: the difficulty lists start with
// the standard names, the size-class list always holds the class names.
const auto& difficultyItems = difficultyNames(DifficultyNames::Standard);
const auto& sizeClassItems = unitScaleClassNames();

// A closed drop-down list is as tall as the text boxes beside it.
constexpr int closedListHeight = 14;

using K = ControlKind;

// Builders keep the table to one row per control and make each row say only
// what differs from the plain control of its kind.
constexpr ControlLayout label(int id, std::string_view caption, DialogRect r) {
    ControlLayout c;
    c.id = id;
    c.kind = K::Label;
    c.caption = caption;
    c.rect = r;
    return c;
}

// Labels that show texts from a saved game: an "&" in a campaign or faction
// name is shown as it is, never taken for a mnemonic marker.
constexpr ControlLayout valueLabel(int id, DialogRect r) {
    ControlLayout c = label(id, {}, r);
    c.noPrefix = true;
    return c;
}

constexpr ControlLayout groupBox(std::string_view caption, DialogRect r) {
    ControlLayout c = label(noControlId, caption, r);
    c.kind = K::GroupBox;
    return c;
}

constexpr ControlLayout tabbed(int id, ControlKind kind, std::string_view caption, DialogRect r) {
    ControlLayout c = label(id, caption, r);
    c.kind = kind;
    c.tabStop = true;
    return c;
}

constexpr ControlLayout textBox(int id, DialogRect r) {
    ControlLayout c = tabbed(id, K::TextBox, {}, r);
    c.autoScroll = true;
    return c;
}

constexpr ControlLayout list(int id, DialogRect r, std::span<const std::string_view> items) {
    ControlLayout c = tabbed(id, K::DropDownList, {}, r);
    c.items = items;
    c.closedHeight = closedListHeight;
    return c;
}

constexpr ControlLayout spin(int id, DialogRect r, int buddy, int minimum, int maximum) {
    ControlLayout c = label(id, {}, r);
    c.kind = K::Spin;
    c.buddyId = buddy;
    c.spinMinimum = minimum;
    c.spinMaximum = maximum;
    c.spinArrowKeys = true;
    return c;
}

// A control that neither its own caption nor the text before it names: the
// difficulty lists share one group box, and the check box before each says
// what ticking does.
constexpr ControlLayout named(ControlLayout c, std::string_view accessibleName) {
    c.accessibleName = accessibleName;
    return c;
}

constexpr ControlLayout grouped(ControlLayout c) {
    c.groupStart = true;
    return c;
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
    ControlLayout c = tabbed(idUnitScale, K::TextBox, {}, {126, 198, 24, 14});
    c.readOnly = true;
    c.digitsOnly = true;
    c.rightAligned = true;
    c.lengthLimit = 3;
    return c;
}

constexpr ControlLayout makeYear() {
    ControlLayout c = tabbed(idYear, K::TextBox, {}, {246, 198, 24, 14});
    c.rightAligned = true;
    c.lengthLimit = 4;
    return c;
}

constexpr ControlLayout makeRefresh() {
    // Screen readers name it after its pictures, as a word: "Refresh".
    [[maybe_unused]] constexpr const char* spokenName = uiText("Refresh");
    ControlLayout c = tabbed(idRefresh, K::PictureButton, "REFRESH", {366, 12, 13, 14});
    // The caption names the pictures: REFRESH followed by U, D, F and X.
    c.pictures = {"REFRESHU", "REFRESHD", "REFRESHF", "REFRESHX", 20, 23};
    return c;
}

constexpr ControlLayout makeClose() {
    ControlLayout c = tabbed(idOk, K::PushButton, uiText("&Close"), {336, 234, 50, 16});
    c.defaultButton = true;
    return c;
}

const ControlLayout controlTable[] = {
    label(noControlId, uiText("Save game &file name:"), {12, 14, 72, 8}),
    makeSourcePath(),
    makeRefresh(),
    tabbed(idBrowse, K::PushButton, uiText("B&rowse..."), {384, 12, 50, 14}),
    label(noControlId, uiText("New game file name:"), {12, 38, 72, 8}),
    makeOutputPath(),
    label(noControlId, uiText("Version:"), {12, 60, 30, 8}),
    valueLabel(idReleaseLabel, {48, 60, 24, 8}),
    label(noControlId, uiText("Campaign:"), {84, 60, 35, 8}),
    valueLabel(idCampaignName, {126, 60, 126, 8}),
    label(noControlId, uiText("Faction:"), {258, 60, 27, 8}),
    valueLabel(idFactionName, {294, 60, 90, 8}),
    groupBox(uiText("Difficulty"), {12, 72, 372, 36}),
    tabbed(idSetCampaignDifficulty, K::CheckBox, uiText("Set cam&paign difficulty:"),
           {24, 86, 91, 10}),
    named(list(idCampaignDifficulty, {120, 84, 78, 72}, difficultyItems),
          // TRANSLATORS: what a screen reader calls the list beside "Set
          // campaign difficulty:", the difficulty it sets.
          uiText("Campaign difficulty")),
    tabbed(idSetBattleDifficulty, K::CheckBox, uiText("Set &battle difficulty:"),
           {210, 86, 79, 10}),
    named(list(idBattleDifficulty, {294, 84, 78, 72}, difficultyItems),
          // TRANSLATORS: what a screen reader calls the list beside "Set
          // battle difficulty:", the difficulty it sets.
          uiText("Battle difficulty")),
    groupBox(uiText("Battle time limit/no time limit"), {12, 114, 180, 48}),
    tabbed(idSetBattleTimeLimit, K::CheckBox, uiText("Set battle &time limit/no time limit"),
           {24, 126, 117, 10}),
    tabbed(idNoBattleTimeLimit, K::CheckBox, uiText("No battle time &limit"), {42, 144, 75, 10}),
    groupBox(uiText("Long/short campaign (experimental)"), {204, 114, 180, 48}),
    tabbed(idSetCampaignLength, K::CheckBox, uiText("S&et long/short campaign"),
           {216, 126, 93, 10}),
    tabbed(idShortCampaign, K::CheckBox, uiText("S&hort campaign"), {234, 144, 65, 10}),
    groupBox(uiText("Unit scale"), {12, 168, 180, 60}),
    tabbed(idSetUnitScale, K::CheckBox, uiText("Set &unit scale:"), {24, 182, 61, 10}),
    list(idUnitScaleClass, {42, 198, 78, 72}, sizeClassItems),
    makeUnitScale(),
    spin(idUnitScaleSpin, {150, 198, 11, 14}, idUnitScale, 20, 160),
    groupBox(uiText("Year && Season"), {204, 168, 180, 60}),
    tabbed(idSetYearAndSeason, K::CheckBox, uiText("Set &year && season"), {216, 180, 75, 10}),
    label(idYearLabel, uiText("Year:"), {222, 200, 18, 8}),
    makeYear(),
    spin(idYearSpin, {270, 198, 11, 14}, idYear, 1, 9999),
    // TRANSLATORS: the era of the year, in the language's usual short form
    // (before and after Christ, or before and of the common era).
    grouped(tabbed(idBC, K::RadioButton, uiText("BC"), {288, 198, 24, 10})),
    tabbed(idAD, K::RadioButton, uiText("AD"), {288, 210, 24, 10}),
    grouped(tabbed(idSummer, K::RadioButton, uiText("Summer"), {324, 198, 42, 8})),
    tabbed(idWinter, K::RadioButton, uiText("Winter"), {324, 210, 42, 8}),
    // A new group after the last radio button keeps the arrow keys inside the
    // season group.
    grouped(tabbed(idApply, K::PushButton, uiText("&Apply"), {12, 234, 50, 16})),
    makeClose(),
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
