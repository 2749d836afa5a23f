// Opening a link the Windows way, against a scripted shell and registry: the
// shell's "open" verb, the web-page program as fallback, and the words for
// each failure code.

#include "shell/OpenUrlWin32.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace varnholt::shell::test {
namespace {

class FakeShell : public WindowsShell {
  public:
    OpenResult shellResult = 42;
    OpenResult commandResult = 33;
    std::map<std::string, std::string, std::less<>> classesRoot;
    std::vector<std::string> log;

    OpenResult shellOpen(std::string_view url, int show) override {
        log.push_back("shellOpen " + std::string(url) + " " + std::to_string(show));
        return shellResult;
    }
    std::optional<std::string> queryClassesRootDefault(std::string_view key) override {
        const auto found = classesRoot.find(key);
        return found == classesRoot.end() ? std::nullopt : std::optional(found->second);
    }
    OpenResult runCommandLine(std::string_view line, int show) override {
        log.push_back("run " + std::string(line) + " " + std::to_string(show));
        return commandResult;
    }
};

TEST(OpenUrlOnWindows, FallsBackToTheWebPageProgram) {
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
        FakeShell shell;
        shell.shellResult = 31;
        shell.classesRoot = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", c.command}};
        const OpenResult result = openUrlWithFallback(shell, c.url, 5);
        if (c.run) {
            EXPECT_EQ(shell.log.back(), "run " + *c.run + " 5");
            EXPECT_EQ(result, 33);
        } else {
            EXPECT_EQ(shell.log.size(), 1u);
            EXPECT_EQ(result, 31) << "a refused fallback reports the shell's own failure";
        }
    }
}

TEST(OpenUrlOnWindows, LookUpsThatFailOrDoNotFitReturnTheShellResult) {
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
        FakeShell shell;
        shell.shellResult = 27;
        shell.classesRoot = registry;
        EXPECT_EQ(openUrlWithFallback(shell, "mailto:a@b.org", 5), expected);
    }
    // The shell's result is judged unsigned: a "negative" handle is success.
    FakeShell shell;
    shell.shellResult = -5;
    shell.classesRoot = {{".htm", "htmlfile"}, {"htmlfile" + command, "viewer.exe"}};
    EXPECT_EQ(openUrlWithFallback(shell, "u", 5), -5);
    EXPECT_EQ(shell.log.size(), 1u);
}

TEST(OpenUrlOnWindows, SuccessIsAboveThirtyTwoAndEveryFailureIsExplained) {
    // 32 is the last failure code, 33 the first success, whichever call gave it.
    FakeShell shell;
    shell.shellResult = 32;
    EXPECT_EQ(openUrlOnWindows(shell, "mailto:a@b.org"),
              (OpenUrlOutcome{false, "The specified dynamic-link library was not found."}));
    EXPECT_EQ(shell.log, (std::vector<std::string>{"shellOpen mailto:a@b.org 5"}));
    shell.shellResult = 33;
    EXPECT_EQ(openUrlOnWindows(shell, "mailto:a@b.org"), (OpenUrlOutcome{true, {}}));
    // The fallback's result is judged as a signed number: a negative one failed.
    shell.shellResult = 2;
    shell.classesRoot = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "viewer.exe"}};
    shell.commandResult = -1;
    EXPECT_EQ(openUrlOnWindows(shell, "u"),
              (OpenUrlOutcome{false, "Unknown Error (-1) occurred."}));

    const std::pair<OpenResult, std::string> cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {26, "A sharing violation occurred. "},
        {31, "There is no application associated\nwith the given filename extension."},
        {4, "Unknown Error (4) occurred."},
        {33, "Unknown Error (33) occurred."},
    };
    for (const auto& [code, explanation] : cases)
        EXPECT_EQ(openFailureExplanation(code), explanation) << code;
}

TEST(OpenUrlOnWindows, AFallbackThatCannotStartSaysWhy) {
    // The platform's error numbers, as WinExec would have reported them.
    const std::pair<unsigned long, std::string> cases[] = {
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {193, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {5, "The operating system is out\nof memory or resources."}, // access denied
        {8, "The operating system is out\nof memory or resources."},
    };
    for (const auto& [error, explanation] : cases) {
        FakeShell shell;
        shell.shellResult = 31;
        shell.classesRoot = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "v.exe"}};
        shell.commandResult = commandLineFailure(error);
        EXPECT_EQ(openUrlOnWindows(shell, "mailto:a@b.org"), (OpenUrlOutcome{false, explanation}))
            << error;
    }
    EXPECT_GT(commandLineStarted, lastOpenErrorCode);
}

TEST(OpenUrlOnWindows, StaticStyleGivesTheAlignment) {
    using enum HorizontalAlignment;
    EXPECT_EQ(alignmentOfStaticStyle(0x0), (TextAlignment{Left, false}));
    EXPECT_EQ(alignmentOfStaticStyle(0xC), (TextAlignment{Left, false})); // no-wrap left text
    EXPECT_EQ(alignmentOfStaticStyle(staticStyleRight), (TextAlignment{Right, false}));
    EXPECT_EQ(alignmentOfStaticStyle(staticStyleCenter | staticStyleRight),
              (TextAlignment{Centre, false}));
    EXPECT_EQ(alignmentOfStaticStyle(staticStyleCenterImage | 0x100), // SS_NOTIFY
              (TextAlignment{Left, true}));
}

} // namespace
} // namespace varnholt::shell::test
