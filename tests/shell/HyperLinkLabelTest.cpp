// The hyperlink label driven as a user would: the control is taken over, the
// pointer enters and leaves, the link is clicked with the platform succeeding
// or failing.

#include "shell/HyperLinkLabel.h"
#include "FakeLabelHost.h"

#include <gtest/gtest.h>

namespace varnholt::shell::test {
namespace {

constexpr Colour link = rgb(0, 0, 238);
constexpr Colour visited = rgb(85, 26, 139);
constexpr Colour hover = rgb(255, 0, 0);

TEST(HyperLinkLabel, TakesOverAControlWithTextAndNoUrl) {
    FakeLabelHost host;
    host.text = "varnholt@example.org";
    host.styleBits = 0x1000; // an unrelated style bit must survive
    HyperLinkLabel label(host, "Varnholt");
    label.attach();

    EXPECT_EQ(label.url(), "varnholt@example.org");
    EXPECT_EQ(host.styleBits, 0x1000ul | 0x100ul);
    EXPECT_FALSE(host.logged("setWindowText varnholt@example.org"));
    // Measured in the underlined font, so hovering cannot clip the text.
    EXPECT_TRUE(host.logged("measure varnholt@example.org 8"));
    EXPECT_EQ(host.movedTo, (Rect{10, 20, 53, 35}));
    EXPECT_TRUE(host.logged("addTool 1 98x14 varnholt@example.org"));
    EXPECT_EQ(label.textColour(), link);
}

TEST(HyperLinkLabel, EmptyControlShowsTheUrlAndSetUrlRetitlesOnlyTheTooltip) {
    FakeLabelHost host;
    HyperLinkLabel label(host, "Varnholt");
    label.setUrl("mailto:a@b.org");
    EXPECT_TRUE(host.log.empty()) << "no window yet, so nothing to fit";

    label.attach();
    EXPECT_EQ(host.text, "mailto:a@b.org");
    EXPECT_TRUE(host.logged("addTool 1 98x14 mailto:a@b.org"));

    host.log.clear();
    label.setUrl("mailto:c@d.org");
    EXPECT_EQ(host.text, "mailto:a@b.org");
    EXPECT_EQ(host.log, (std::vector<std::string>{"measure mailto:a@b.org 8", "moveWindow",
                                                  "setToolText 1 mailto:c@d.org"}));
}

TEST(HyperLinkLabel, PointerEntersAndLeaves) {
    FakeLabelHost host;
    host.text = "x";
    HyperLinkLabel label(host, "Varnholt");
    label.attach();
    host.log.clear();

    label.onMouseMove();
    EXPECT_EQ(label.textColour(), hover);
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"setFont 8", "invalidate", "startTimer 100 100"}));

    host.log.clear();
    label.onMouseMove();
    host.pointer = {97, 13}; // last pixel inside
    label.onTimer();
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(label.isHovering());

    host.pointer = {98, 13}; // right edge is outside
    label.onTimer();
    EXPECT_EQ(label.textColour(), link);
    EXPECT_EQ(host.log, (std::vector<std::string>{"stopTimer 100", "setFont 7", "invalidate"}));
}

TEST(HyperLinkLabel, SuccessfulClickThenFailedClick) {
    FakeLabelHost host;
    host.text = "mailto:a@b.org";
    HyperLinkLabel label(host, "Varnholt");
    label.attach();
    label.onMouseMove();
    host.log.clear();

    label.onClicked();
    EXPECT_TRUE(label.isVisited());
    EXPECT_EQ(label.textColour(), visited);
    // A click ends hovering but leaves the timer and the underline running.
    EXPECT_EQ(host.log, (std::vector<std::string>{"shellOpen mailto:a@b.org 5", "invalidate"}));
    EXPECT_TRUE(host.messages.empty());

    label.onMouseMove();
    EXPECT_EQ(label.textColour(), hover);
    EXPECT_TRUE(host.logged("startTimer 100 100"));
    host.pointer = {-1, 5};
    label.onTimer();
    EXPECT_EQ(label.textColour(), visited);

    host.shellResult = 2; // and no web-page program registered
    host.log.clear();
    label.onClicked();
    EXPECT_FALSE(label.isVisited());
    EXPECT_EQ(label.textColour(), link);
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"shellOpen mailto:a@b.org 5", "beep exclamation"}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              (MessageBoxRequest{"Varnholt",
                                 "Unable to open hyperlink:\n\nThe specified file was not found.",
                                 MessageIcon::Exclamation}));
}

TEST(HyperLinkLabel, FallbackStartFailureIsReportedWithItsOwnCode) {
    FakeLabelHost host;
    host.text = "mailto:a@b.org";
    host.shellResult = 31;
    host.classesRoot = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "viewer.exe %1"}};
    host.runResult = 11;
    HyperLinkLabel label(host, "Varnholt");
    label.attach();
    label.onClicked();
    EXPECT_TRUE(host.logged("run viewer.exe  mailto:a@b.org 5"));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, openErrorText(11));
}

TEST(HyperLinkLabel, HandPointerOnlyWhenThePlatformHasOne) {
    for (const CursorHandle hand : {CursorHandle{9}, CursorHandle::None}) {
        FakeLabelHost host;
        host.hand = hand;
        HyperLinkLabel label(host, "Varnholt");
        label.attach();
        EXPECT_EQ(label.onSetCursor(), hand != CursorHandle::None);
        EXPECT_EQ(host.logged("setCursor 9"), hand != CursorHandle::None);
    }
}

TEST(HyperLinkLabel, ControlWithoutFontIsNeverUnderlined) {
    FakeLabelHost host;
    host.controlFont = FontHandle::None;
    HyperLinkLabel label(host, "Varnholt");
    label.attach();
    label.onMouseMove();
    host.pointer = {200, 200};
    label.onTimer();
    EXPECT_EQ(label.underlineFont(), FontHandle::None);
    for (const auto& entry : host.log) {
        EXPECT_FALSE(entry.starts_with("setFont") || entry.starts_with("createUnderlinedFont"))
            << entry;
    }
}

TEST(HyperLinkLabel, WindowAndLabelReleaseWhatTheyOwn) {
    FakeLabelHost host;
    {
        HyperLinkLabel label(host, "Varnholt");
        label.attach();
        host.log.clear();
        label.destroyWindow();
        EXPECT_EQ(host.log, (std::vector<std::string>{"stopTimer 100", "destroyWindow"}));
        host.log.clear();
    }
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"deleteFont 8", "destroyCursor 9", "destroyToolTip"}));
}

TEST(OpenUrl, FallsBackToTheWebPageProgram) {
    const std::string mail = "mailto:a@b.org";
    // "viewer.exe " plus one blank leaves 507 bytes of a 520-byte buffer for the URL.
    const std::string longest = "http://x/" + std::string(507 - 9, 'p');
    struct Case {
        const char* name;
        std::string command; // registered under htmlfile\shell\open\command
        std::string url;
        std::optional<std::string> run;
    };
    const Case cases[] = {
        {"quoted placeholder then a switch", R"("C:\Viewer\viewer.exe" -nohome "%1" -new)", mail,
         R"("C:\Viewer\viewer.exe" -nohome  )" + mail},
        {"no placeholder", "viewer.exe -nohome", mail, "viewer.exe -nohome " + mail},
        {"bare placeholder", "viewer.exe %1 -new", mail, "viewer.exe  " + mail},
        {"quote only before", "viewer.exe \"%1 -new", mail, "viewer.exe \" " + mail},
        {"bare before quoted", "viewer.exe %1 \"%1\"", mail, "viewer.exe %1  " + mail},
        {"fills the buffer", "viewer.exe %1", longest, "viewer.exe  " + longest},
        {"one byte too long", "viewer.exe %1", longest + "p", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLabelHost host;
        host.shellResult = 31;
        host.classesRoot = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", c.command}};
        const OpenResult result = openUrl(host, c.url, 5);
        if (c.run) {
            EXPECT_EQ(host.log.back(), "run " + *c.run + " 5");
            EXPECT_EQ(result, 33);
        } else {
            EXPECT_FALSE(host.log.back().starts_with("run "));
            EXPECT_EQ(result, 31) << "a refused fallback reports the shell's own failure";
        }
    }
}

TEST(OpenUrl, LookUpsThatFailOrDoNotFitReturnTheShellResult) {
    const std::string longName(259, 't');
    const std::map<std::string, std::string, std::less<>> registries[] = {
        {},
        {{".htm", "htmlfile"}},
        {{".htm", longName + "x"}, {longName + "x\\shell\\open\\command", "viewer.exe"}},
        {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", std::string(260, 'v')}},
    };
    for (const auto& registry : registries) {
        FakeLabelHost host;
        host.shellResult = 27;
        host.classesRoot = registry;
        EXPECT_EQ(openUrl(host, "mailto:a@b.org", 5), 27);
        EXPECT_EQ(host.log.size(), 1u) << "only the shell was asked";
    }

    FakeLabelHost fits;
    fits.shellResult = 27;
    fits.classesRoot = {{".htm", longName}, {longName + "\\shell\\open\\command", "viewer.exe"}};
    EXPECT_EQ(openUrl(fits, "mailto:a@b.org", 5), 33);
}

TEST(OpenUrl, ShellSuccessSkipsTheFallback) {
    FakeLabelHost host;
    host.classesRoot = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "viewer.exe"}};
    for (const OpenResult shell : {OpenResult{33}, OpenResult{-5}}) {
        host.shellResult = shell; // the shell's result is judged unsigned
        host.log.clear();
        EXPECT_EQ(openUrl(host, "u", 5), shell);
        EXPECT_EQ(host.log.size(), 1u);
    }
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
    // Frame of 2 x 2 pixels around a 98 x 14 client area.
    const Rect window{10, 20, 110, 36};
    const Rect client{0, 0, 98, 14};
    struct Case {
        const char* name;
        unsigned long style;
        Size text;
        Rect expected;
    };
    const Case cases[] = {
        {"left", 0x0, {41, 13}, {10, 20, 53, 35}},
        {"right", styleRight, {41, 13}, {67, 20, 110, 35}},
        // 57 pixels to lose: 28 per side, so one pixel more than the text needs.
        {"centred, odd difference", styleCenter, {41, 13}, {38, 20, 82, 35}},
        // 23 pixels to gain: truncated toward zero, 11 per side, one pixel short.
        {"centred, wider text", styleCenter, {121, 13}, {-1, 20, 121, 35}},
        {"centre bit wins over right", styleCenter | styleRight, {40, 13}, {39, 20, 81, 35}},
        {"centred vertically, odd", styleCenterImage, {41, 11}, {10, 21, 53, 35}},
        {"centred vertically, taller", styleCenterImage, {41, 19}, {10, 18, 53, 38}},
        {"left-no-wordwrap counts as left", 0xC, {41, 13}, {10, 20, 53, 35}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fitRectToText(window, client, c.text, c.style), c.expected) << c.name;
    }
}

} // namespace
} // namespace varnholt::shell::test
