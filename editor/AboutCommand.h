#pragma once
// The editor's own entry of its window menu: the command that opens the About
// box.

#include "window/WindowMenu.h"
#include "words/UiText.h"

#include <string_view>
#include <vector>

namespace varnholt {

inline constexpr unsigned aboutCommandId = 16;
inline constexpr std::string_view aboutMenuText = uiText("&About Varnholt...");

// A separator and then the About command, or none when the menu text is empty.
std::vector<MenuEntry> aboutMenuEntries(std::string_view menuText = aboutMenuText);

} // namespace varnholt
