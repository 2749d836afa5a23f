#pragma once
// The application object: start-up, exit and the program's own folder. The
// editor dialog and every platform call are reached through EditorAppHost.

#include "core/PathStyle.h"
#include "window/MessageBox.h"
#include "words/UiText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt::shell {

struct StartupArguments;

// How the executable's path is written: PathStyle (core/PathStyle.h). Windows:
// folders end at '\\' (or '/') and the file name must carry an extension;
// POSIX: folders end at '/' and executables carry no extension, so none is
// asked for.

// Shown (stop icon) when the program's own path cannot be taken apart.
inline constexpr std::string_view fatalInitialisationText = uiText("Fatal initialisation error.");

// The platform's path buffer holds 260 characters, terminator included.
inline constexpr std::size_t modulePathLimit = 259;

// The program's name as people read it. It captions every window and message
// box on POSIX, where program files are lowercase by convention ("varnholt"),
// and on Windows when the executable's name leaves nothing.
inline constexpr std::string_view applicationDisplayName = "Varnholt";

// Exit codes of a command line the program answered instead of opening the
// window: shown (help, version), not shown (the console or the box failed),
// refused.
inline constexpr int answeredExitCode = 0;
inline constexpr int answerLostExitCode = 1;
inline constexpr int refusedExitCode = 2;

// What the main dialog needs from start-up: where Browse opens while no saved
// game is named (empty when unknown), the caption of every message box, and
// the saved game named on the command line, to load once the window shows.
struct MainDialogArgs {
    std::string programFolder;
    std::string applicationName;
    std::optional<std::string> saveToOpen;
    bool operator==(const MainDialogArgs&) const = default;
};

// The program's answer to a command line that does not open the window
// (--help, --version, or a refusal).
struct CommandLineAnswer {
    // As a message box shows it: the application's name, the text, the
    // information icon, or the error icon for a refusal.
    MessageBoxRequest message;
    // Where a console shows it: a refusal on standard error, the rest on
    // standard output.
    bool isRefusal = false;
    bool operator==(const CommandLineAnswer&) const = default;
};

// What start-up needs of the platform. A front end implements it with its
// application object; tests script it.
class EditorAppHost {
  public:
    virtual ~EditorAppHost() = default;

    // The languages the user's system asks for, most wanted first, as tags
    // ("de-DE", "de_AT.UTF-8"); chooseLanguage reads them.
    virtual std::vector<std::string> systemLanguages() = 0;
    // Full path of the running executable, or nothing when the platform cannot
    // say. Never a cut path: a Win32 host asking with a 260-character buffer
    // answers nothing when the platform reports the buffer too small, or asks
    // with a larger one; the model itself refuses paths over modulePathLimit.
    // Asked before the window system starts.
    virtual std::optional<std::string> queryModulePath() = 0;
    // The arguments the program was started with, after its own name, as
    // UTF-8, the toolkit's own options (Qt's -platform and the like) taken
    // out. Asked before the window system starts.
    virtual std::vector<std::string> commandLineArguments() = 0;
    // Shows the answer to the command line: printed, followed by a line end,
    // where the program has a console (Linux, macOS); in a message box where it
    // has none (Windows). Needs no window system where it prints, so that it
    // works without a display. Returns whether it was shown: false when the
    // stream could not be written or the box could not be made.
    virtual bool answerCommandLine(const CommandLineAnswer& answer) = 0;

    // Starts the window system, once the command line asks for the window:
    // nothing below is asked before it.
    virtual void startWindowSystem() = 0;
    // The windows speak `language` from now on ("en", "de", ..., "pseudo"):
    // the toolkit may load its own texts for it.
    virtual void useLanguage(std::string_view language) = 0;
    // Construct the editor dialog without a parent, make it the main window,
    // run it modally and destroy it when it closes.
    virtual void runMainDialog(const MainDialogArgs& args) = 0;
    virtual void showMessage(const MessageBoxRequest& request) = 0;
};

// The caption of every window and message box. Windows: the executable's file
// name without its extension (from the last dot of the name on), so a renamed
// copy names itself, or applicationDisplayName when that leaves nothing.
// POSIX: applicationDisplayName.
std::string applicationNameFromPath(std::string_view modulePath, PathStyle style);

class EditorApp {
  public:
    // The module path is UTF-8, where no byte of a multibyte character is a
    // separator or a dot. The host must outlive the application.
    explicit EditorApp(EditorAppHost& host, PathStyle style = nativePathStyle);

    // Start-up, once: the user's language (VARNHOLT_LANGUAGE, else the
    // system's, else English) installed for every text, the program's own
    // paths taken (derivePaths), then the command line, read before the window
    // system starts. Help, the version or a refusal are answered (without a
    // display where the answer is printed) and the window does not open.
    // Otherwise the window system starts, a failure of derivePaths is shown
    // (fatalInitialisationText), and the editor dialog runs modally with the
    // program folder, the application name and the save to open; the program
    // ends when it has closed.
    void startUp();

    // The program's exit code: 0, or after an answered command line the
    // answer's exit code.
    int exit() const;

    // Fills modulePath and programFolder from the executable's path. Fails (no
    // path, a path over modulePathLimit, no folder, an empty file name, or on
    // Windows a file name without a dot) with false. A missing or over-long
    // path leaves both texts as they were; a folder found before a later check
    // failed stays set.
    bool derivePaths();

    // The caption of every message box the program shows.
    std::string applicationName() const;

    const std::string& modulePath() const { return modulePath_; }
    // The folder holding the executable, without a trailing separator ("C:"
    // for a drive's root; "/" for the POSIX root). Empty until derived.
    const std::string& programFolder() const { return programFolder_; }

  private:
    void answer(const StartupArguments& arguments);
    // The executable's file name, as the usage line names the program.
    std::string programFile() const;

    EditorAppHost& host_;
    PathStyle style_;
    std::string modulePath_;
    std::string programFolder_;
    std::optional<int> answeredExitCode_;
};

} // namespace varnholt::shell
