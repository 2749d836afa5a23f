#pragma once
// The editor window as a model: the program's own rules over the state of the
// editor's controls (window/DialogState): the exchange between the controls and
// the editor values, the control-state rules, the load command, Browse,
// Refresh, Apply, Close, the unit scale kept in step with its size class, and
// what the program's argument and a dropped file open. A front end builds its
// window from editorDialog(), mirrors control(id) whenever the host is told a
// control changed (the contract is in window/DialogState.h), and reports what
// the user does through the user* operations. Keys and focus stay with the
// toolkit's own dialog manager.

#include "core/ApplyChanges.h"
#include "core/SaveGameInfo.h"
#include "editor/EditorHost.h"
#include "editor/EditorLayout.h"
#include "editor/FileQueries.h"
#include "window/BusyCursor.h"
#include "window/DialogState.h"
#include "words/UiText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace varnholt {

// Texts the editor shows.
inline constexpr const char* enterIntegerText = uiText("Please enter an integer.");
inline constexpr const char* loadedStatusText = uiText("Successfully loaded saved game file.");
inline constexpr const char* appliedStatusText =
    uiText("Successfully applied changes to new saved game file.");
// %s: the path in the source path box.
inline constexpr const char* notLoadedFileText =
    uiText("Load the saved game again before applying changes: %s is not the file that was last "
           "loaded.");
// %s: the new file's path.
inline constexpr const char* offeredStatusText =
    uiText("The new saved game file %s was offered as a download.");
inline constexpr const char* dropOneFileText =
    uiText("Several files were dropped. Drop one saved game at a time.");

// The editor's own values besides the settings (SaveSettings) and what the
// loads found (SaveGameInfo).
struct EditorValues {
    std::string outputPath; // the file Apply writes; set by a successful load only
    std::string sourcePath; // the saved game to load (UTF-8)
    bool setCampaignDifficulty = false;
    bool setBattleDifficulty = false;
    bool setBattleTimeLimit = false;
    bool setCampaignLength = false;
    bool setUnitScale = false;
    bool setYearAndSeason = false;
    std::string windowCaption; // the title at initialisation, "Varnholt"
    bool operator==(const EditorValues&) const = default;
};

// The request Apply makes of the window's values: each ticked group with the
// value its controls hold. A difficulty list without a selection writes the
// first level, as the window always has; the year as the box holds it (a BC
// year kept as stored, 2147483648, is that year); a group the save cannot take
// (a campaign length in an expansion save, whose tick survives the load) is
// left out.
EditRequest requestFromWindow(const EditorValues& values, const SaveSettings& settings,
                              const GameVersion& version);

class SaveGameEditor {
  public:
    // `programFolder`: where Browse opens while no saved game is named (may be
    // empty). `applicationName`: the caption of every message box, the About
    // box's included. The host must outlive the editor. Nothing is shown until
    // initialise().
    SaveGameEditor(EditorHost& host, std::string programFolder, std::string applicationName,
                   FileQueries files = systemFileQueries());

    // Once, after the front end has created the window from the layout table:
    // the controls' state reaches the widgets, writeControls, the About entry
    // of the window menu, the window icon, windowCaption, the Refresh pictures,
    // updateControlStates, and the focus into the source path box.
    void initialise();

    // Opens a saved game named from outside the window (the program's
    // argument, a file dropped on the window): puts `path` into the source
    // path box and runs the load command, as if the user had typed it and
    // pressed Refresh. Ignored while the window is not open or the model is
    // busy. Returns whether the game was loaded.
    bool openSaveGame(const std::string& path);
    // Whether the window takes a drop of `fileCount` files now: any number of
    // files while it takes user actions (several are answered with a message).
    bool acceptsDrop(std::size_t fileCount) const;
    // Files dropped on the window: one is opened as the argument is; several
    // give one message box that asks for one saved game at a time.
    void userDropFiles(const std::vector<std::string>& paths);
    // The file a file-open dialog that answers later picked (see
    // EditorHost::runOpenFileDialog): loaded as Browse loads what it picks.
    // Ignored while the window takes no user actions.
    void userPickedFile(const std::string& path);

    // What became of the copy a host that writes copies itself was handed
    // (EditorHost::writeCopy). A copy written or offered takes its name: the
    // next Apply of the same save proposes the next free one.
    void copyFinished(CopyFate fate, FileErrorCause cause = FileErrorCause::None);

    // --- What the front end and tests read ---------------------------------

    // The state of a control with an identifier (throws std::out_of_range for
    // an identifier the layout table does not have).
    const ControlState& control(int id) const { return dialog_.control(id); }
    const EditorValues& values() const { return values_; }
    // What the loads found of the save shown, and the settings as last read
    // from the controls or loaded.
    const SaveGameInfo& saveGameInfo() const { return game_; }
    const SaveSettings& settings() const { return settings_; }
    const std::string& windowTitle() const { return windowTitle_; }
    // The result the modal run ended with (1 Close, 2 Cancel); nothing while
    // the window is open.
    std::optional<int> modalResult() const { return modalResult_; }

    // --- What the user does (see window/DialogState.h) ---------------------

    // Typing, pasting or deleting in a text box; a change of the source path
    // runs updateControlStates, and nothing but Browse and Refresh loads.
    void userSetText(int id, const std::string& text) { dialog_.userSetText(id, text); }
    // A click on a push button, the picture button, a check box or a radio
    // button; the Set boxes run updateControlStates.
    void userClick(int id) { dialog_.userClick(id); }
    // A pick in a drop-down list; a pick of a size class sets the unit scale.
    void userSelect(int id, int index) { dialog_.userSelect(id, index); }
    // An arrow of a spin (the platform's step, accelerated while held); the
    // unit-scale spin always steps by 5. Returns the step taken, 0 when the
    // action was ignored.
    int userSpin(int id, int step) { return dialog_.userSpin(id, step); }
    // Escape, the title bar's close box or the window menu's close command.
    void userPressEscape() { dialog_.userPressEscape(); }
    // A command of the window menu (or wherever the host placed its entries).
    // The About command (aboutCommandId) opens the About box and returns true,
    // also when it is ignored because the window is closed or busy; every other
    // command returns false, for the platform's default handling (move, size,
    // close...).
    bool userMenuCommand(unsigned commandId) { return onAboutCommand(commandId); }

  private:
    // The window's operations, as the event table names them.
    bool readControls();
    void writeControls();
    bool updateControlStates();
    bool loadCommand();
    void onBrowse();
    void loadPicked(const std::string& path);
    void onRefresh();
    void onApply();
    void onClose();
    void onCancel();
    bool onAboutCommand(unsigned commandId);
    void onUnitScaleClassChanged();
    int onUnitScaleSpin(int position, int proposedStep);

    struct LoadedGame {
        std::string path;
        LoadedLayout layout;
    };

    DialogEvents events();
    bool exchange(bool reading);
    void showMessage(const std::string& text, MessageIcon icon);
    void followSourcePath();
    void fillDifficultyLists();
    void dropOutputName();
    bool takeOutputName(const std::string& savePath);
    void endModal(int result);

    EditorHost& host_;
    std::string programFolder_;
    std::string applicationName_;
    FileQueries files_;
    DialogState dialog_;
    BusyCursorKeeper<EditorHost> busyCursor_;
    EditorValues values_;
    SaveGameInfo game_;
    SaveSettings settings_;
    std::optional<LoadedGame> lastLoad_;
    std::string windowTitle_;
    std::optional<int> modalResult_;
};

} // namespace varnholt
