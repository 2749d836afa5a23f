#pragma once
// One description of a dialog window, for every window of the program (the
// editor and the About box): the dialog's frame and font, and its controls in
// template order with their kinds, captions, rectangles in dialog units and
// behaviour. Each front end has one builder that makes a real window from it;
// no layout is spelled a second time anywhere else.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace varnholt {

// Labels, group boxes and icons without an identifier carry noControlId.
inline constexpr int noControlId = -1;
// The dialog's OK identifier: Enter presses the control that has it.
inline constexpr int idOk = 1;
// The result a dialog ends with on Escape or its close box (the platform's
// Cancel identifier).
inline constexpr int idCancel = 2;
// The program's icon: the window icon and the About box's picture.
inline constexpr int applicationIconId = 128;
// The most characters a text box without a limit of its own takes, as the
// platform's edit boxes do until they are given one.
inline constexpr int defaultTextLengthLimit = 32767;

enum class ControlKind {
    Label,         // static text; a mnemonic moves the focus to the next Tab stop
    GroupBox,      // frame with a caption
    Icon,          // a picture of an icon resource (`iconId`)
    TextBox,       // single-line edit box (also the read-only boxes)
    PictureButton, // push button drawn with four pictures (`pictures`)
    PushButton,
    CheckBox,     // toggles its own tick when clicked
    RadioButton,  // ticks itself and unticks the other buttons of its group
    DropDownList, // pick one item; cannot be typed into
    Spin,         // up/down arrows that step the box `buddyId`
};

// Position and size in dialog units.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DialogRect&) const = default;
};

// The four pictures of a picture button and their size in pixels; the button
// takes that size.
struct PictureNames {
    std::string_view normal;
    std::string_view pressed;
    std::string_view focused;
    std::string_view disabled;
    int width = 0;
    int height = 0;
};

struct ControlLayout {
    int id = noControlId;
    ControlKind kind = ControlKind::Label;
    // As stored: "&" marks the next letter as the mnemonic, "&&" shows one "&".
    std::string_view caption;
    // What a screen reader calls the control, where neither its own caption
    // nor the text before it says what it sets (two lists in one group box);
    // empty for the usual name (accessibleName in ControlLabels.h).
    std::string_view accessibleName;
    // For a drop-down list the height includes its opened list; see closedHeight.
    DialogRect rect;
    bool tabStop = false;
    // Starts a new group (radio groups and arrow-key navigation).
    bool groupStart = false;
    bool readOnly = false;
    bool rightAligned = false;
    bool digitsOnly = false;
    // The text scrolls sideways instead of stopping at the box's right edge.
    bool autoScroll = false;
    bool defaultButton = false;
    // The text is shown as it is, "&" included, never taken for a mnemonic.
    bool noPrefix = false;
    // Text boxes: the most characters the user may enter; 0 for no limit of
    // its own (defaultTextLengthLimit then).
    int lengthLimit = 0;
    // Drop-down lists: the items when the window is created, in order
    // (unsorted), and the height of the closed list in dialog units.
    std::span<const std::string_view> items;
    int closedHeight = 0;
    // Spins: the box they step and their range. The up and down arrow keys in
    // that box step the spin too; the spin never writes the box itself (the
    // model does, so no "set buddy integer"), is not bound to a neighbour
    // automatically, and shows no thousands separators.
    int buddyId = noControlId;
    int spinMinimum = 0;
    int spinMaximum = 0;
    bool spinArrowKeys = false;
    // Picture buttons: their pictures. Icons: the icon resource.
    PictureNames pictures;
    int iconId = 0;
};

// A dialog in dialog units, which follow the metrics of the platform's dialog
// font.
struct DialogLayout {
    std::string_view caption;
    DialogRect rect; // the client area's size in dialog units (x, y 0)
    // Set as both large and small window icon; 0 for none.
    int iconId = 0;
    // The frame: a dialog frame of fixed size with a title bar, and whether it
    // has a window menu (where the platform's title bar has one).
    bool windowMenu = false;
    // In template order, which is also the Tab order.
    std::span<const ControlLayout> controls;
    // For a translated layout, the English one it was made from (control for
    // control), whose captions the fitting measures too; nullptr otherwise.
    const DialogLayout* english = nullptr;

    // The row of a control with an identifier; nullptr for noControlId or an
    // identifier the dialog does not have.
    const ControlLayout* find(int id) const;
};

// The rectangle a control takes on the window: a drop-down list's is its
// closed list's (its opened list may reach past the group box around it).
DialogRect shownRect(const ControlLayout& control);

// The index of the first radio button of the group that the radio button at
// `index` belongs to: a group runs from a radio button that starts a group (or
// follows a control of another kind) to the last one before the next group's
// first.
std::size_t radioGroupStart(std::span<const ControlLayout> controls, std::size_t index);

// The mnemonic letter of a stored caption (the character after a single "&",
// in UTF-8), lower-cased for the Latin and Cyrillic letters the translations
// use, so that "Д" and "д" are one key; nothing when it has none.
std::optional<std::string> mnemonicOf(std::string_view caption);

// The caption as shown: "&" markers removed, "&&" shown as "&".
std::string displayCaption(std::string_view caption);

// The picture a picture button draws: pressed first, then focused, then
// disabled, else normal.
std::string_view pictureFor(const PictureNames& pictures, bool pressed, bool focused, bool enabled);

} // namespace varnholt
