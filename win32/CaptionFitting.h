#pragma once
// A dialog's layout fitted to its captions as Windows draws them: every
// caption that must fit is measured in the font the dialog manager makes from
// the template (its face and point size at the screen's DPI), with the room
// its kind of control needs beside the text, and the layout is widened where
// a caption would be cut, by window/DialogUnits' rule. The dialog template is
// built from the result, so a longer translation cuts nothing.

#include "window/DialogUnits.h"

#include <windows.h>

namespace varnholt::win32 {

// A screen device context with the dialog font selected, made as the dialog
// manager makes it from the template: the point size at the screen's DPI.
// dc() is null when the font could not be made.
class DialogFontContext {
  public:
    DialogFontContext();
    DialogFontContext(const DialogFontContext&) = delete;
    DialogFontContext& operator=(const DialogFontContext&) = delete;
    ~DialogFontContext();

    HDC dc() const { return previous_ ? dc_ : nullptr; }

  private:
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The pixels `control` needs to show its caption whole, drawn with the font
// selected into `dc`: the text as DrawText lays it out (an "&" marker taken
// out unless the control shows its text as it is), plus for a check box or
// radio button its box and the gap after it, for a push button its frame and
// padding, for a group box the title's indent on either side.
int captionWidth(HDC dc, const ControlLayout& control);

// `layout` fitted to its captions in its dialog font, made as the dialog
// manager makes it. Should the font not be made, the layout stays as it is.
FittedLayout fitToCaptions(const DialogLayout& layout);

} // namespace varnholt::win32
