#pragma once
// The editor window's layout: the one table of its controls (dialog template
// 102) from which every front end builds its window. Identifiers, captions,
// rectangles in dialog units and the Tab order are the window's design; nothing
// of it is spelled a second time anywhere else.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace varnholt {

// Control identifiers of the editor window. Labels and group boxes without an
// identifier carry noControlId.
inline constexpr int noControlId = -1;
inline constexpr int idClose = 1; // the dialog's OK identifier; Enter presses it
inline constexpr int idApply = 1000;
inline constexpr int idSourcePath = 1002;
inline constexpr int idBrowse = 1003;
inline constexpr int idSetCampaignDifficulty = 1004;
inline constexpr int idCampaignDifficulty = 1005;
inline constexpr int idSetBattleDifficulty = 1006;
inline constexpr int idBattleDifficulty = 1007;
inline constexpr int idSetBattleTimeLimit = 1008;
inline constexpr int idNoBattleTimeLimit = 1009;
inline constexpr int idOutputPath = 1010;
inline constexpr int idRefresh = 1011;
inline constexpr int idSetCampaignLength = 1012;
inline constexpr int idShortCampaign = 1013;
inline constexpr int idStatusLine = 1014;
inline constexpr int idSetUnitScale = 1015;
inline constexpr int idUnitScaleClass = 1016;
inline constexpr int idFactionName = 1017;
inline constexpr int idCampaignName = 1018;
inline constexpr int idSetYearAndSeason = 1019;
inline constexpr int idYearLabel = 1020;
inline constexpr int idYear = 1021;
inline constexpr int idYearSpin = 1022;
inline constexpr int idAD = 1023;
inline constexpr int idSummer = 1024;
inline constexpr int idWinter = 1025;
inline constexpr int idBC = 1026;
inline constexpr int idReleaseLabel = 1027;
inline constexpr int idUnitScale = 1028;
inline constexpr int idUnitScaleSpin = 1029;

enum class ControlKind {
    Label,         // static text; a mnemonic moves the focus to the next Tab stop
    GroupBox,      // frame with a caption
    TextBox,       // single-line edit box (also the read-only boxes)
    PictureButton, // push button drawn with pictures named after its caption
    PushButton,
    CheckBox,     // toggles its own tick when clicked
    RadioButton,  // ticks itself and unticks the other buttons of its group
    DropDownList, // pick one item; cannot be typed into
    Spin,         // up/down arrows bound to the box before it (`buddyId`)
};

// Position and size in dialog units. For a drop-down list the height includes
// its opened list.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlSpec {
    int id = noControlId;
    ControlKind kind = ControlKind::Label;
    // As stored: "&" marks the next letter as the mnemonic, "&&" shows one "&".
    // A picture button's caption names its pictures.
    std::string_view caption;
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
    // Labels: the text is shown as it is, without "&" mnemonic processing.
    bool noPrefix = false;
    // Text boxes: the most characters the user may enter; 0 for no limit.
    int lengthLimit = 0;
    // Spins: the box they step, their range, and whether thousands separators
    // are shown (never, in this window).
    int buddyId = noControlId;
    int spinMinimum = 0;
    int spinMaximum = 0;
    // Drop-down lists: the items when the window is created, in order (unsorted).
    std::span<const std::string_view> items;
};

// The four pictures of a picture button, in the order normal, pressed, has
// focus, disabled: the caption followed by U, D, F and X.
struct PictureNames {
    std::string_view normal;
    std::string_view pressed;
    std::string_view focused;
    std::string_view disabled;
};

struct DialogSpec {
    int templateId = 0;
    std::string_view caption;
    int width = 0; // dialog units
    int height = 0;
    std::string_view fontName;
    int fontPointSize = 0;
    int iconGroup = 0; // set as both large and small window icon
    // Frame: fixed size, title bar and window menu, no minimise or maximise box,
    // shown on the task bar, visible when created.
    bool resizable = false;
    bool titleBar = false;
    bool windowMenu = false;
    bool minimizeBox = false;
    bool maximizeBox = false;
    bool showInTaskBar = false;
    bool visible = false;
    PictureNames refreshPictures;
    int pictureWidth = 0; // pixels; the picture button takes this size
    int pictureHeight = 0;
    // In template order, which is also the Tab order.
    std::span<const ControlSpec> controls;
};

// The editor window (template 102).
const DialogSpec& editorDialog();

// The row of a control with an identifier; nullptr for an unknown identifier.
const ControlSpec* findControl(int id);

// The mnemonic letter of a stored caption (the letter after a single "&"),
// lower-cased; nothing when it has none.
std::optional<char> mnemonicOf(std::string_view caption);

// The caption as shown: "&" markers removed, "&&" shown as "&".
std::string displayCaption(std::string_view caption);

// The picture a picture button draws: pressed first, then focused, then
// disabled, else normal.
std::string_view pictureFor(const PictureNames& pictures, bool pressed, bool focused, bool enabled);

// Where the window icon is drawn while the window is minimised: centred in the
// client area, the divisions truncating.
struct IconOrigin {
    int x = 0;
    int y = 0;
    bool operator==(const IconOrigin&) const = default;
};
IconOrigin minimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

} // namespace varnholt
