#include "win32/AboutWindow.h"

#include "win32/DialogTemplate.h"
#include "win32/WideText.h"

#include <commctrl.h>

namespace varnholt::win32 {

namespace {

HFONT fontOf(shell::FontHandle font) {
    return reinterpret_cast<HFONT>(static_cast<std::uintptr_t>(font));
}

shell::FontHandle handleOf(HFONT font) {
    return static_cast<shell::FontHandle>(reinterpret_cast<std::uintptr_t>(font));
}

shell::Rect rectOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TOOLINFOW toolInfo(HWND label, int toolId) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = label;
    tool.uId = static_cast<UINT_PTR>(toolId);
    return tool;
}

} // namespace

AboutWindow::AboutWindow(HINSTANCE instance, HWND owner, std::string messageCaption)
    : instance_(instance), owner_(owner), box_(*this, std::move(messageCaption)) {}

void AboutWindow::run() {
    const DialogTemplate dialog(shell::aboutBoxDialog());
    DialogBoxIndirectParamW(instance_, dialog.get(), owner_, dialogProc,
                            reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK AboutWindow::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<AboutWindow*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<AboutWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR AboutWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        label_ = GetDlgItem(window_, shell::idContactAddress);
        SetWindowSubclass(label_, labelProc, 1, reinterpret_cast<DWORD_PTR>(this));
        const int focus = box_.initDialog();
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
        else if (LOWORD(wParam) == IDOK)
            close(shell::CloseRequest::OkButton);
        else if (LOWORD(wParam) == IDCANCEL)
            close(shell::CloseRequest::EscapeKey);
        return TRUE;
    case WM_CLOSE:
        close(shell::CloseRequest::CloseBox);
        return TRUE;
    default:
        return FALSE;
    }
}

void AboutWindow::close(shell::CloseRequest request) {
    box_.close(request);
    if (box_.isClosed())
        EndDialog(window_, IDOK);
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
        if (label.onSetCursor())
            return TRUE;
        break;
    case WM_MOUSEMOVE:
        label.onMouseMove();
        break;
    case WM_TIMER:
        label.onTimer();
        break;
    case WM_DESTROY:
        KillTimer(window, label.leaveTimerId());
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

void AboutWindow::reportClicks() {
    SetWindowLongPtrW(label_, GWL_STYLE, GetWindowLongPtrW(label_, GWL_STYLE) | SS_NOTIFY);
}

shell::TextAlignment AboutWindow::alignment() {
    return shell::alignmentOfStaticStyle(
        static_cast<unsigned long>(GetWindowLongPtrW(label_, GWL_STYLE)));
}

std::string AboutWindow::windowText() {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(label_, text.data(), static_cast<int>(text.size()))));
    return utf8(text);
}

void AboutWindow::setWindowText(std::string_view text) {
    SetWindowTextW(label_, wide(text).c_str());
}

shell::Rect AboutWindow::windowRect() {
    RECT r;
    GetWindowRect(label_, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return rectOf(r);
}

shell::Rect AboutWindow::clientRect() {
    RECT r;
    GetClientRect(label_, &r);
    return rectOf(r);
}

void AboutWindow::moveWindow(const shell::Rect& r) {
    SetWindowPos(label_, nullptr, r.left, r.top, r.width(), r.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutWindow::invalidate() {
    InvalidateRect(label_, nullptr, TRUE);
}

void AboutWindow::destroyWindow() {
    if (label_)
        DestroyWindow(label_);
}

shell::FontHandle AboutWindow::font() {
    return handleOf(reinterpret_cast<HFONT>(SendMessageW(label_, WM_GETFONT, 0, 0)));
}

void AboutWindow::setFont(shell::FontHandle font) {
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(font)), TRUE);
}

shell::FontHandle AboutWindow::createUnderlinedFont(shell::FontHandle base) {
    LOGFONTW description{};
    if (GetObjectW(fontOf(base), sizeof description, &description) != sizeof description)
        return shell::FontHandle::None;
    description.lfUnderline = TRUE;
    return handleOf(CreateFontIndirectW(&description));
}

void AboutWindow::deleteFont(shell::FontHandle font) {
    DeleteObject(fontOf(font));
}

shell::Size AboutWindow::measureText(std::string_view text, shell::FontHandle font) {
    const std::wstring shown = wide(text);
    SIZE size{};
    HDC dc = GetDC(label_);
    HGDIOBJ previous = SelectObject(dc, fontOf(font));
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(label_, dc);
    return {size.cx, size.cy};
}

// The old help viewer's hand, where Windows still has it, else the system's hand.
shell::CursorHandle AboutWindow::loadHandCursor() {
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
    return static_cast<shell::CursorHandle>(reinterpret_cast<std::uintptr_t>(hand));
}

void AboutWindow::destroyCursor(shell::CursorHandle cursor) {
    DestroyCursor(reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(cursor)));
}

void AboutWindow::setCursor(shell::CursorHandle cursor) {
    SetCursor(reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(cursor)));
}

shell::Point AboutWindow::pointerPosition() {
    const DWORD position = GetMessagePos();
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ScreenToClient(label_, &point);
    return {point.x, point.y};
}

void AboutWindow::startTimer(unsigned timerId, unsigned periodMs) {
    SetTimer(label_, timerId, periodMs, nullptr);
}

void AboutWindow::stopTimer(unsigned timerId) {
    KillTimer(label_, timerId);
}

void AboutWindow::createToolTip() {
    toolTip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
}

void AboutWindow::addTool(int toolId, const shell::Rect& area, std::string_view text) {
    std::wstring shown = wide(text);
    TOOLINFOW tool = toolInfo(label_, toolId);
    tool.rect = {area.left, area.top, area.right, area.bottom};
    tool.lpszText = shown.data();
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void AboutWindow::setToolText(int toolId, std::string_view text) {
    std::wstring shown = wide(text);
    TOOLINFOW tool = toolInfo(label_, toolId);
    tool.lpszText = shown.data();
    SendMessageW(toolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void AboutWindow::destroyToolTip() {
    if (toolTip_ && IsWindow(toolTip_))
        DestroyWindow(toolTip_);
    toolTip_ = nullptr;
}

void AboutWindow::beep(MessageIcon sound) {
    MessageBeep(sound == MessageIcon::Warning ? MB_ICONEXCLAMATION : MB_ICONHAND);
}

void AboutWindow::showMessage(const MessageBoxRequest& request) {
    MessageBoxW(window_, wide(request.text).c_str(), wide(request.caption).c_str(),
                MB_OK | (request.icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONWARNING));
}

} // namespace varnholt::win32
