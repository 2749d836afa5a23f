#pragma once
// Driving Varnholt.exe from a second process, as a user would and as a user
// sees it: window texts, ticks, lists, focus, message boxes, pixels on the
// screen. Win32 only; every call works across processes under Wine and Windows.

#include "core/TextCodec.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt::uidriver {

// Windows text is UTF-16 in wchar_t; the program's text is UTF-8.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline std::wstring wide(std::string_view text) {
    const std::u16string converted = utf8ToUtf16(text);
    return std::wstring(converted.begin(), converted.end());
}
inline std::string utf8(std::wstring_view text) {
    return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// Polls `done` every 10 ms until it holds or `ms` have passed.
bool waitUntil(const std::function<bool()>& done, DWORD ms = 5000);

// --- Windows and controls ---------------------------------------------------------

std::wstring textOf(HWND window);
// WM_SETTEXT, waiting for the window to take it (not for what it then runs).
void setText(HWND window, std::wstring_view text);
std::wstring classOf(HWND window);
bool isChecked(HWND button);
int selectionOf(HWND comboBox);
std::vector<std::wstring> itemsOf(HWND comboBox);
// The window with the keyboard focus in the thread that owns `window`.
HWND focusOf(HWND window);
// A click as the button's own BM_CLICK, posted: it may open a modal window.
void click(HWND button);
// A pick in a drop-down list, with the notification a user's pick sends.
void pick(HWND dialog, int comboId, int index);
RECT screenRect(HWND window);

// Visible dialogs (#32770) owned by `owner`, with the title when one is given.
std::vector<HWND> ownedDialogs(HWND owner, std::wstring_view title = {});
HWND waitForOwnedDialog(HWND owner, std::wstring_view title = {}, DWORD ms = 5000);
// Windows of `className` owned by `owner`.
HWND ownedWindowOfClass(HWND owner, std::wstring_view className);

// A message box: its caption, its text and which standard icon it shows.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    std::wstring icon; // "error", "warning", "information", "question" or "none"
};
std::optional<MessageBoxSeen> waitForMessageBox(HWND owner, DWORD ms = 5000);
// Presses its OK button and waits for it to go.
bool closeMessageBox(HWND box);

// --- Real input -------------------------------------------------------------------

bool bringToFront(HWND window);
void typeText(std::wstring_view text);
void pressKey(WORD key);
void pressWithAlt(WORD key);
void moveMouse(POINT screen);
void clickMouse(POINT screen);
// Drops `file` at a point of the screen as a file manager of the X desktop
// does, through the drag source that VARNHOLT_DROP_SOURCE names (Wine only:
// Wine's OLE drags reach no window that only called DragAcceptFiles). It runs
// on, unwaited: what went wrong in starting it, empty when it started.
std::string dropFromDesktop(POINT screen, const std::wstring& file);

// --- The screen ---------------------------------------------------------------

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, top row first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
Capture captureScreen(const RECT& area);
// A bitmap as it is, pixel for pixel.
Capture captureBitmap(HBITMAP bitmap);
// The mean difference per colour channel (0 is identical); 255 when the sizes differ.
double difference(const Capture& a, const Capture& b);
bool saveBitmap(const Capture& capture, const std::wstring& path);
// Whether any pixel is close to `colour` (0x00RRGGBB).
bool hasColourNear(const Capture& capture, std::uint32_t colour, int tolerance = 40);
// How closely `icon` drawn at `size` pixels matches the best place in the
// capture: the mean difference per colour channel over its opaque pixels
// (0 is identical); a large number when it fits nowhere.
double iconMatch(const Capture& capture, HICON icon, int size);
// The rightmost column that differs from the capture's top-left pixel; -1 if none.
int rightmostInk(const Capture& capture);

// --- Another process ----------------------------------------------------------

struct Process {
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process(); // ends it if it still runs

    // `quiet`: its standard input and output are NUL.
    bool start(const std::wstring& exe, const std::wstring& arguments, bool quiet = false);
    // Its exit code once it has ended within `ms`, else nothing.
    std::optional<DWORD> waitForExit(DWORD ms = 5000);
    // Its first visible top-level dialog.
    HWND waitForMainWindow(DWORD ms = 10000);

    PROCESS_INFORMATION info{};
};

// Runs a program quietly to its end; its exit code, or nothing.
std::optional<DWORD> run(const std::wstring& exe, const std::wstring& arguments);

// The text of a tooltip's tool, read through memory of the tooltip's process.
std::wstring toolText(HANDLE process, HWND toolTip, HWND tool, UINT_PTR toolId);
// An up-down control's accelerations as the control holds them (UDM_GETACCEL),
// read through memory of its process.
std::vector<UDACCEL> spinAccelerationsOf(HANDLE process, HWND spin);

// --- Accessibility --------------------------------------------------------------

// What a screen reader reads as a window's name: its client object's name
// through Active Accessibility (AccessibleObjectFromWindow, get_accName);
// "<none>" when the object has no name, "<no object>" when there is none.
// COM must be initialised on this thread.
std::wstring accessibleNameOf(HWND window);

// --- Files --------------------------------------------------------------------

std::vector<std::uint8_t> readFile(const std::wstring& path);
bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
// Every file and folder below `folder`, as relative paths, sorted.
std::vector<std::wstring> listTree(const std::wstring& folder);
void removeTree(const std::wstring& folder);

} // namespace varnholt::uidriver
