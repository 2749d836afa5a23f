#pragma once
// Two rules of Windows's own windows that the front end follows: where a
// minimised dialog draws its icon, and which command a window-menu command
// stands for.

namespace varnholt::win32 {

struct IconOrigin {
    int x = 0;
    int y = 0;
    bool operator==(const IconOrigin&) const = default;
};

// The icon centred in the client area, the divisions truncating.
constexpr IconOrigin minimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth,
                                         int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

// Windows keeps the low four bits of a window-menu command (WM_SYSCOMMAND) for
// itself: the program's command is what remains, so 16 to 31 all stand for 16.
constexpr unsigned windowMenuCommand(unsigned long long wParam) {
    return static_cast<unsigned>(wParam) & ~0xFu;
}

} // namespace varnholt::win32
