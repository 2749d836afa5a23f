#pragma once
// The About box on Windows: a dialog built from aboutBoxDialog(), whose
// contact-address control becomes the model's HyperLinkLabel. This class is the
// label's host: it draws, measures and opens what the label decides.

#include "shell/AboutBox.h"
#include "win32/ShellCalls.h"

#include <windows.h>

#include <string>

namespace varnholt::win32 {

class AboutWindow : public shell::HyperLinkHost {
  public:
    AboutWindow(HINSTANCE instance, HWND owner, std::string messageCaption);
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    // Runs the box modally over its owner.
    void run();

    shell::OpenUrlOutcome openUrl(std::string_view url) override;
    void reportClicks() override;
    shell::TextAlignment alignment() override;
    std::string windowText() override;
    void setWindowText(std::string_view text) override;
    shell::Rect windowRect() override;
    shell::Rect clientRect() override;
    void moveWindow(const shell::Rect& rect) override;
    void invalidate() override;
    void destroyWindow() override;
    shell::FontHandle font() override;
    void setFont(shell::FontHandle font) override;
    shell::FontHandle createUnderlinedFont(shell::FontHandle base) override;
    void deleteFont(shell::FontHandle font) override;
    shell::Size measureText(std::string_view text, shell::FontHandle font) override;
    shell::CursorHandle loadHandCursor() override;
    void destroyCursor(shell::CursorHandle cursor) override;
    void setCursor(shell::CursorHandle cursor) override;
    shell::Point pointerPosition() override;
    void startTimer(unsigned timerId, unsigned periodMs) override;
    void stopTimer(unsigned timerId) override;
    void createToolTip() override;
    void addTool(int toolId, const shell::Rect& area, std::string_view text) override;
    void setToolText(int toolId, std::string_view text) override;
    void destroyToolTip() override;
    void beep(MessageIcon sound) override;
    void showMessage(const MessageBoxRequest& request) override;

  private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclass, DWORD_PTR self);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void close(shell::CloseRequest request);

    HINSTANCE instance_;
    HWND owner_;
    HWND window_ = nullptr;
    HWND label_ = nullptr;
    HWND toolTip_ = nullptr;
    ShellCalls shell_;
    shell::AboutBox box_; // last: its label reaches this host until it is destroyed
};

} // namespace varnholt::win32
