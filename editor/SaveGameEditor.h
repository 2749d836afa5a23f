#pragma once
// The editor window as a model: the state of every control of the layout
// table, the editor values, the exchange between them, the control-state
// rules, the commands and the load command. A front end builds its window from
// editorDialog(), mirrors control(id) whenever the host is told a control
// changed (the contract is on EditorHost), and reports what the user does
// through the user* operations. It holds no rule of its own.

#include "core/ApplyChanges.h"
#include "core/SaveGameInfo.h"
#include "editor/EditorHost.h"
#include "editor/EditorLayout.h"

#include <optional>
#include <string>
#include <vector>

namespace varnholt {

// Texts the editor shows.
inline constexpr const char* enterIntegerText = "Please enter an integer.";
inline constexpr const char* loadedStatusText = "Successfully loaded saved game file.";
inline constexpr const char* appliedStatusText =
    "Successfully applied changes to new saved game file.";
// %s: the path in box 1002.
inline constexpr const char* notLoadedFileText =
    "Load the saved game again before applying changes: %s is not the file that was last "
    "loaded.";
// %s: the path of the load that failed.
inline constexpr const char* failedLoadText =
    "Load the saved game again before applying changes: the last load of %s did not succeed.";

// What one control currently shows. Which fields matter depends on its kind.
struct ControlState {
    // Text boxes and labels: the text; buttons and check boxes: the caption as
    // stored (with its "&" markers).
    std::string text;
    // Check boxes and radio buttons.
    bool checked = false;
    // Drop-down lists: the items in order, and the selected index or -1.
    std::vector<std::string> items;
    int selection = -1;
    // Spins: the position and the range it stays within.
    int spinPosition = 0;
    int spinMinimum = 0;
    int spinMaximum = 0;
    // Text boxes: the most characters the user may enter; 0 for no limit.
    int lengthLimit = 0;
    bool enabled = true;
    bool operator==(const ControlState&) const = default;
};

// The editor's own values; the settings live in the SaveGameInfo.
struct EditorValues {
    std::string outputPath; // 1010: the file Apply writes; set by a successful load only
    std::string sourcePath; // 1002: the saved game to load (UTF-8)
    bool setCampaignDifficulty = false;
    bool setBattleDifficulty = false;
    bool setBattleTimeLimit = false;
    bool setCampaignLength = false;
    bool setUnitScale = false;
    bool setYearAndSeason = false;
    std::string windowCaption; // the title at initialisation, "Varnholt"
    bool operator==(const EditorValues&) const = default;
};

class SaveGameEditor {
  public:
    // `programFolder`: where Browse opens while no saved game is named (may be
    // empty). `applicationName`: the caption of every message box, the About
    // box's included. The host must outlive the editor. Nothing is shown until
    // initialise().
    SaveGameEditor(EditorHost& host, std::string programFolder, std::string applicationName);

    // Once, after the front end has created the window from the layout table:
    // fills the lists, WriteControls, the About entry of the window menu, the
    // window icon, windowCaption, the Refresh pictures, the length limits and
    // spin ranges, UpdateControlStates, and the focus into box 1002.
    void initialise();

    // Opens a saved game named from outside the window (the program's argument,
    // a file dropped on the window): puts `path` into box 1002 and runs the load
    // command, as if the user had typed it and pressed Refresh. Ignored, like
    // every user action, while the window is not open or the model is busy.
    // Returns whether the game was loaded.
    bool openSaveGame(const std::string& path);

    // --- What the front end and tests read ---------------------------------

    // The state of a control with an identifier (throws std::out_of_range for
    // an identifier the layout table does not have).
    const ControlState& control(int id) const;
    const EditorValues& values() const { return values_; }
    const SaveGameInfo& saveGameInfo() const { return info_; }
    const std::string& windowTitle() const { return windowTitle_; }
    // The result the modal run ended with (1 Close, 2 Cancel); nothing while
    // the window is open.
    std::optional<int> modalResult() const { return modalResult_; }

    // --- What the user does ------------------------------------------------
    // Each is ignored when the window is not open (before initialise(), after
    // the modal run ended), when the control is disabled or of another kind,
    // and while the model is itself busy with an operation: the events that
    // its own writes raise in the real widgets must never reach a handler.
    // An action refused, or one that leaves the control's state as it was, is
    // answered with controlChanged for that control (see EditorHost).

    // The text of an editable text box became `text` (typing, pasting,
    // deleting). It is cut to the box's length limit (counted in characters).
    // A text equal to the box's current one is no change. A change in box 1002
    // runs UpdateControlStates; nothing else ever loads a game. A text kept as
    // typed is not reported back.
    void userSetText(int id, const std::string& text);
    // A click on a push button, the picture button, a check box or a radio
    // button.
    void userClick(int id);
    // A pick of item `index` in a drop-down list. A pick in 1016 runs
    // OnUnitScaleClassChanged.
    void userSelect(int id, int index);
    // An arrow of a spin was pressed; `proposedStep` is the platform's step
    // (+1 up, -1 down). The spin starts from the number its box shows, moves by
    // the step (replaced by OnUnitScaleSpin for 1029), stays within its range
    // and writes its new position into the box. Returns the step taken before
    // the range was applied, 0 when the event was ignored.
    int userSpin(int id, int proposedStep);
    // Enter: presses the default button "&Close".
    void userPressEnter();
    // Escape, the title bar's close box or the window menu's close command.
    void userPressEscape();
    // Alt with a letter: clicks the button or check box with that mnemonic, or
    // for a label moves the focus to the next enabled Tab stop after it.
    void userPressMnemonic(char letter);

    // --- The window's operations, as the event table names them ------------
    // While any of them runs, the user* operations ignore what the host passes
    // back: it can only be the mirroring of the model's own writes.

    // Carries every control into the editor values, in exchange order. False,
    // after the "Please enter an integer." prompt with the focus in the box and
    // its text selected, when a number box holds no integer; entries before it
    // have been read, it and the later ones keep their values.
    bool ReadControls();
    // Carries every editor value into its control, in the same order.
    void WriteControls();
    // ReadControls, then enables the controls by the Set ticks, the entered
    // path, the output name and the loaded release, and empties the status
    // line. False (nothing changed) when ReadControls failed.
    bool UpdateControlStates();

    // Loads sourcePath. It first empties the status line, and takes a relative
    // sourcePath as the full path it stands for from the current folder (box
    // 1002 then shows that path). On success: a new output name, the title
    // "%s - %s" (windowCaption, outputPath), WriteControls, UpdateControlStates
    // and the loaded status text; true. Otherwise false, and the window keeps
    // what it showed except that no output name remains: outputPath and box
    // 1010 are emptied and Apply disabled until a load succeeds again (and the
    // two difficulty lists are refilled when the load replaced their names).
    // When the game loads but no name can be formed for the new file (no
    // extension, say), an error box says why.
    bool loadCommand();

    // Box 1002 shows the picked path before the load runs, whatever its outcome.
    void OnBrowse();
    void OnRefresh();
    // Apply writes only a copy of the file the last successful load read, at
    // that load's positions: when box 1002 names another file, or the last load
    // failed after changing part of the record, an error box asks for a load
    // first and nothing is written.
    void OnApply();
    void OnClose();
    void OnCancel();
    // A command of the window menu (or wherever the host placed its entries).
    // The About command (16, whatever its low four bits) opens the About box
    // and returns true, also when it is ignored because the window is closed or
    // busy; every other command returns false, for the platform's default
    // handling (move, size, close...).
    bool OnAboutCommand(unsigned commandId);
    void OnUnitScaleClassChanged();
    // Spin 1029 is about to move from `position` by `proposedStep`: returns the
    // step it takes instead (-5 or +5), and selects the size class of the
    // number it leads to when that number is in the unit-scale table. The move
    // is always allowed.
    int OnUnitScaleSpin(int position, int proposedStep);

  private:
    class Exchange;
    struct LoadedGame {
        std::string path;
        LoadedLayout layout;
    };

    ControlState& state(int id);
    // Stores a control's text without telling the host; true when it changed.
    bool storeText(int id, const std::string& text);
    void setText(int id, const std::string& text);
    void setChecked(int id, bool checked);
    void setSelection(int id, int index);
    void setItems(int id, const std::vector<std::string>& items);
    void setEnabled(int id, bool enabled);
    void setSpin(int id, int position);
    void showMessage(const std::string& text, MessageIcon icon);
    void reportKept(int id);
    void fillDifficultyLists();
    void dropOutputName();
    bool exchange(bool reading);
    EditRequest editRequest() const;
    void endModal(int result);
    bool accepting() const { return initialised_ && !modalResult_ && !busy_; }

    EditorHost& host_;
    std::string programFolder_;
    std::string applicationName_;
    std::vector<ControlState> controls_; // parallel to editorDialog().controls
    EditorValues values_;
    SaveGameInfo info_;
    std::optional<LoadedGame> lastLoad_;
    // The path of the last load when it failed after changing part of the
    // record, which then holds values of two files.
    std::optional<std::string> mixedByFailedLoad_;
    std::string windowTitle_;
    std::optional<int> modalResult_;
    bool initialised_ = false;
    bool busy_ = false; // a user operation is running
};

} // namespace varnholt
