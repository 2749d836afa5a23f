// Start-up and exit of the application object against a scripted platform.

#include "shell/EditorApp.h"
#include "shell/Catalogue.h"
#include "shell/StartupArguments.h"
#include "shell/UserLanguage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace varnholt::shell::test {
namespace {

class FakeAppHost : public EditorAppHost {
  public:
    std::optional<std::string> path;
    std::vector<std::string> arguments;
    bool answerShown = true;
    std::vector<std::string> log;
    std::vector<MessageBoxRequest> messages;
    std::vector<CommandLineAnswer> answers;
    std::vector<MainDialogArgs> dialogRuns;

    std::vector<std::string> languages;
    std::vector<std::string> systemLanguages() override { return languages; }
    void useLanguage(std::string_view language) override {
        log.push_back("language " + std::string(language));
    }
    void startWindowSystem() override { log.push_back("startWindowSystem"); }
    std::optional<std::string> queryModulePath() override { return path; }
    std::vector<std::string> commandLineArguments() override { return arguments; }
    void runMainDialog(const MainDialogArgs& args) override {
        log.push_back("runMainDialog");
        dialogRuns.push_back(args);
    }
    void showMessage(const MessageBoxRequest& request) override {
        log.push_back("message");
        messages.push_back(request);
    }
    bool answerCommandLine(const CommandLineAnswer& answer) override {
        log.push_back("answer");
        answers.push_back(answer);
        return answerShown;
    }
};

TEST(EditorApp, DerivesTheProgramFolder) {
    const std::string longFolder = "C:\\" + std::string(250, 'd');
    const std::string longest = longFolder + "\\V.exe";  // 259 bytes
    const std::string tooLong = longFolder + "d\\V.exe"; // 260 bytes
    struct Case {
        const char* name;
        std::optional<std::string> path;
        PathStyle style;
        bool ok;
        std::string folder;
        std::string appName;
    };
    const Case cases[] = {
        {"tools folder", "C:\\Tools\\Varnholt.exe", PathStyle::Windows, true, "C:\\Tools",
         "Varnholt"},
        {"drive root", "C:\\Varnholt.exe", PathStyle::Windows, true, "C:", "Varnholt"},
        {"root of the current drive", "\\Varnholt.exe", PathStyle::Windows, true, "", "Varnholt"},
        {"no dot", "C:\\Tools\\Varnholt", PathStyle::Windows, false, "C:\\Tools", "Varnholt"},
        {"empty file name", "C:\\Tools\\", PathStyle::Windows, false, "C:\\Tools", "Varnholt"},
        {"no separator", "Varnholt.exe", PathStyle::Windows, false, "", "Varnholt"},
        {"no path", std::nullopt, PathStyle::Windows, false, "", "Varnholt"},
        {"several dots", "C:\\a.b\\Var.nholt.exe", PathStyle::Windows, true, "C:\\a.b",
         "Var.nholt"},
        // UTF-8: no byte of a multibyte character is a separator or a dot.
        {"non-ASCII folder and name", "C:\\Spiele\xC3\x9C\\\xE6\x97\xA5.exe", PathStyle::Windows,
         true, "C:\\Spiele\xC3\x9C", "\xE6\x97\xA5"},
        {"longest path", longest, PathStyle::Windows, true, longFolder, "V"},
        {"path the platform would cut", tooLong, PathStyle::Windows, false, "", "Varnholt"},
        // The program file is lowercase by convention; captions are not.
        {"posix", "/opt/varnholt/bin/varnholt", PathStyle::Posix, true, "/opt/varnholt/bin",
         "Varnholt"},
        {"posix root", "/varnholt", PathStyle::Posix, true, "/", "Varnholt"},
        {"posix ignores backslashes", "C:\\Tools\\Varnholt.exe", PathStyle::Posix, false, "",
         "Varnholt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAppHost host;
        host.path = c.path;
        EditorApp app(host, c.style);
        EXPECT_EQ(app.derivePaths(), c.ok);
        EXPECT_EQ(app.programFolder(), c.folder);
        EXPECT_EQ(app.applicationName(), c.appName);
        if (c.ok) {
            EXPECT_EQ(app.modulePath(), *c.path);
        }
        EXPECT_LE(app.modulePath().size(), 259u);
        EXPECT_TRUE(host.messages.empty()) << "start-up tells, once a window can show it";
    }
}

// The language is in place before the first text: the fatal message of a
// program that cannot find itself already speaks the system's language.
TEST(EditorApp, StartUpSpeaksTheSystemLanguageFromTheFirstMessage) {
    ASSERT_EQ(std::getenv(std::string(languageVariable).c_str()), nullptr)
        << "the tests run without a language of their own";
    FakeAppHost host;
    host.languages = {"xx-XX", "pseudo"}; // no catalogue for the first
    EditorApp app(host, PathStyle::Windows);
    app.startUp();
    installLanguage(englishLanguage);
    ASSERT_GE(host.log.size(), 2u);
    EXPECT_EQ(host.log[1], "language pseudo") << "the toolkit's texts as soon as it has started";
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              (MessageBoxRequest{"Varnholt", pseudoLocalized(fatalInitialisationText),
                                 MessageIcon::Error}));
}

TEST(EditorApp, StartUpRunsTheEditorEvenAfterAFatalMessage) {
    for (const bool pathKnown : {true, false}) {
        FakeAppHost host;
        if (pathKnown) {
            host.path = "C:\\Tools\\Varnholt.exe";
        }
        EditorApp app(host, PathStyle::Windows);
        app.startUp();

        std::vector<std::string> expected{"startWindowSystem", "language en"};
        if (!pathKnown) {
            expected.push_back("message");
        }
        expected.push_back("runMainDialog");
        EXPECT_EQ(host.log, expected);
        // The dialog gets what it needs without reaching back to the application.
        ASSERT_EQ(host.dialogRuns.size(), 1u);
        EXPECT_EQ(host.dialogRuns[0],
                  (MainDialogArgs{pathKnown ? "C:\\Tools" : "", "Varnholt", std::nullopt}));
    }
}

TEST(EditorApp, TheCommandLineOpensOneSaveOrIsAnswered) {
    using Args = std::vector<std::string>;
    const std::string usage = "\nUsage: Varnholt.exe [--help | --version] [--] [SAVE]";
    enum class Outcome { Window, Help, Version, Refused };
    struct Case {
        Args arguments;
        Outcome outcome;
        std::string saveOrRefusal;
    };
    const Case cases[] = {
        {{}, Outcome::Window, ""},
        {{"C:\\saves\\a.sav"}, Outcome::Window, "C:\\saves\\a.sav"},
        {{"", "a.sav"}, Outcome::Window, "a.sav"},
        {{"-"}, Outcome::Window, "-"},
        {{"--", "--help"}, Outcome::Window, "--help"},
        {{"a.sav", "--"}, Outcome::Window, "a.sav"},
        {{"--", "--"}, Outcome::Window, "--"},
        {{"--help"}, Outcome::Help, ""},
        {{"-h"}, Outcome::Help, ""},
        {{"a.sav", "b.sav", "--bogus", "--version", "--help"}, Outcome::Help, ""},
        {{"a.sav", "--version", "-x"}, Outcome::Version, ""},
        {{"--bogus"}, Outcome::Refused, "Unknown option \"--bogus\"."},
        {{"a.sav", "-x", "--", "--version"}, Outcome::Refused, "Unknown option \"-x\"."},
        {{"--help=1"}, Outcome::Refused, "Unknown option \"--help=1\"."},
        {{"a.sav", "--", "b.sav"},
         Outcome::Refused,
         "Only one saved game can be opened at a time; \"b.sav\" is one too many."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        FakeAppHost host;
        host.path = "C:\\Tools\\Varnholt.exe";
        host.arguments = c.arguments;
        EditorApp app(host, PathStyle::Windows);
        app.startUp();
        const int exitCode = app.exit();
        if (c.outcome == Outcome::Window) {
            EXPECT_TRUE(host.answers.empty());
            ASSERT_EQ(host.dialogRuns.size(), 1u);
            EXPECT_EQ(host.dialogRuns[0].saveToOpen.value_or(""), c.saveOrRefusal);
            EXPECT_EQ(exitCode, 0);
            continue;
        }
        EXPECT_TRUE(host.dialogRuns.empty()) << "the window does not open";
        EXPECT_EQ(host.log, (std::vector<std::string>{"answer"}))
            << "answered before the window system starts";
        ASSERT_EQ(host.answers.size(), 1u);
        const CommandLineAnswer& answer = host.answers[0];
        EXPECT_EQ(answer.message.caption, "Varnholt");
        if (c.outcome == Outcome::Refused) {
            EXPECT_EQ(answer,
                      (CommandLineAnswer{{"Varnholt", c.saveOrRefusal + usage, MessageIcon::Error},
                                         true}));
            EXPECT_EQ(exitCode, 2);
            continue;
        }
        EXPECT_FALSE(answer.isRefusal);
        EXPECT_EQ(answer.message.icon, MessageIcon::Information);
        EXPECT_EQ(answer.message.text,
                  c.outcome == Outcome::Help ? helpText("Varnholt.exe") : versionText());
        EXPECT_EQ(exitCode, 0);
    }
}

TEST(EditorApp, AnswersNameTheProgramAsItIsStarted) {
    FakeAppHost host;
    host.path = "/usr/bin/varnholt";
    host.arguments = {"--help"};
    host.answerShown = false; // standard output is full
    EditorApp app(host, PathStyle::Posix);
    app.startUp();
    EXPECT_EQ(app.exit(), 1);
    ASSERT_EQ(host.answers.size(), 1u);
    EXPECT_EQ(host.answers[0].message.caption, "Varnholt");
    EXPECT_EQ(host.answers[0].message.text.rfind("Usage: varnholt [--help | --version] [--] "
                                                 "[SAVE]\n\n",
                                                 0),
              0u);
    EXPECT_EQ(versionText(), "Varnholt " VARNHOLT_VERSION);
}

} // namespace
} // namespace varnholt::shell::test
