#pragma once
// The About box: its dialog description and its behaviour (the
// contact address as a "mailto:" link). Front ends build the dialog from
// aboutBoxDialog() as they build the editor, and bind control idContactAddress
// to the box's HyperLinkLabel. The window-menu entry that reaches it is in
// editor/AboutCommand.h.

#include "shell/HyperLinkLabel.h"
#include "window/DialogLayout.h"
#include "window/DialogState.h"

#include <functional>
#include <string>
#include <string_view>

namespace varnholt::shell {

// The control that shows the contact address and becomes the link.
inline constexpr int idContactAddress = 1015;

// The maker's contact address and the legal notice line, set when the program
// is built (VARNHOLT_CONTACT_EMAIL, VARNHOLT_LEGAL_NOTICE).
std::string_view contactEmail();
std::string_view legalNotice();

// The About box in the user's language.
const DialogLayout& aboutBoxDialog();
// The same in English, as the table is written.
const DialogLayout& englishAboutBoxDialog();

// The About box while its modal run lasts. Each run takes a fresh one. OK,
// Escape and the close box all end the dialog; its result is unused.
class AboutBox {
  public:
    // `labelHost` is the contact control's window; `messageCaption` is the
    // application's name, the caption of the label's error box; `endModal`
    // ends the dialog's modal run with its result (idOk, or idCancel for
    // Escape and the close box).
    AboutBox(HyperLinkHost& labelHost, std::string messageCaption,
             std::function<void(int result)> endModal);

    // Initialisation once the dialog's window exists: the contact control, as
    // the dialog made it, becomes the label (its attach), then the label's url
    // becomes "mailto:" and the contact address, and the box takes the user's
    // actions. Returns the control that gets the focus: the dialog's first tab
    // stop (OK).
    int initDialog(const LabelControl& contact);

    // What the user does (see window/DialogState.h): OK ends the box.
    void userClick(int id) { dialog_.userClick(id); }
    // Escape, the close box or the window menu's close command.
    void userPressEscape() { dialog_.userPressEscape(); }
    const DialogState& dialog() const { return dialog_; }

    HyperLinkLabel& label() { return label_; }
    const HyperLinkLabel& label() const { return label_; }

  private:
    DialogEvents events();
    void end(int result);

    HyperLinkLabel label_;
    std::function<void(int)> endModal_;
    // Its controls show their captions for good: nothing to mirror.
    DialogState dialog_;
};

} // namespace varnholt::shell
