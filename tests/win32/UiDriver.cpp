#include "UiDriver.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace varnholt::uidriver {

bool waitUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (done())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(10);
    }
}

// --- Windows and controls ---------------------------------------------------------

std::wstring textOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 5000, &copied);
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

void setText(HWND window, std::wstring_view text) {
    const std::wstring copy(text);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()), SMTO_NORMAL,
                        5000, &ignored);
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

bool isChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int selectionOf(HWND comboBox) {
    return static_cast<int>(SendMessageW(comboBox, CB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> itemsOf(HWND comboBox) {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(comboBox, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(
            static_cast<std::size_t>(SendMessageW(comboBox, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(static_cast<std::size_t>(
            SendMessageW(comboBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(item);
    }
    return items;
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

void click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void pick(HWND dialog, int comboId, int index) {
    HWND comboBox = GetDlgItem(dialog, comboId);
    SendMessageW(comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(comboBox));
}

RECT screenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::vector<HWND> ownedDialogs(HWND owner, std::wstring_view title) {
    struct Search {
        HWND owner;
        std::wstring_view title;
        std::vector<HWND> found;
    } search{owner, title, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (classOf(window) == L"#32770" && IsWindowVisible(window) &&
                GetWindow(window, GW_OWNER) == s.owner &&
                (s.title.empty() || textOf(window) == s.title))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForOwnedDialog(HWND owner, std::wstring_view title, DWORD ms) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            const auto dialogs = ownedDialogs(owner, title);
            found = dialogs.empty() ? nullptr : dialogs.front();
            return found != nullptr;
        },
        ms);
    return found;
}

HWND ownedWindowOfClass(HWND owner, std::wstring_view className) {
    struct Search {
        HWND owner;
        std::wstring_view className;
        HWND found = nullptr;
    } search{owner, className};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (GetWindow(window, GW_OWNER) == s.owner && classOf(window) == s.className) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

HWND iconControlOf(HWND box) {
    HWND found = nullptr;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            if (classOf(child) == L"Static" &&
                (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                *reinterpret_cast<HWND*>(data) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Which standard icon the box shows: its picture on the screen against each one
// drawn here on the same background.
std::wstring iconShownIn(HWND box) {
    HWND icon = iconControlOf(box);
    if (!icon || !IsWindowVisible(icon))
        return L"none";
    const RECT area = screenRect(icon);
    const Capture shown = captureScreen(area);
    if (shown.width == 0)
        return L"none";
    const struct {
        LPCWSTR id;
        const wchar_t* name;
    } candidates[] = {{IDI_ERROR, L"error"},
                      {IDI_WARNING, L"warning"},
                      {IDI_INFORMATION, L"information"},
                      {IDI_QUESTION, L"question"}};
    const std::wstring* best = nullptr;
    std::wstring names[4];
    long long bestDistance = LLONG_MAX;
    HDC screen = GetDC(nullptr);
    for (std::size_t c = 0; c < 4; ++c) {
        names[c] = candidates[c].name;
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, shown.width, shown.height);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        const std::uint32_t background = shown.at(0, 0);
        HBRUSH brush = CreateSolidBrush(
            RGB((background >> 16) & 255, (background >> 8) & 255, background & 255));
        RECT all{0, 0, shown.width, shown.height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(dc, 0, 0, LoadIconW(nullptr, candidates[c].id), shown.width, shown.height, 0,
                   nullptr, DI_NORMAL);
        long long distance = 0;
        for (int y = 0; y < shown.height; ++y)
            for (int x = 0; x < shown.width; ++x) {
                const COLORREF drawn = GetPixel(dc, x, y);
                const std::uint32_t seen = shown.at(x, y);
                distance +=
                    std::abs(static_cast<int>(GetRValue(drawn)) -
                             static_cast<int>((seen >> 16) & 255)) +
                    std::abs(static_cast<int>(GetGValue(drawn)) -
                             static_cast<int>((seen >> 8) & 255)) +
                    std::abs(static_cast<int>(GetBValue(drawn)) - static_cast<int>(seen & 255));
            }
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &names[c];
        }
    }
    ReleaseDC(nullptr, screen);
    return best ? *best : L"none";
}

} // namespace

std::optional<MessageBoxSeen> waitForMessageBox(HWND owner, DWORD ms) {
    HWND box = waitForOwnedDialog(owner, {}, ms);
    if (!box)
        return std::nullopt;
    MessageBoxSeen seen;
    seen.window = box;
    seen.caption = textOf(box);
    seen.text = textOf(GetDlgItem(box, 0xFFFF));
    Sleep(150); // painted
    seen.icon = iconShownIn(box);
    return seen;
}

bool closeMessageBox(HWND box) {
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

// --- Real input -------------------------------------------------------------------

bool bringToFront(HWND window) {
    SetForegroundWindow(window);
    return waitUntil([&] { return GetForegroundWindow() == window; }, 2000);
}

namespace {

void sendKeys(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(30);
}

INPUT keyInput(WORD key, bool up, bool unicode = false) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    if (unicode) {
        input.ki.wScan = key;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
    } else {
        input.ki.wVk = key;
    }
    if (up)
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
}

} // namespace

void typeText(std::wstring_view text) {
    for (wchar_t c : text)
        sendKeys({keyInput(c, false, true), keyInput(c, true, true)});
}

void pressKey(WORD key) {
    sendKeys({keyInput(key, false), keyInput(key, true)});
}

void pressWithAlt(WORD key) {
    sendKeys({keyInput(VK_MENU, false), keyInput(key, false), keyInput(key, true),
              keyInput(VK_MENU, true)});
}

void moveMouse(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &input, sizeof input);
    Sleep(30);
}

void clickMouse(POINT screen) {
    moveMouse(screen);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
    Sleep(30);
}

std::string dropFromDesktop(POINT screen, const std::wstring& file) {
    wchar_t source[MAX_PATH] = L"";
    if (!GetEnvironmentVariableW(L"VARNHOLT_DROP_SOURCE", source, MAX_PATH))
        return "VARNHOLT_DROP_SOURCE names no drag source";
    // Wine's own export: the X desktop names files by their Unix paths.
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char* unixPath = toUnix ? toUnix(file.c_str()) : nullptr;
    if (!unixPath)
        return "no Unix path for " + utf8(file);
    std::wstring line = L"\"" + std::wstring(source) + L"\" " + std::to_wstring(screen.x) + L" " +
                        std::to_wstring(screen.y) + L" \"" + wide(unixPath) + L"\"";
    HeapFree(GetProcessHeap(), 0, unixPath);
    // Wine starts a Unix program without a handle to wait on: the window shows the outcome.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION drag{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &drag))
        return "the drag source does not start: " + utf8(line);
    CloseHandle(drag.hThread);
    CloseHandle(drag.hProcess);
    return "";
}

// --- The screen ---------------------------------------------------------------

Capture captureScreen(const RECT& area) {
    Capture capture;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return capture;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    capture.width = width;
    capture.height = height;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    capture.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    for (auto& pixel : capture.pixels)
        pixel &= 0x00FFFFFF;
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return capture;
}

Capture captureBitmap(HBITMAP bitmap) {
    Capture capture;
    BITMAP size{};
    if (!GetObjectW(bitmap, sizeof size, &size))
        return capture;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    capture.pixels.resize(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight),
                               capture.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size.bmHeight)
        return {};
    capture.width = size.bmWidth;
    capture.height = size.bmHeight;
    for (auto& pixel : capture.pixels)
        pixel &= 0x00FFFFFF;
    return capture;
}

double difference(const Capture& a, const Capture& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty())
        return 255;
    long long sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {0, 8, 16})
            sum += std::abs(static_cast<int>((a.pixels[i] >> shift) & 255) -
                            static_cast<int>((b.pixels[i] >> shift) & 255));
    return static_cast<double>(sum) / (3.0 * static_cast<double>(a.pixels.size()));
}

bool saveBitmap(const Capture& capture, const std::wstring& path) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = capture.width;
    header.biHeight = -capture.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const DWORD pixelBytes = static_cast<DWORD>(capture.pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + pixelBytes;
    std::vector<std::uint8_t> bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &header, sizeof header);
    std::memcpy(bytes.data() + file.bfOffBits, capture.pixels.data(), pixelBytes);
    return writeFile(path, bytes);
}

bool hasColourNear(const Capture& capture, std::uint32_t colour, int tolerance) {
    return std::any_of(capture.pixels.begin(), capture.pixels.end(), [&](std::uint32_t p) {
        return std::abs(static_cast<int>((p >> 16) & 255) -
                        static_cast<int>((colour >> 16) & 255)) +
                   std::abs(static_cast<int>((p >> 8) & 255) -
                            static_cast<int>((colour >> 8) & 255)) +
                   std::abs(static_cast<int>(p & 255) - static_cast<int>(colour & 255)) <=
               tolerance;
    });
}

double iconMatch(const Capture& capture, HICON icon, int size) {
    // The icon drawn on black and on white: where both agree, it is opaque.
    const auto render = [&](COLORREF background) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, size, size};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return pixels;
    };
    const auto onBlack = render(RGB(0, 0, 0));
    const auto onWhite = render(RGB(255, 255, 255));
    double best = 1e9;
    for (int top = 0; top + size <= capture.height; ++top)
        for (int left = 0; left + size <= capture.width; ++left) {
            long long sum = 0;
            int count = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const COLORREF pixel = onBlack[static_cast<std::size_t>(y * size + x)];
                    if (pixel != onWhite[static_cast<std::size_t>(y * size + x)])
                        continue;
                    const std::uint32_t seen = capture.at(left + x, top + y);
                    sum +=
                        std::abs(static_cast<int>(GetRValue(pixel)) -
                                 static_cast<int>((seen >> 16) & 255)) +
                        std::abs(static_cast<int>(GetGValue(pixel)) -
                                 static_cast<int>((seen >> 8) & 255)) +
                        std::abs(static_cast<int>(GetBValue(pixel)) - static_cast<int>(seen & 255));
                    ++count;
                }
            if (count > size * size / 4)
                best = std::min(best, static_cast<double>(sum) / (3.0 * count));
        }
    return best;
}

int rightmostInk(const Capture& capture) {
    if (capture.pixels.empty())
        return -1;
    const std::uint32_t background = capture.at(0, 0);
    for (int x = capture.width - 1; x >= 0; --x)
        for (int y = 0; y < capture.height; ++y)
            if (capture.at(x, y) != background)
                return x;
    return -1;
}

// --- Another process ----------------------------------------------------------

Process::~Process() {
    if (!info.hProcess)
        return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

bool Process::start(const std::wstring& exe, const std::wstring& arguments, bool quiet) {
    std::wstring line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = INVALID_HANDLE_VALUE;
    if (quiet) {
        nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          &inherit, OPEN_EXISTING, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    }
    const bool started = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, quiet, 0,
                                        nullptr, nullptr, &startup, &info) != 0;
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    return started;
}

std::optional<DWORD> Process::waitForExit(DWORD ms) {
    if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

HWND Process::waitForMainWindow(DWORD ms) {
    struct Search {
        DWORD processId;
        HWND found = nullptr;
    } search{info.dwProcessId};
    waitUntil(
        [&] {
            EnumWindows(
                [](HWND window, LPARAM data) -> BOOL {
                    auto& s = *reinterpret_cast<Search*>(data);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    if (owner == s.processId && IsWindowVisible(window) &&
                        classOf(window) == L"#32770" && !GetWindow(window, GW_OWNER)) {
                        s.found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        ms);
    return search.found;
}

std::optional<DWORD> run(const std::wstring& exe, const std::wstring& arguments) {
    Process process;
    if (!process.start(exe, arguments, true))
        return std::nullopt;
    return process.waitForExit(30000);
}

std::wstring toolText(HANDLE process, HWND toolTip, HWND tool, UINT_PTR toolId) {
    constexpr std::size_t characters = 512;
    const std::size_t size = sizeof(TOOLINFOW) + characters * sizeof(wchar_t);
    auto* remote = static_cast<std::uint8_t*>(
        VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote)
        return L"<no memory>";
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = tool;
    info.uId = toolId;
    info.lpszText = reinterpret_cast<LPWSTR>(remote + sizeof info);
    const wchar_t empty = 0;
    WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
    WriteProcessMemory(process, remote + sizeof info, &empty, sizeof empty, nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(toolTip, TTM_GETTEXTW, characters, reinterpret_cast<LPARAM>(remote),
                        SMTO_NORMAL, 5000, &ignored);
    std::wstring text(characters, L'\0');
    ReadProcessMemory(process, remote + sizeof info, text.data(), characters * sizeof(wchar_t),
                      nullptr);
    text.resize(wcsnlen(text.c_str(), characters));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

std::vector<UDACCEL> spinAccelerationsOf(HANDLE process, HWND spin) {
    constexpr std::size_t most = 16;
    auto* remote = static_cast<UDACCEL*>(VirtualAllocEx(process, nullptr, most * sizeof(UDACCEL),
                                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote)
        return {};
    DWORD_PTR count = 0;
    SendMessageTimeoutW(spin, UDM_GETACCEL, most, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                        5000, &count);
    std::vector<UDACCEL> accelerations(std::min<std::size_t>(count, most));
    ReadProcessMemory(process, remote, accelerations.data(), accelerations.size() * sizeof(UDACCEL),
                      nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return accelerations;
}

// --- Accessibility --------------------------------------------------------------

// The interface asked for by the GUID the header declares it with: the
// IID_IAccessible of mingw-w64's import libraries found no interface.
std::wstring accessibleNameOf(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return L"<no object>";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = object->get_accName(self, &name);
    std::wstring text = result == S_OK && name ? std::wstring(name, SysStringLen(name)) : L"<none>";
    SysFreeString(name);
    object->Release();
    return text;
}

// --- Files --------------------------------------------------------------------

std::vector<std::uint8_t> readFile(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() &&
        !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
        put == bytes.size();
    CloseHandle(file);
    return ok;
}

namespace {

void listInto(const std::wstring& folder, const std::wstring& prefix,
              std::vector<std::wstring>& names) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        names.push_back(prefix + name);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listInto(folder + L"\\" + name, prefix + name + L"\\", names);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

} // namespace

std::vector<std::wstring> listTree(const std::wstring& folder) {
    std::vector<std::wstring> names;
    listInto(folder, L"", names);
    std::sort(names.begin(), names.end());
    return names;
}

void removeTree(const std::wstring& folder) {
    auto names = listTree(folder);
    std::reverse(names.begin(), names.end()); // contents before their folders
    for (const std::wstring& name : names) {
        const std::wstring path = folder + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(path.c_str()))
            RemoveDirectoryW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace varnholt::uidriver
