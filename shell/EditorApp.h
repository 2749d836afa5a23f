#pragma once
// The application object: start-up, exit and the program's own folder. The
// editor dialog and every platform call are reached through EditorAppHost.

#include "core/PathStyle.h"
#include "window/MessageBox.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace varnholt::shell {

// How the executable's path is written: PathStyle (core/PathStyle.h). Windows:
// folders end at '\\' and the file name must carry an extension; POSIX: folders
// end at '/' and executables carry no extension, so none is asked for.

// The per-user settings key named at start-up; nothing is ever stored in it.
inline constexpr std::string_view settingsKeyName = "Local AppWizard-Generated Applications";

// Shown (stop icon) when the program's own path cannot be taken apart.
inline constexpr std::string_view fatalInitialisationText = "Fatal initialisation error.";

// The platform's path buffer holds 260 characters, terminator included.
inline constexpr std::size_t modulePathLimit = 259;

// The framework's standard Help command, the one command the application handles.
inline constexpr unsigned helpCommandId = 57670;

// Used as caption when the executable's name cannot be worked out.
inline constexpr std::string_view fallbackApplicationName = "Varnholt";

// What the main dialog needs from start-up: where Browse opens while no saved
// game is named (empty when unknown) and the caption of every message box.
struct MainDialogArgs {
    std::string programFolder;
    std::string applicationName;
    bool operator==(const MainDialogArgs&) const = default;
};

// What start-up and exit need of the platform. A front end implements it with
// its application object; tests script it.
class EditorAppHost {
  public:
    virtual ~EditorAppHost() = default;

    // Initialise the common-controls library (the editor's spin controls need it).
    virtual void initCommonControls() = 0;
    // The framework's own start-up, run before the program's.
    virtual void baseStartUp() = 0;
    // Full path of the running executable, or nothing when the platform cannot
    // say. Never a cut path: a Win32 host asking with a 260-character buffer
    // answers nothing when the platform reports the buffer too small, or asks
    // with a larger one; the model itself refuses paths over modulePathLimit.
    virtual std::optional<std::string> queryModulePath() = 0;
    virtual void setSettingsKey(std::string_view keyName) = 0;
    // Construct the editor dialog without a parent, make it the main window,
    // run it modally and destroy it when it closes.
    virtual void runMainDialog(const MainDialogArgs& args) = 0;
    virtual void showMessage(const MessageBoxRequest& request) = 0;
    // The busy (wait) pointer; paired by BusyCursor.
    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;
    // The framework's own exit processing; returns the program's exit code.
    virtual int baseExit() = 0;
    // The framework's default handler for the Help command.
    virtual void defaultHelp() = 0;
};

// The executable's file name without its extension (from the last dot of the
// name on), or fallbackApplicationName when that leaves nothing.
std::string applicationNameFromPath(std::string_view modulePath, PathStyle style);

class EditorApp {
  public:
    // The module path is UTF-8, where no byte of a multibyte character is a
    // separator or a dot. The host must outlive the application.
    explicit EditorApp(EditorAppHost& host, PathStyle style = nativePathStyle);

    // Start-up, once: common controls, the framework's start-up, derivePaths
    // (its outcome is ignored), the settings key, then the editor dialog runs
    // modally with the program folder and the application name. Returns whether
    // the framework should run a message loop afterwards: never, so the program
    // ends when the dialog has closed.
    bool startUp();

    // Exit, once after start-up: the framework's exit processing under the
    // busy pointer (removed on every way out). Returns the framework's exit code.
    int exit();

    // Routes a command to the application: only helpCommandId is handled
    // (by the framework's default). Returns whether it was handled.
    bool onCommand(unsigned commandId);

    // Fills modulePath and programFolder from the executable's path. On
    // failure (no path, a path over modulePathLimit, no separator, an empty
    // file name, or on Windows a file name without a dot) shows
    // fatalInitialisationText and returns false. A missing or over-long path
    // leaves both texts as they were; a folder found before a later check
    // failed stays set.
    bool derivePaths();

    // The caption of every message box the program shows.
    std::string applicationName() const;

    const std::string& modulePath() const { return modulePath_; }
    // The folder holding the executable, without a trailing separator ("C:"
    // for a drive's root; "/" for the POSIX root). Empty until derived.
    const std::string& programFolder() const { return programFolder_; }

  private:
    EditorAppHost& host_;
    PathStyle style_;
    std::string modulePath_;
    std::string programFolder_;
};

} // namespace varnholt::shell
