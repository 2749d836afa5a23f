// Start-up and exit of the application object against a scripted platform.

#include "shell/EditorApp.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace varnholt::shell::test {
namespace {

class FakeAppHost : public EditorAppHost {
  public:
    std::optional<std::string> path;
    bool exitThrows = false;
    std::vector<std::string> log;
    std::vector<MessageBoxRequest> messages;
    std::vector<MainDialogArgs> dialogRuns;

    void initCommonControls() override { log.push_back("initCommonControls"); }
    void baseStartUp() override { log.push_back("baseStartUp"); }
    std::optional<std::string> queryModulePath() override { return path; }
    void setSettingsKey(std::string_view key) override { log.push_back(std::string(key)); }
    void runMainDialog(const MainDialogArgs& args) override {
        log.push_back("runMainDialog");
        dialogRuns.push_back(args);
    }
    void showMessage(const MessageBoxRequest& request) override {
        log.push_back("message");
        messages.push_back(request);
    }
    void beginBusy() override { log.push_back("beginBusy"); }
    void endBusy() override { log.push_back("endBusy"); }
    int baseExit() override {
        log.push_back("baseExit");
        return exitThrows ? throw std::runtime_error("framework exit failed") : 3;
    }
    void defaultHelp() override { log.push_back("defaultHelp"); }
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
        {"posix", "/opt/varnholt/bin/varnholt", PathStyle::Posix, true, "/opt/varnholt/bin",
         "varnholt"},
        {"posix root", "/varnholt", PathStyle::Posix, true, "/", "varnholt"},
        {"posix ignores backslashes", "C:\\Tools\\Varnholt.exe", PathStyle::Posix, false, "",
         "C:\\Tools\\Varnholt"},
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
            EXPECT_TRUE(host.messages.empty());
            EXPECT_EQ(app.modulePath(), *c.path);
        } else {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0], (MessageBoxRequest{c.appName, "Fatal initialisation error.",
                                                           MessageIcon::Error}));
        }
        EXPECT_LE(app.modulePath().size(), 259u);
    }
}

TEST(EditorApp, StartUpRunsTheEditorEvenAfterAFatalMessage) {
    for (const bool pathKnown : {true, false}) {
        FakeAppHost host;
        if (pathKnown) {
            host.path = "C:\\Tools\\Varnholt.exe";
        }
        EditorApp app(host, PathStyle::Windows);
        EXPECT_FALSE(app.startUp()) << "no message loop after the dialog";

        std::vector<std::string> expected{"initCommonControls", "baseStartUp"};
        if (!pathKnown) {
            expected.push_back("message");
        }
        expected.push_back("Local AppWizard-Generated Applications");
        expected.push_back("runMainDialog");
        EXPECT_EQ(host.log, expected);
        // The dialog gets what it needs without reaching back to the application.
        ASSERT_EQ(host.dialogRuns.size(), 1u);
        EXPECT_EQ(host.dialogRuns[0], (MainDialogArgs{pathKnown ? "C:\\Tools" : "", "Varnholt"}));
    }
}

TEST(EditorApp, ExitShowsTheBusyPointerOnEveryWayOut) {
    FakeAppHost host;
    EditorApp app(host, PathStyle::Windows);
    EXPECT_EQ(app.exit(), 3);
    EXPECT_EQ(host.log, (std::vector<std::string>{"beginBusy", "baseExit", "endBusy"}));

    host.log.clear();
    host.exitThrows = true;
    EXPECT_THROW(static_cast<void>(app.exit()), std::runtime_error);
    EXPECT_EQ(host.log.back(), "endBusy");
}

TEST(EditorApp, HandlesOnlyTheHelpCommand) {
    FakeAppHost host;
    EditorApp app(host, PathStyle::Windows);
    EXPECT_FALSE(app.onCommand(57671));
    EXPECT_FALSE(app.onCommand(16));
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(app.onCommand(57670));
    EXPECT_EQ(host.log, std::vector<std::string>{"defaultHelp"});
}

} // namespace
} // namespace varnholt::shell::test
