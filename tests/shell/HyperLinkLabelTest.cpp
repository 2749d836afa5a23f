// The hyperlink label driven as a user would: the control is taken over, the
// pointer enters and leaves, the link is clicked with the platform succeeding
// or failing. What is checked is what the window shows after each step.

#include "shell/HyperLinkLabel.h"
#include "FakeLabelHost.h"

#include <gtest/gtest.h>

namespace varnholt::shell::test {
namespace {

constexpr Colour link = rgb(0, 0, 238);
constexpr Colour visited = rgb(85, 26, 139);
constexpr Colour hover = rgb(255, 0, 0);

TEST(HyperLinkLabel, TakesOverAControlFittedToItsText) {
    FakeLabelHost host;
    HyperLinkLabel label(host, "Varnholt");
    host.label = &label;
    label.attach(control("a@b.org"));
    // The url is the text; the control shrinks to the text, keeping its left edge.
    EXPECT_EQ(host.shown, (Shown{"a@b.org", link, false, "a@b.org", true, {10, 20, 53, 35}}));
    EXPECT_EQ(label.url(), "a@b.org");

    label.attach(control("other", HorizontalAlignment::Right));
    EXPECT_EQ(host.shown.text, "a@b.org") << "attached once";

    // An empty control shows its url; a right-aligned one keeps its right edge.
    FakeLabelHost right;
    HyperLinkLabel empty(right, "Varnholt");
    right.label = &empty;
    empty.setUrl("mailto:a@b.org");
    EXPECT_TRUE(right.measured.empty()) << "no window yet, so nothing to fit";
    right.textSize = {121, 11};
    empty.attach(control("", HorizontalAlignment::Right));
    EXPECT_EQ(right.shown,
              (Shown{"mailto:a@b.org", link, false, "mailto:a@b.org", true, {-13, 20, 110, 33}}));

    // A new url: the tooltip follows, the text stays, and the text is fitted again.
    right.measured.clear();
    right.textSize = {50, 11};
    empty.setUrl("mailto:c@d.org");
    EXPECT_EQ(right.shown,
              (Shown{"mailto:a@b.org", link, false, "mailto:c@d.org", true, {58, 20, 110, 33}}));
    EXPECT_EQ(right.measured, std::vector<std::string>{"mailto:a@b.org"});
}

TEST(HyperLinkLabel, HoverClickAndLeave) {
    FakeLabelHost host;
    HyperLinkLabel label(host, "Varnholt");
    host.label = &label;
    label.attach(control("mailto:a@b.org"));

    label.onMouseMove();
    EXPECT_EQ(host.shown.colour, hover);
    EXPECT_TRUE(host.shown.underlined);
    EXPECT_TRUE(host.checking);
    EXPECT_EQ(host.checkPeriodMs, 100u);

    label.onLeaveCheck(); // the pointer is still inside
    EXPECT_EQ(host.shown.colour, hover);

    // A click ends hovering, but the underline and the check go on until the
    // pointer is found outside.
    label.onClicked();
    EXPECT_EQ(host.opened, std::vector<std::string>{"mailto:a@b.org"});
    EXPECT_EQ(host.shown.colour, visited);
    EXPECT_TRUE(host.shown.underlined);
    EXPECT_TRUE(host.checking);
    EXPECT_TRUE(host.beeps.empty());

    label.onMouseMove();
    EXPECT_EQ(host.shown.colour, hover);
    host.inside = false;
    label.onLeaveCheck();
    EXPECT_EQ(host.shown.colour, visited);
    EXPECT_FALSE(host.shown.underlined);
    EXPECT_FALSE(host.checking);
    label.onMouseMove();
    EXPECT_TRUE(host.checking) << "hovering again checks again";

    // A failed open clears visited, beeps and says why.
    host.openOutcome = {false, "The specified file was not found."};
    label.onClicked();
    EXPECT_EQ(host.shown.colour, link);
    EXPECT_EQ(host.beeps, std::vector<MessageIcon>{MessageIcon::Warning});
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], (MessageBoxRequest{"Varnholt",
                                                   "Unable to open hyperlink:\n\nThe specified "
                                                   "file was not found.",
                                                   MessageIcon::Warning}));
    // A platform that only says it failed: the label explains it.
    host.openOutcome = {false, {}};
    label.onClicked();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text,
              "Unable to open hyperlink:\n\nNo program could be started to open it.");
}

TEST(HyperLinkLabel, ADetachedLabelStopsCheckingAndShowsNoLink) {
    FakeLabelHost host;
    HyperLinkLabel label(host, "Varnholt");
    host.label = &label;
    label.attach(control("a@b.org"));
    label.onMouseMove();
    label.onClicked();
    label.detach();
    EXPECT_FALSE(host.checking) << "a click left the check running; detaching stops it";
    EXPECT_FALSE(label.wantsHandPointer());
    EXPECT_EQ(label.toolTipText(), "");

    label.attach(control("a@b.org"));
    EXPECT_EQ(host.shown, (Shown{"a@b.org", visited, false, "a@b.org", true, {10, 20, 53, 35}}));
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
