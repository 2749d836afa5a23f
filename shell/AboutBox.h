#pragma once
// The About box: its dialog template as data, the window-menu entry that
// reaches it, and its behaviour (the contact address as a "mailto:" link).
// Front ends build the dialog from aboutBoxTemplate() and bind control
// contactControlId to the box's HyperLinkLabel.

#include "shell/HyperLinkLabel.h"

#include <string>
#include <string_view>
#include <vector>

namespace varnholt::shell {

enum class DialogItemKind { Icon, StaticText, PushButton };

// Style flags of a dialog item, combined with |.
inline constexpr unsigned itemDefaultButton = 1u << 0;
inline constexpr unsigned itemTabStop = 1u << 1;
inline constexpr unsigned itemGroupStart = 1u << 2;
inline constexpr unsigned itemLeftAligned = 1u << 3;
inline constexpr unsigned itemNoPrefix = 1u << 4; // '&' is shown as is, not as a mnemonic

// One item of a dialog template; position and size in dialog units.
struct DialogItem {
    int id = -1; // -1: no identifier
    DialogItemKind kind = DialogItemKind::StaticText;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string text;     // caption or content; empty for the icon
    int iconResource = 0; // the icon shown by an Icon item
    unsigned style = 0;   // the item* flags above

    bool has(unsigned flag) const { return (style & flag) == flag; }
};

struct DialogTemplate {
    int id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string title;
    std::string fontName;
    int fontPointSize = 0;
    // A popup window with caption, window menu and modal frame.
    bool popup = false;
    bool caption = false;
    bool windowMenu = false;
    bool modalFrame = false;
    std::vector<DialogItem> items; // in template order, which is the Tab order
};

inline constexpr int aboutBoxTemplateId = 100;
inline constexpr int applicationIconId = 128;
inline constexpr int okButtonId = 1;
inline constexpr int contactControlId = 1015;
inline constexpr unsigned aboutCommandId = 16;
inline constexpr int aboutMenuStringId = 101;
inline constexpr std::string_view aboutMenuText = "&About Varnholt...";

// The maker's contact address and the legal notice line, set when the program
// is built (VARNHOLT_CONTACT_EMAIL, VARNHOLT_LEGAL_NOTICE).
std::string_view contactEmail();
std::string_view legalNotice();

// Dialog template 100.
const DialogTemplate& aboutBoxTemplate();

// One entry to append to the editor's window menu.
struct MenuEntry {
    bool separator = false;
    unsigned commandId = 0;
    std::string text;

    bool operator==(const MenuEntry&) const = default;
};

// The entries the editor appends to its window menu during its initialisation:
// a separator and then the About command, only when the window has a window
// menu and the menu text (string 101) is not empty; otherwise none.
std::vector<MenuEntry> aboutMenuEntries(bool hasWindowMenu, std::string_view menuText);

// Whether a window-menu command opens the About box: its identifier with the
// low four bits cleared is aboutCommandId (so 16 to 31 all do).
bool isAboutCommand(unsigned commandId);

enum class CloseRequest { OkButton, EscapeKey, CloseBox };

// The About box while its modal run lasts. Each run takes a fresh one.
class AboutBox {
  public:
    // `labelHost` is control 1015's window; `messageCaption` is the
    // application's name, the caption of the label's error box.
    AboutBox(HyperLinkHost& labelHost, std::string messageCaption,
             LeadBytePredicate isLeadByte = {});

    // Data exchange: binds control 1015 to the label (its attach) the first
    // time; nothing else is exchanged.
    void exchangeData();

    // Initialisation once the dialog's window exists: the first data exchange,
    // then the label's url becomes "mailto:" and the contact address. Returns
    // the control that gets the focus: the template's first tab stop (OK).
    int initDialog();

    // OK, Escape and the close box all end the dialog; the result is unused.
    void close(CloseRequest request);
    bool isClosed() const { return isClosed_; }

    HyperLinkLabel& label() { return label_; }
    const HyperLinkLabel& label() const { return label_; }

  private:
    HyperLinkLabel label_;
    bool isClosed_ = false;
};

} // namespace varnholt::shell
