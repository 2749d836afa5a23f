#pragma once
// The About box on Windows: a dialog built from aboutBoxDialog(), whose
// contact-address control becomes the model's HyperLinkLabel. This class is the
// label's host: it owns the fonts, the hand pointer, the tooltip and the leave
// timer, and shows what the label says.

#include "shell/AboutBox.h"
#include "win32/DialogWindow.h"
#include "win32/ShellCalls.h"

#include <windows.h>

#include <string>

namespace varnholt::win32 {

class AboutWindow : public shell::HyperLinkHost, private DialogWindow {
  public:
    AboutWindow(HINSTANCE instance, HWND owner, std::string messageCaption);
    ~AboutWindow() override;
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    // Runs the box modally over its owner.
    void run();

    shell::OpenUrlOutcome openUrl(std::string_view url) override;
    shell::Size measureText(std::string_view text) override;
    void repaint() override;
    void startLeaveCheck(unsigned periodMs) override;
    void stopLeaveCheck() override;
    bool pointerInside() override;
    void beep(MessageIcon sound) override;
    void showMessage(const MessageBoxRequest& request) override;

  private:
    static LRESULT CALLBACK labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclass, DWORD_PTR self);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Makes what the label needs of the contact control: click reports, the
    // underlined font, the hand pointer, the tooltip; returns the control as
    // the dialog made it.
    shell::LabelControl takeOverLabel();

    HINSTANCE instance_;
    HWND owner_;
    HWND label_ = nullptr;
    HWND toolTip_ = nullptr;
    std::wstring toolText_;
    HFONT standardFont_ = nullptr;  // the control's own, not owned
    HFONT underlineFont_ = nullptr; // owned
    HCURSOR handCursor_ = nullptr;  // owned
    ShellCalls shell_;
    shell::AboutBox box_; // last: its label reaches this host until it is destroyed
};

} // namespace varnholt::win32
