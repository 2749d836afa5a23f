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
    host.styleBits = 0x1000; // an unrelated style bit must survive
    HyperLinkLabel label(host, "Varnholt");
    label.attach();

    EXPECT_EQ(label.url(), "a@b.org");
    EXPECT_EQ(host.styleBits, 0x1100ul);
    // Measured underlined, so that hovering cannot clip the text.
    EXPECT_EQ(host.log,
              (Log{"createUnderlinedFont 7", "measure a@b.org 8", "addTool 1 98 14 a@b.org"}));
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
    EXPECT_EQ(host.log, (Log{"shellOpen mailto:a@b.org 5", "invalidate"}));

    label.onMouseMove();
    EXPECT_EQ(label.textColour(), hover);
    host.log.clear();
    host.pointer = {98, 13}; // the right edge is outside
    label.onTimer();
    EXPECT_EQ(label.textColour(), visited);
    EXPECT_EQ(host.log, (Log{"stopTimer 100", "setFont 7", "invalidate"}));

    host.shellResult = 2; // and no web-page program registered
    host.log.clear();
    label.onClicked();
    EXPECT_EQ(label.textColour(), link) << "a failed click clears visited";
    EXPECT_EQ(host.log, (Log{"shellOpen mailto:a@b.org 5", "beep 1"}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], (MessageBoxRequest{"Varnholt",
                                                   "Unable to open hyperlink:\n\nThe specified "
                                                   "file was not found.",
                                                   MessageIcon::Exclamation}));
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
    EXPECT_EQ(host.log, (Log{"measure x 0", "addTool 1 98 14 x", "invalidate", "startTimer 100 100",
                             "stopTimer 100", "invalidate"}));
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

TEST(OpenUrl, FallsBackToTheWebPageProgram) {
    const std::string mail = "mailto:a@b.org";
    // "viewer.exe " plus one blank leaves 507 bytes of a 520-byte buffer for the URL.
    const std::string longest = "http://x/" + std::string(507 - 9, 'p');
    struct Case {
        std::string command; // registered under htmlfile\shell\open\command
        std::string url;
        std::optional<std::string> run;
    };
    const Case cases[] = {
        {R"("C:\Viewer\viewer.exe" -nohome "%1" -new)", mail,
         R"("C:\Viewer\viewer.exe" -nohome  )" + mail},
        {"viewer.exe -nohome", mail, "viewer.exe -nohome " + mail},
        {"viewer.exe %1 -new", mail, "viewer.exe  " + mail},
        {"viewer.exe \"%1 -new", mail, "viewer.exe \" " + mail},
        {"viewer.exe %1 \"%1\"", mail, "viewer.exe %1  " + mail},
        {"viewer.exe %1", longest, "viewer.exe  " + longest},
        {"viewer.exe %1", longest + "p", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command + " / " + std::to_string(c.url.size()));
        FakeLabelHost host;
        host.shellResult = 31;
        host.classesRoot = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", c.command}};
        const OpenResult result = openUrl(host, c.url, 5);
        if (c.run) {
            EXPECT_EQ(host.log.back(), "run " + *c.run + " 5");
            EXPECT_EQ(result, 33);
        } else {
            EXPECT_EQ(host.log.size(), 1u);
            EXPECT_EQ(result, 31) << "a refused fallback reports the shell's own failure";
        }
    }
}

TEST(OpenUrl, LookUpsThatFailOrDoNotFitReturnTheShellResult) {
    const std::string name(259, 't'); // the longest value that fits
    const std::string command = "\\shell\\open\\command";
    const std::pair<std::map<std::string, std::string, std::less<>>, OpenResult> cases[] = {
        {{}, 27},
        {{{".htm", "htmlfile"}}, 27},
        {{{".htm", name + "x"}, {name + "x" + command, "viewer.exe"}}, 27},
        {{{".htm", "htmlfile"}, {"htmlfile" + command, std::string(260, 'v')}}, 27},
        {{{".htm", name}, {name + command, std::string(259, 'v')}}, 33},
    };
    for (const auto& [registry, expected] : cases) {
        FakeLabelHost host;
        host.shellResult = 27;
        host.classesRoot = registry;
        EXPECT_EQ(openUrl(host, "mailto:a@b.org", 5), expected);
    }
    // The shell's result is judged unsigned: a "negative" handle is success.
    FakeLabelHost host;
    host.shellResult = -5;
    host.classesRoot = {{".htm", "htmlfile"}, {"htmlfile" + command, "viewer.exe"}};
    EXPECT_EQ(openUrl(host, "u", 5), -5);
    EXPECT_EQ(host.log.size(), 1u);
}

TEST(OpenErrorText, ExplainsKnownCodesAndNumbersTheRest) {
    const std::pair<OpenResult, std::string> cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {26, "A sharing violation occurred. "},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {4, "Unknown Error (4) occurred."},
        {33, "Unknown Error (33) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const auto& [code, explanation] : cases) {
        EXPECT_EQ(openErrorText(code), "Unable to open hyperlink:\n\n" + explanation) << code;
    }
}

TEST(FitRectToText, KeepsTheEdgeTheAlignmentNames) {
    const Rect window{10, 20, 110, 36}; // frame of 2 x 2 around a 98 x 14 client area
    const Rect client{0, 0, 98, 14};
    struct Case {
        unsigned long style;
        Size text;
        Rect expected;
    };
    const Case cases[] = {
        {0x0, {41, 13}, {10, 20, 53, 35}},
        {styleRight, {41, 13}, {67, 20, 110, 35}},
        // 57 pixels to lose: 28 per side, so one pixel more than the text needs.
        {styleCenter, {41, 13}, {38, 20, 82, 35}},
        // 23 pixels to gain: truncated toward zero, 11 per side, one pixel short.
        {styleCenter, {121, 13}, {-1, 20, 121, 35}},
        {styleCenter | styleRight, {40, 13}, {39, 20, 81, 35}},
        {styleCenterImage, {41, 11}, {10, 21, 53, 35}},
        {styleCenterImage, {41, 19}, {10, 18, 53, 38}},
        {0xC, {41, 13}, {10, 20, 53, 35}}, // no-word-wrap left text
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fitRectToText(window, client, c.text, c.style), c.expected)
            << c.style << " " << c.text.width << "x" << c.text.height;
    }
}

} // namespace
} // namespace varnholt::shell::test
