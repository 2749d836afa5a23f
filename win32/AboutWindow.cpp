#include "win32/AboutWindow.h"

#include "win32/MessageBoxes.h"
#include "win32/WideText.h"

#include <commctrl.h>

namespace varnholt::win32 {

namespace {

// The label's leave check; its tooltip holds one tool.
constexpr UINT_PTR leaveTimerId = 100;
constexpr UINT_PTR toolId = 1;

shell::Rect rectOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The window rectangle in the parent's client coordinates.
RECT placeOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TOOLINFOW toolInfo(HWND label) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = label;
    tool.uId = toolId;
    return tool;
}

// A copy of `base` with underlining, or none when `base` cannot be described
// (a control without a font of its own keeps the system font, never underlined).
HFONT underlinedCopy(HFONT base) {
    LOGFONTW description{};
    if (!base || GetObjectW(base, sizeof description, &description) != sizeof description)
        return nullptr;
    description.lfUnderline = TRUE;
    return CreateFontIndirectW(&description);
}

// The old help viewer's hand, where Windows still has it, else the system's hand.
HCURSOR loadHandCursor() {
    HCURSOR hand = nullptr;
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::wstring viewer = std::wstring(folder) + L"\\winhlp32.exe";
        if (HMODULE module = LoadLibraryExW(viewer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            if (HCURSOR cursor = LoadCursorW(module, MAKEINTRESOURCEW(106)))
                hand = CopyCursor(cursor);
            FreeLibrary(module);
        }
    }
    if (!hand)
        hand = CopyCursor(LoadCursorW(nullptr, IDC_HAND));
    return hand;
}

} // namespace

AboutWindow::AboutWindow(HINSTANCE instance, HWND owner, std::string messageCaption)
    : instance_(instance), owner_(owner),
      box_(*this, std::move(messageCaption), [this](int result) { EndDialog(window_, result); }) {}

AboutWindow::~AboutWindow() {
    if (toolTip_ && IsWindow(toolTip_))
        DestroyWindow(toolTip_);
    if (underlineFont_)
        DeleteObject(underlineFont_);
    if (handCursor_)
        DestroyCursor(handCursor_);
}

void AboutWindow::run() {
    runDialog(instance_, owner_, shell::aboutBoxDialog(), Standing::OwnedBox);
}

INT_PTR AboutWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const int focus = box_.initDialog(takeOverLabel());
        SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, focus)),
                     TRUE);
        return FALSE;
    }
    case WM_CTLCOLORSTATIC: {
        if (reinterpret_cast<HWND>(lParam) != label_)
            return FALSE;
        const shell::Colour colour = box_.label().textColour();
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(colour.red, colour.green, colour.blue));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == shell::idContactAddress && HIWORD(wParam) == STN_CLICKED)
            box_.label().onClicked();
        else if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED)
            box_.userClick(IDOK);
        else if (LOWORD(wParam) == IDCANCEL) // Escape
            box_.userPressEscape();
        return TRUE;
    case WM_CLOSE:
        box_.userPressEscape();
        return TRUE;
    default:
        return FALSE;
    }
}

shell::LabelControl AboutWindow::takeOverLabel() {
    label_ = GetDlgItem(window_, shell::idContactAddress);
    // A static text reports clicks to its dialog only with the notify style.
    SetWindowLongPtrW(label_, GWL_STYLE, GetWindowLongPtrW(label_, GWL_STYLE) | SS_NOTIFY);
    standardFont_ = reinterpret_cast<HFONT>(SendMessageW(label_, WM_GETFONT, 0, 0));
    underlineFont_ = underlinedCopy(standardFont_);
    handCursor_ = loadHandCursor();

    toolTip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    TOOLINFOW tool = toolInfo(label_);
    GetClientRect(label_, &tool.rect);
    tool.lpszText = toolText_.data();
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SetWindowSubclass(label_, labelProc, 1, reinterpret_cast<DWORD_PTR>(this));

    RECT client;
    GetClientRect(label_, &client);
    return {utf8(windowText(label_)),
            shell::alignmentOfStaticStyle(
                static_cast<unsigned long>(GetWindowLongPtrW(label_, GWL_STYLE))),
            rectOf(placeOf(label_)), rectOf(client)};
}

LRESULT CALLBACK AboutWindow::labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<AboutWindow*>(data);
    shell::HyperLinkLabel& label = self->box_.label();
    if (self->toolTip_) {
        // The tooltip sees every message for the label first, to show and hide itself.
        MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        const DWORD position = GetMessagePos();
        relayed.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
        SendMessageW(self->toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_SETCURSOR:
        // Without a hand the pointer keeps the shape it has.
        if (label.wantsHandPointer() && self->handCursor_) {
            SetCursor(self->handCursor_);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        label.onMouseMove();
        break;
    case WM_TIMER:
        label.onLeaveCheck();
        break;
    case WM_DESTROY:
        label.detach();
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, labelProc, 1);
        self->label_ = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// --- HyperLinkHost ---------------------------------------------------------------

shell::OpenUrlOutcome AboutWindow::openUrl(std::string_view url) {
    return shell::openUrlOnWindows(shell_, url);
}

shell::Size AboutWindow::measureText(std::string_view text) {
    const std::wstring shown = wide(text);
    SIZE size{};
    HDC dc = GetDC(label_);
    HFONT font = underlineFont_ ? underlineFont_ : standardFont_;
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(label_, dc);
    return {size.cx, size.cy};
}

void AboutWindow::repaint() {
    if (!label_)
        return;
    const shell::HyperLinkLabel& label = box_.label();
    if (const std::wstring text = wide(label.text()); text != windowText(label_))
        SetWindowTextW(label_, text.c_str());
    if (const shell::Rect& r = label.rect(); r != rectOf(placeOf(label_)))
        SetWindowPos(label_, nullptr, r.left, r.top, r.width(), r.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT font = label.isUnderlined() && underlineFont_ ? underlineFont_ : standardFont_;
    if (font != reinterpret_cast<HFONT>(SendMessageW(label_, WM_GETFONT, 0, 0)))
        SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);

    TOOLINFOW tool = toolInfo(label_);
    GetClientRect(label_, &tool.rect);
    SendMessageW(toolTip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    if (std::wstring tip = wide(label.toolTipText()); tip != toolText_) {
        toolText_ = std::move(tip);
        tool.lpszText = toolText_.data();
        SendMessageW(toolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    InvalidateRect(label_, nullptr, TRUE);
}

void AboutWindow::startLeaveCheck(unsigned periodMs) {
    SetTimer(label_, leaveTimerId, periodMs, nullptr);
}

void AboutWindow::stopLeaveCheck() {
    KillTimer(label_, leaveTimerId);
}

bool AboutWindow::pointerInside() {
    const DWORD position = GetMessagePos();
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ScreenToClient(label_, &point);
    RECT client;
    GetClientRect(label_, &client);
    return PtInRect(&client, point) != FALSE;
}

void AboutWindow::beep(MessageIcon sound) {
    MessageBeep(iconStyle(sound));
}

void AboutWindow::showMessage(const MessageBoxRequest& request) {
    showMessageBox(window_, request);
}

} // namespace varnholt::win32
