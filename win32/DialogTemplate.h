#pragma once
// A real dialog from a dialog description: the extended dialog template
// (DLGTEMPLATEEX) built in memory, for DialogBoxIndirectParamW. Sizes stay in
// dialog units, so the dialog grows with the system font and the screen's DPI.

#include "window/DialogLayout.h"

#include <windows.h>

#include <vector>

namespace varnholt::win32 {

// The window class and styles a control kind is made with.
struct ControlStyle {
    WORD classAtom = 0;             // a predefined class (Button, Edit, ...), or 0
    const wchar_t* className = L""; // used when classAtom is 0
    DWORD style = 0;
    DWORD exStyle = 0;
};
ControlStyle controlStyle(const ControlLayout& control);

// Every dialog of the program is made in this font; dialog units follow its
// metrics. "MS Shell Dlg" stands for the system's dialog font.
inline constexpr std::string_view dialogFontName = "MS Shell Dlg";
inline constexpr int dialogFontPointSize = 8;

class DialogTemplate {
  public:
    // A dialog frame of fixed size with a title bar, without minimise or
    // maximise boxes; a main window is visible when made and has a task-bar
    // button.
    DialogTemplate(const DialogLayout& dialog, bool mainWindow);
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void word(WORD value) { words_.push_back(value); }
    void dword(DWORD value);
    void text(std::string_view utf8);
    void alignToDword();

    std::vector<WORD> words_;
};

} // namespace varnholt::win32
