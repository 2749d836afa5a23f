#pragma once
// The state of a dialog's controls, kept by its model and mirrored by a front
// end: what every control shows, whether it is enabled, and what the generic
// controls do when the user acts on them (a check box toggles, a radio button
// ticks itself and unticks its group, a spin steps its box within its range, a
// text box keeps at most its length limit). Built from a DialogLayout; the
// model adds its own rules through DialogEvents.
//
// Keys and focus are not here: each toolkit's own dialog manager handles Enter,
// Escape, Tab, arrow keys in a group and "&" mnemonics, and the model sees only
// the clicks, picks, edits and steps that result.
//
// Mirroring. The host is told controlChanged(id) whenever a control's state may
// differ from its widget; it then reads control(id) and sets the widget only
// where it differs. Every change the model makes is reported. A text box the
// user types into is not reported while it holds exactly what was typed, so it
// keeps its caret and undo history; it is reported when it keeps something else
// (a text cut to the length limit). After an action that is refused or leaves
// the control as it was (a click on a disabled control or on a ticked radio
// button, an action while the window is closed), the control acted on is
// reported, so that the widget returns to the model's state.
//
// The busy guard. While the model runs an operation (a handler, the exchange,
// a report), every user action is ignored without a report: it can only be the
// echo of the model's own writes in the real widgets, and answering an echo
// with a report would start the echo again.

#include "window/DialogLayout.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnholt {

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
    // Text boxes: the most characters the user may enter; 0 for no limit of
    // its own, which is then the one every text box has.
    int lengthLimit = 0;
    bool enabled = true;
    bool operator==(const ControlState&) const = default;

    int effectiveLengthLimit() const {
        return lengthLimit > 0 ? lengthLimit : defaultTextLengthLimit;
    }
};

// How a held spin arrow speeds up, as the platform's spins do: one step at a
// time at first, then 5 after two seconds, then 20 after five.
struct SpinAcceleration {
    int afterMs = 0;
    int step = 1;
};
inline constexpr std::array<SpinAcceleration, 3> spinAccelerations{{{0, 1}, {2000, 5}, {5000, 20}}};

// The size of one step of a spin arrow held for `heldMs` milliseconds.
int spinStepAfterHolding(long long heldMs);
// A held arrow steps again after this delay, then at this interval (where the
// platform's spin does not repeat by itself).
inline constexpr int spinFirstRepeatDelayMs = 400;
inline constexpr int spinRepeatIntervalMs = 50;

// What the model does beyond the generic controls. Each is optional.
struct DialogEvents {
    // A push button or picture button was clicked, a check box toggled or a
    // radio button ticked.
    std::function<void(int id)> clicked;
    // The user's text of an editable text box was stored.
    std::function<void(int id)> textChanged;
    // The user picked an item of a drop-down list.
    std::function<void(int id)> selectionChanged;
    // A spin is about to move from `position` by `step`: returns the step it
    // takes instead.
    std::function<int(int id, int position, int step)> spinStepping;
    // Escape, the close box of the title bar or the window menu's close command.
    std::function<void()> escape;
};

class DialogState {
  public:
    // `layout` must outlive the state. `controlChanged` is the host's report
    // (see Mirroring above). Every control starts enabled, with its caption as
    // text (labels, buttons, check boxes) and its layout's items, length limit
    // and spin range; the window is not open yet.
    DialogState(const DialogLayout& layout, std::function<void(int id)> controlChanged,
                DialogEvents events = {});

    const DialogLayout& layout() const { return layout_; }
    // The state of a control with an identifier (throws std::out_of_range for
    // an identifier the layout does not have).
    const ControlState& control(int id) const;

    // The window takes user actions from open() until close().
    void open() { open_ = true; }
    void close() { open_ = false; }
    bool isOpen() const { return open_; }

    // Marks the model busy for a scope; scopes nest.
    class Busy {
      public:
        explicit Busy(DialogState& state) : state_(state), previous_(state.busy_) {
            state_.busy_ = true;
        }
        ~Busy() { state_.busy_ = previous_; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

      private:
        DialogState& state_;
        bool previous_;
    };
    // Open and not busy: a user action now is the user's.
    bool accepting() const { return open_ && !busy_; }

    // --- The model's writes, each reported when it changes the state -------

    // A spin whose box is `id` follows the number the text holds.
    void setText(int id, const std::string& text);
    void setChecked(int id, bool checked);
    // An index that names no item leaves the list without a selection.
    void setSelection(int id, int index);
    // New items leave the list without a selection.
    void setItems(int id, const std::vector<std::string>& items);
    void setEnabled(int id, bool enabled);
    // Kept within the spin's range.
    void setSpinPosition(int id, int position);
    // Ticks radio button `id` and unticks the other buttons of its group.
    void tickRadio(int id);
    // The ticked button of the group that starts with `firstId`, counted from
    // 0 in layout order, or -1 when none is ticked.
    int radioChoice(int firstId) const;
    // Ticks the button `choice` of the group that starts with `firstId`, and
    // unticks the others; a choice that names no button unticks them all.
    void setRadioChoice(int firstId, int choice);
    // Reports every control with an identifier, for a window whose widgets
    // were just made: its ranges, limits and texts reach them.
    void reportAll();
    // Reports a control whose state stayed as it was, so that its widget shows
    // the model's state again; busy meanwhile, so that echoes are ignored.
    void reportKept(int id);

    // --- What the user does; see the busy guard and Mirroring above --------

    // The text of an editable text box became `text`: it is cut to the box's
    // length limit (in characters) and stored; textChanged follows when it
    // differs from what the box held.
    void userSetText(int id, const std::string& text);
    // A click on a push button, picture button, check box or radio button.
    void userClick(int id);
    // A pick of item `index` of a drop-down list.
    void userSelect(int id, int index);
    // A step of a spin's arrow (the platform's step, accelerated while held).
    // The spin starts from its position (which follows its box), moves by the
    // step that spinStepping returns, stays within its range and writes its
    // new position into its box. Returns the step taken before the range was
    // applied, 0 when the action was ignored or refused.
    int userSpin(int id, int step);
    // Escape, the title bar's close box or the window menu's close command.
    void userPressEscape();

  private:
    std::size_t indexOf(int id) const;
    ControlState& state(int id) { return controls_.at(indexOf(id)); }
    bool storeText(int id, const std::string& text);
    std::pair<std::size_t, std::size_t> radioGroup(std::size_t index) const;

    const DialogLayout& layout_;
    std::function<void(int)> controlChanged_;
    DialogEvents events_;
    std::vector<ControlState> controls_; // parallel to layout_.controls
    bool open_ = false;
    bool busy_ = false;
};

// The first `limit` characters of UTF-8 text; a character is counted at the
// byte that starts it, so a sequence is never cut in two.
std::string firstCharacters(const std::string& text, int limit);

} // namespace varnholt
