// The shared window descriptions: dialog units as the platform converts them,
// and the window-menu entries of the About box.

#include "window/DialogUnits.h"
#include "window/WindowMenu.h"

#include <gtest/gtest.h>

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

TEST(WindowMenu, AboutEntriesAndTheCommandTest) {
    const std::vector<MenuEntry> full{{true, 0, ""}, {false, 16, "&About Varnholt..."}};
    EXPECT_EQ(aboutMenuEntries(), full);
    EXPECT_TRUE(aboutMenuEntries("").empty()) << "no text, no entry";
    for (unsigned id = 0; id < 64; ++id)
        EXPECT_EQ(isAboutCommand(id), id >= 16 && id <= 31) << id;
    // The platform's own window-menu commands, and bits above the low word.
    for (const unsigned id : {0xF000u, 0xF060u, 0x10010u, 0xFFFF0010u})
        EXPECT_FALSE(isAboutCommand(id)) << id;
}

} // namespace
} // namespace varnholt
