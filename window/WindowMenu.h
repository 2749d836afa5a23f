#pragma once
// The entries the editor adds to its window menu (the system menu behind the
// title bar's icon), and the test of a window-menu command for the About box.

#include "words/UiText.h"

#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

inline constexpr unsigned aboutCommandId = 16;
// String resource 101.
inline constexpr std::string_view aboutMenuText = uiText("&About Varnholt...");

struct MenuEntry {
    bool separator = false;
    unsigned commandId = 0;
    std::string text; // as stored, with its "&" marker
    bool operator==(const MenuEntry&) const = default;
};

// A separator and then the About command, or none when the menu text is empty.
std::vector<MenuEntry> aboutMenuEntries(std::string_view menuText = aboutMenuText);

// Whether a window-menu command opens the About box: its identifier with the
// low four bits cleared is aboutCommandId (the platform keeps those bits for
// itself, so 16 to 31 all do).
bool isAboutCommand(unsigned commandId);

} // namespace varnholt
