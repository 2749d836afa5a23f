#pragma once
// The one way Varnholt.exe runs a window built from a dialog description: the
// layout fitted to its captions in the dialog font, an extended dialog template
// made from it in memory, and the dialog procedure that reaches the C++ object
// for every message from WM_INITDIALOG on.

#include "window/DialogLayout.h"

#include <windows.h>

#include <string>

namespace varnholt::win32 {

// How a window of the program stands on the desktop, beyond its description.
enum class Standing {
    MainWindow, // a task-bar button, shown as it is made
    OwnedBox,   // over its owner, like any modal box
};

class DialogWindow {
  public:
    DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    virtual ~DialogWindow() = default;

  protected:
    // Runs the dialog of `layout` modally over `owner` (none for a main
    // window); returns the result the dialog ended with.
    INT_PTR runDialog(HINSTANCE instance, HWND owner, const DialogLayout& layout,
                      Standing standing);
    // Every message of the dialog, WM_INITDIALOG first: the dialog
    // procedure's answer.
    virtual INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Answers a message whose result a dialog procedure cannot return itself.
    INT_PTR answer(LONG_PTR result);

    HWND window_ = nullptr;

  private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// A window's text, whole.
std::wstring windowText(HWND window);

} // namespace varnholt::win32
