// The shared window descriptions: dialog units as the platform converts them,
// captions fitted to a real font, and the names a control is known by.

#include "window/ControlBuilders.h"
#include "window/ControlLabels.h"
#include "window/DialogUnits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include <optional>
#include <string>
#include <vector>

namespace varnholt {
namespace {

TEST(DialogUnits, FollowTheFontsAverageWidthAndHeight) {
    // Tahoma 8 at 96 DPI: the 52 letters are 287 pixels wide and the font 13
    // high, so a dialog unit is 6/4 by 13/8 pixels.
    const DialogBaseUnits tahoma = dialogBaseUnits(287, 13);
    EXPECT_EQ(tahoma, (DialogBaseUnits{6, 13}));
    // The editor window, 442 x 258 dialog units, is 663 x 419 pixels there.
    EXPECT_EQ(toPixels({0, 0, 442, 258}, tahoma), (PixelRect{0, 0, 663, 419}));
    // Each value is rounded on its own, halves away from zero.
    EXPECT_EQ(toPixels({1, 1, 3, 5}, tahoma), (PixelRect{2, 2, 5, 8}));
    EXPECT_EQ(horizontalPixels(-1, tahoma), -2);
    // A larger font (DejaVu Sans 9 on Linux: 385 pixels, 14 high) grows the window.
    const DialogBaseUnits dejaVu = dialogBaseUnits(385, 14);
    EXPECT_EQ(dejaVu, (DialogBaseUnits{7, 14}));
    EXPECT_EQ(toPixels({84, 12, 276, 14}, dejaVu), (PixelRect{147, 21, 483, 25}));
    // The average width rounds half up: 26 x 2k + 26 pixels is k + 1.
    EXPECT_EQ(dialogBaseUnits(26 * 12 + 26, 1).averageCharWidth, 7);
    EXPECT_EQ(dialogBaseUnits(26 * 12 + 25, 1).averageCharWidth, 6);
}

ControlLayout control(ControlKind kind, std::string_view caption, DialogRect rect, int id = 0) {
    return controls::control(kind, id, caption, rect);
}

TEST(DialogUnits, ACaptionThatWouldBeCutTakesTheRoomBesideItThenWidensTheDialog) {
    using K = ControlKind;
    ControlLayout controls[] = {
        control(K::CheckBox, "A", {10, 10, 30, 10}),
        control(K::PushButton, "B", {60, 10, 30, 14}),
        control(K::GroupBox, "G", {5, 25, 50, 20}),
        control(K::CheckBox, "C", {10, 30, 30, 10}),
        control(K::DropDownList, {}, {60, 30, 30, 60}),
    };
    controls[4].closedHeight = 14;
    DialogLayout layout;
    layout.rect = {0, 0, 100, 50};
    layout.controls = controls;
    const DialogBaseUnits base{6, 13};

    // Captions that fit: the layout as drawn; a list is as tall as it is closed.
    const FittedDialog plain = fitDialog(layout, base, {});
    EXPECT_EQ(plain.averageCharWidthEighths, 6 * 8);
    EXPECT_EQ(plain.width, 150);
    EXPECT_EQ(plain.height, 81);
    EXPECT_EQ(plain.controls[0], (PixelRect{15, 16, 45, 16}));
    EXPECT_EQ(plain.controls[4], (PixelRect{90, 49, 45, 23}));

    // A needs 60 pixels of its 45: its room runs to B less the margin (46
    // units, 69 pixels), so it takes them and nothing else moves.
    const int wideA[] = {60, 0, 0, 0, 0};
    const FittedDialog roomy = fitDialog(layout, base, wideA);
    EXPECT_EQ(roomy.averageCharWidthEighths, 6 * 8);
    EXPECT_EQ(roomy.controls[0].width, 60);
    EXPECT_EQ(roomy.controls[1], plain.controls[1]);
    // Exactly the room is enough; a pixel more widens the dialog, by an
    // eighth of a pixel of average width: 46 units at 6 1/8 hold 70.4 pixels.
    const int justA[] = {69, 0, 0, 0, 0};
    EXPECT_EQ(fitDialog(layout, base, justA).averageCharWidthEighths, 48);
    const int overA[] = {70, 0, 0, 0, 0};
    EXPECT_EQ(fitDialog(layout, base, overA).averageCharWidthEighths, 49);
    // The least average width at which the room, counted without rounding to
    // pixels, holds the caption: C's room of 41 units gives 71.75 pixels at 7
    // and 72.03 at 7 1/32 (the next eighth, 7 1/8, is the least that holds 72).
    const int c72[] = {0, 0, 0, 72, 0};
    EXPECT_EQ(fitDialog(layout, base, c72).averageCharWidthEighths, 57);
    const int c82[] = {0, 0, 0, 82, 0};
    EXPECT_EQ(fitDialog(layout, base, c82).averageCharWidthEighths, 64);

    // C needs 90: its room ends at its group's frame less the margin (41
    // units, 62 pixels), so the average width grows to the least that holds
    // it, 8 7/8 (41 x 71 / 32 = 90.97 pixels), and the whole dialog with it.
    const int wideC[] = {60, 0, 0, 90, 0};
    const FittedDialog widened = fitDialog(layout, base, wideC);
    EXPECT_EQ(widened.averageCharWidthEighths, 71);
    EXPECT_EQ(widened.width, 222);
    EXPECT_EQ(widened.height, 81);
    EXPECT_EQ(widened.controls[3], (PixelRect{22, 49, 90, 16}));
    EXPECT_EQ(widened.controls[0].width, 67) << "A's own width now holds its caption";
    EXPECT_EQ(widened.controls[4].x, 133);

    // Only a control beside a caption on its row and to its right bounds the
    // caption's room: not a group box it stands just outside of, a control to
    // its left, one that begins where it ends below it or ends where it begins
    // above it, nor one in another row.
    ControlLayout row[] = {
        control(K::GroupBox, "G", {0, 0, 20, 40}),   control(K::Label, "L", {5, 5, 10, 8}),
        control(K::CheckBox, "X", {20, 5, 30, 10}),  control(K::PushButton, "Y", {60, 15, 10, 10}),
        control(K::PushButton, "T", {60, 0, 10, 5}),
    };
    DialogLayout rowLayout;
    rowLayout.rect = {0, 0, 100, 40};
    rowLayout.controls = row;
    const int wideX[] = {0, 0, 100, 0, 0}; // its room, 76 units, is 114 pixels
    const FittedDialog roomyRow = fitDialog(rowLayout, base, wideX);
    EXPECT_EQ(roomyRow.averageCharWidthEighths, 6 * 8);
    EXPECT_EQ(roomyRow.controls[2].width, 100);

    // A caption with a single unit of room (a box at the dialog's edge, less
    // the margin) still widens the dialog until it fits; one with none cannot.
    ControlLayout edge[] = {control(K::CheckBox, "E", {5, 5, 1, 10}),
                            control(K::CheckBox, "Z", {10, 20, 0, 10})};
    DialogLayout edgeLayout;
    edgeLayout.rect = {0, 0, 10, 40};
    edgeLayout.controls = edge;
    const int wideE[] = {10, 0};
    EXPECT_EQ(fitDialog(edgeLayout, base, wideE).averageCharWidthEighths, 40 * 8);
    const int wideZ[] = {0, 10};
    EXPECT_EQ(fitDialog(edgeLayout, base, wideZ).averageCharWidthEighths, 6 * 8);

    // What the front end measures: not a value, which changes.
    EXPECT_TRUE(captionMustFit(control(K::Label, "Year:", {})));
    ControlLayout value = control(K::Label, "", {});
    value.noPrefix = true;
    EXPECT_FALSE(captionMustFit(value));
    value.caption = "Version 1.0 & more"; // a fixed text shown as it is
    EXPECT_TRUE(captionMustFit(value));
    EXPECT_FALSE(captionMustFit(control(K::Label, "", {})));
    EXPECT_TRUE(captionMustFit(control(K::CheckBox, "&Tick", {})));
    EXPECT_TRUE(captionMustFit(control(K::RadioButton, "&One", {})));
    EXPECT_TRUE(captionMustFit(control(K::PushButton, "&Close", {})));
    EXPECT_TRUE(captionMustFit(control(K::GroupBox, "Unit scale", {})));
    EXPECT_FALSE(captionMustFit(control(K::GroupBox, "", {})));

    // A push button or a group box keeps its own width, even with free room
    // to its right: the dialog widens instead, and the free room stays free.
    // A push button's caption also keeps its padding clear on either side.
    ControlLayout kept[] = {control(K::PushButton, "P", {0, 0, 20, 10}),
                            control(K::GroupBox, "G", {0, 20, 20, 10})};
    DialogLayout keptLayout;
    keptLayout.rect = {0, 0, 100, 40};
    keptLayout.controls = kept;
    const FittedDialog button = fitDialog(keptLayout, base, std::array{40, 0});
    EXPECT_EQ(button.averageCharWidthEighths, 72) << "18 units hold 40 pixels at 9 per 4";
    EXPECT_EQ(button.controls[0].width, 45) << "the caption and a unit either side";
    EXPECT_EQ(button.width, 225);
    const FittedDialog group = fitDialog(keptLayout, base, std::array{0, 40});
    EXPECT_EQ(group.averageCharWidthEighths, 64) << "20 units hold 40 pixels at 8 per 4";
    EXPECT_EQ(group.controls[1].width, 40);
    EXPECT_EQ(group.width, 200);

    // A static text that does not start a column also takes the free room to
    // its left, and still ends where its room to the right ends; one that
    // starts a column of captions keeps its left edge and widens the dialog.
    ControlLayout labels[] = {
        control(K::GroupBox, "G", {0, 0, 100, 40}), control(K::Label, "L", {30, 5, 10, 8}),
        control(K::TextBox, {}, {50, 5, 20, 12}),   control(K::Label, "M", {60, 20, 10, 8}),
        control(K::Label, "N", {60, 30, 10, 8}),
    };
    DialogLayout labelLayout;
    labelLayout.rect = {0, 0, 100, 40};
    labelLayout.controls = labels;
    const FittedDialog lone = fitDialog(labelLayout, base, std::array{0, 60, 0, 0, 0});
    EXPECT_EQ(lone.averageCharWidthEighths, 6 * 8) << "26 units to the left, 16 to the right";
    EXPECT_EQ(lone.controls[1], (PixelRect{9, 8, 60, 13})) << "it ends 4 units before the box";
    const FittedDialog column = fitDialog(labelLayout, base, std::array{0, 0, 0, 60, 0});
    EXPECT_EQ(column.averageCharWidthEighths, 54) << "M and N: 36 units to the right hold 60";
    EXPECT_EQ(column.controls[3].x, 101);
    labels[4].rect.x = 61;
    const FittedDialog loneM = fitDialog(labelLayout, base, std::array{0, 0, 0, 60, 0});
    EXPECT_EQ(loneM.averageCharWidthEighths, 6 * 8);
    EXPECT_EQ(loneM.controls[3].x, 84) << "moved left by what its 54 pixels to the right lack";

    // A static text whose rectangle reaches its box keeps the gap its English
    // caption leaves there: 20 units hold 30 pixels, 18 of them English, so a
    // caption of 24 needs 36 and the average width grows to 7 1/4 (57.6 eighths).
    // Without English widths it may run up to the margin before its box.
    ControlLayout reaching[] = {control(K::Label, "R", {0, 0, 20, 8}),
                                control(K::TextBox, {}, {20, 0, 30, 12})};
    DialogLayout reachingLayout;
    reachingLayout.rect = {0, 0, 60, 20};
    reachingLayout.controls = reaching;
    EXPECT_EQ(fitDialog(reachingLayout, base, std::array{24, 0}, std::array{18, 0})
                  .averageCharWidthEighths,
              58);
    EXPECT_EQ(fitDialog(reachingLayout, base, std::array{18, 0}, std::array{18, 0})
                  .averageCharWidthEighths,
              48)
        << "the English caption itself fits as it is";
    EXPECT_EQ(fitDialog(reachingLayout, base, std::array{24, 0}).averageCharWidthEighths, 48);
}

// A dialog template is converted by the platform with the font's own units, so
// the fitted layout goes back to dialog units that convert to no fewer pixels.
TEST(DialogUnits, AFittedLayoutInDialogUnitsConvertsToNoFewerPixelsThanTheFit) {
    using K = ControlKind;
    ControlLayout controls[] = {
        control(K::CheckBox, "A", {10, 10, 30, 10}),
        control(K::PushButton, "B", {60, 10, 30, 14}),
        control(K::GroupBox, "G", {5, 25, 50, 20}),
        control(K::CheckBox, "C", {10, 30, 30, 10}),
        control(K::DropDownList, {}, {60, 30, 31, 60}),
        control(K::Label, "L", {70, 0, 10, 4}),
    };
    controls[4].closedHeight = 14;
    DialogLayout layout;
    layout.caption = "Dialog";
    layout.rect = {0, 0, 97, 50};
    layout.controls = controls;

    // Captions that fit: the layout exactly as it is, whatever the font.
    for (int average = 3; average <= 12; ++average) {
        const FittedLayout same(layout, {average, 13}, std::vector<int>{20, 0, 0, 20, 0, 7});
        EXPECT_EQ(same.layout().rect, layout.rect);
        ASSERT_EQ(same.layout().controls.size(), 6u);
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(same.layout().controls[i].rect, controls[i].rect) << i;
    }

    // Captions that widen a control, or the dialog, at many fonts: every
    // value converts to at least the fitted pixels and no unit more than
    // that needs; the heights and the texts stay; what lay inside stays inside.
    // L moves left into its free room when its room to the right is short.
    const std::vector<std::vector<int>> needs{
        {90, 0, 0, 0, 0, 0},  {0, 0, 0, 113, 0, 0},    {0, 77, 0, 0, 0, 0}, {0, 0, 95, 0, 0, 0},
        {61, 0, 0, 97, 0, 0}, {0, 131, 103, 70, 0, 0}, {0, 0, 0, 0, 0, 50}, {90, 0, 0, 0, 0, 170}};
    for (int average = 3; average <= 12; ++average)
        for (const std::vector<int>& need : needs) {
            const DialogBaseUnits base{average, 13};
            SCOPED_TRACE(testing::Message()
                         << "average " << average << ", needs " << need[0] << " " << need[1] << " "
                         << need[2] << " " << need[3] << " " << need[5]);
            const FittedDialog pixels = fitDialog(layout, base, need);
            const FittedLayout fitted(layout, base, need);
            const DialogLayout& units = fitted.layout();
            EXPECT_EQ(units.caption, "Dialog");
            EXPECT_EQ(units.rect.height, 50);
            EXPECT_GE(horizontalPixels(units.rect.width, base), pixels.width);
            const auto fewest = [&](int value, int original, int wanted) {
                return value == original || horizontalPixels(value - 1, base) < wanted;
            };
            EXPECT_TRUE(fewest(units.rect.width, layout.rect.width, pixels.width) ||
                        std::any_of(units.controls.begin(), units.controls.end(),
                                    [&](const ControlLayout& c) {
                                        return c.rect.x + c.rect.width == units.rect.width;
                                    }))
                << "the dialog is no wider than the fit or its controls need";
            for (std::size_t i = 0; i < 6; ++i) {
                const DialogRect& r = units.controls[i].rect;
                const PixelRect& p = pixels.controls[i];
                SCOPED_TRACE(i);
                EXPECT_EQ(units.controls[i].caption, controls[i].caption);
                EXPECT_EQ(r.y, controls[i].rect.y);
                EXPECT_EQ(r.height, controls[i].rect.height);
                EXPECT_GE(r.width, controls[i].rect.width);
                EXPECT_GE(horizontalPixels(r.width, base), need[i]) << "the caption fits";
                EXPECT_LE(r.x + r.width, units.rect.width);
                if (p.x < horizontalPixels(controls[i].rect.x, base)) {
                    // Moved left: it starts no later and ends no sooner.
                    EXPECT_LE(horizontalPixels(r.x, base), p.x);
                    EXPECT_GE(horizontalPixels(r.x + r.width, base), p.x + p.width);
                    continue;
                }
                EXPECT_GE(horizontalPixels(r.x, base), p.x);
                EXPECT_GE(horizontalPixels(r.width, base), p.width);
                EXPECT_TRUE(fewest(r.x, controls[i].rect.x, p.x));
                EXPECT_TRUE(fewest(r.width, controls[i].rect.width, p.width));
            }
        }
}

TEST(ControlLabels, AccessibleNamesAndTheLabelsOfControls) {
    using K = ControlKind;
    ControlLayout controls[] = {
        control(K::Label, "Save game &file name:", {}),
        control(K::TextBox, {}, {}, 2),
        control(K::PictureButton, "REFRESH", {}, 3),
        control(K::Label, "New game file name:", {}),
        control(K::TextBox, {}, {}, 4),
        control(K::Label, "Version:", {}),
        control(K::Label, {}, {}, 5),
        control(K::GroupBox, "Unit && scale", {10, 40, 100, 40}),
        control(K::CheckBox, "Set &unit scale:", {15, 50, 40, 10}, 7),
        control(K::DropDownList, {}, {60, 50, 20, 72}, 8),
        control(K::TextBox, {}, {60, 65, 20, 14}, 9),
        control(K::Spin, {}, {80, 65, 10, 14}, 10),
        control(K::CheckBox, "Set &battle difficulty:", {}, 15),
        control(K::DropDownList, {}, {}, 16),
        control(K::Label, "Year:", {}, 11),
        control(K::TextBox, {}, {}, 12),
        control(K::Spin, {}, {}, 13),
        control(K::PushButton, "&Close", {}, 1),
        control(K::Label, {}, {0, 90, 50, 10}, 14),
        control(K::Label, "&Email:", {}),
    };
    controls[4].readOnly = true;
    controls[4].tabStop = false;
    controls[6].noPrefix = controls[18].noPrefix = true;
    controls[9].closedHeight = 14;
    controls[11].buddyId = 9;
    controls[13].accessibleName = "Battle difficulty";
    controls[16].buddyId = 12;
    DialogLayout layout;
    layout.rect = {0, 0, 200, 100};
    layout.controls = controls;

    std::vector<std::string> names;
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
        names.push_back(accessibleName(layout, i));
    const std::vector<std::string> expected{
        "Save game file name",
        "Save game file name", // the label before a box names it
        "Refresh",             // the pictures' name, as a word
        "New game file name",
        "New game file name", // a read-only box too
        "Version",
        "Version",      // a value is named by its caption
        "Unit & scale", // shown as it is drawn
        "Set unit scale",
        "Unit & scale", // not by the check box before it: by the group, closed
        "Unit & scale",
        "Unit & scale", // a spin as its box
        "Set battle difficulty",
        "Battle difficulty", // the layout's own name
        "Year",
        "Year",
        "Year",
        "Close",
        "", // the status line: nothing before it names it
        "Email",
    };
    EXPECT_EQ(names, expected);

    // The dialog's first control may be the group that names a box.
    ControlLayout framed[] = {control(K::GroupBox, "Scale", {0, 0, 50, 50}),
                              control(K::TextBox, {}, {5, 5, 20, 10}, 2)};
    DialogLayout framedLayout;
    framedLayout.controls = framed;
    EXPECT_EQ(accessibleName(framedLayout, 1), "Scale");

    // A mnemonic label leads to the Tab stop that follows it; nothing else
    // does, and a label with nothing after it leads nowhere.
    EXPECT_EQ(mnemonicTarget(layout, 0), std::optional<std::size_t>(1));
    for (const std::size_t i : {1u, 3u, 8u, 14u, 17u, 19u, 99u})
        EXPECT_EQ(mnemonicTarget(layout, i), std::nullopt) << i;

    // A label is the named relation of the box after it, with a mnemonic or
    // without, read-only or not; a value, a check box or nothing is not.
    const std::map<std::size_t, std::size_t> labelled{{0, 1}, {3, 4}, {14, 15}};
    for (std::size_t i = 0; i <= layout.controls.size(); ++i) {
        const auto it = labelled.find(i);
        EXPECT_EQ(labelledControl(layout, i),
                  it == labelled.end() ? std::nullopt : std::optional<std::size_t>(it->second))
            << i;
    }
}

} // namespace
} // namespace varnholt
