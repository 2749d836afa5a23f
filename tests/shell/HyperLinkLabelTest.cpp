// The hyperlink label driven as a user would: the control is taken over, the
// pointer enters and leaves, the link is clicked with the platform succeeding
// or failing.

#include "shell/HyperLinkLabel.h"
#include "FakeLabelHost.h"

#include <gtest/gtest.h>

namespace varnholt::shell::test {
namespace {

using Log = std::vector<std::string>;
constexpr Colour link = rgb(0, 0, 238);
constexpr Colour visited = rgb(85, 26, 139);
constexpr Colour hover = rgb(255, 0, 0);

TEST(HyperLinkLabel, TakesOverAControlWithTextAndNoUrl) {
    FakeLabelHost host;
    host.text = "a@b.org";
    HyperLinkLabel label(host, "Varnholt");
    label.attach();

    EXPECT_EQ(label.url(), "a@b.org");
    // Measured underlined, so that hovering cannot clip the text.
    EXPECT_EQ(host.log, (Log{"reportClicks", "createUnderlinedFont 7", "measure a@b.org 8",
                             "addTool 1 98 14 a@b.org"}));
    EXPECT_EQ(host.movedTo, (Rect{10, 20, 53, 35}));
    EXPECT_EQ(label.textColour(), link);
}

TEST(HyperLinkLabel, EmptyControlShowsTheUrlAndSetUrlRetitlesOnlyTheTooltip) {
    FakeLabelHost host;
    HyperLinkLabel label(host, "Varnholt");
    label.setUrl("mailto:a@b.org");
    EXPECT_TRUE(host.log.empty()) << "no window yet, so nothing to fit";

    label.attach();
    EXPECT_EQ(host.text, "mailto:a@b.org");
    EXPECT_TRUE(host.logged("addTool 1 98 14 mailto:a@b.org"));

    host.log.clear();
    label.setUrl("mailto:c@d.org");
    EXPECT_EQ(host.text, "mailto:a@b.org");
    EXPECT_EQ(host.log, (Log{"measure mailto:a@b.org 8", "setToolText 1 mailto:c@d.org"}));
}

TEST(HyperLinkLabel, HoverClickAndLeave) {
    FakeLabelHost host;
    host.text = "mailto:a@b.org";
    HyperLinkLabel label(host, "Varnholt");
    label.attach();
    host.log.clear();

    label.onMouseMove();
    label.onMouseMove();
    EXPECT_EQ(label.textColour(), hover);
    EXPECT_EQ(host.log, (Log{"setFont 8", "invalidate", "startTimer 100 100"}));

    host.log.clear();
    host.pointer = {97, 13}; // last pixel inside
    label.onTimer();
    EXPECT_TRUE(host.log.empty());

    // A click ends hovering but leaves the timer and the underline running.
    label.onClicked();
    EXPECT_EQ(label.textColour(), visited);
    EXPECT_EQ(host.log, (Log{"open mailto:a@b.org", "invalidate"}));

    label.onMouseMove();
    EXPECT_EQ(label.textColour(), hover);
    host.log.clear();
    host.pointer = {98, 13}; // the right edge is outside
    label.onTimer();
    EXPECT_EQ(label.textColour(), visited);
    EXPECT_EQ(host.log, (Log{"stopTimer 100", "setFont 7", "invalidate"}));

    host.openOutcome = {false, "The specified file was not found."};
    host.log.clear();
    label.onClicked();
    EXPECT_EQ(label.textColour(), link) << "a failed click clears visited";
    EXPECT_EQ(host.log, (Log{"open mailto:a@b.org", "beep 1"}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], (MessageBoxRequest{"Varnholt",
                                                   "Unable to open hyperlink:\n\nThe specified "
                                                   "file was not found.",
                                                   MessageIcon::Warning}));
}

TEST(HyperLinkLabel, PointerAndFontsOnlyWhenThePlatformHasThem) {
    FakeLabelHost host;
    host.hand = CursorHandle::None;
    host.controlFont = FontHandle::None;
    host.text = "x";
    HyperLinkLabel label(host, "Varnholt");
    label.attach();
    EXPECT_FALSE(label.onSetCursor());
    label.onMouseMove();
    host.pointer = {-1, 0};
    label.onTimer();
    EXPECT_EQ(host.log, (Log{"reportClicks", "measure x 0", "addTool 1 98 14 x", "invalidate",
                             "startTimer 100 100", "stopTimer 100", "invalidate"}));
}

TEST(HyperLinkLabel, WindowAndLabelReleaseWhatTheyOwn) {
    FakeLabelHost host;
    {
        HyperLinkLabel label(host, "Varnholt");
        label.attach();
        EXPECT_TRUE(label.onSetCursor());
        host.log.clear();
        label.destroyWindow();
    }
    EXPECT_EQ(host.log, (Log{"stopTimer 100", "destroyWindow", "deleteFont 8", "destroyCursor 9",
                             "destroyToolTip"}));
}

TEST(FitRectToText, KeepsTheEdgeTheAlignmentNames) {
    const Rect window{10, 20, 110, 36}; // frame of 2 x 2 around a 98 x 14 client area
    const Rect client{0, 0, 98, 14};
    using enum HorizontalAlignment;
    struct Case {
        TextAlignment alignment;
        Size text;
        Rect expected;
    };
    const Case cases[] = {
        {{Left, false}, {41, 13}, {10, 20, 53, 35}},
        {{Right, false}, {41, 13}, {67, 20, 110, 35}},
        // 57 pixels to lose: 28 per side, so one pixel more than the text needs.
        {{Centre, false}, {41, 13}, {38, 20, 82, 35}},
        // 23 pixels to gain: truncated toward zero, 11 per side, one pixel short.
        {{Centre, false}, {121, 13}, {-1, 20, 121, 35}},
        {{Centre, false}, {40, 13}, {39, 20, 81, 35}},
        {{Left, true}, {41, 11}, {10, 21, 53, 35}},
        {{Left, true}, {41, 19}, {10, 18, 53, 38}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fitRectToText(window, client, c.text, c.alignment), c.expected)
            << static_cast<int>(c.alignment.horizontal) << " " << c.text.width << "x"
            << c.text.height;
    }
}

} // namespace
} // namespace varnholt::shell::test
