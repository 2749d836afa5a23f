#pragma once
// An entry of a window's menu (the system menu behind the title bar's icon),
// as a model asks its front end to add it.

#include <string>

namespace varnholt {

struct MenuEntry {
    bool separator = false;
    unsigned commandId = 0;
    std::string text; // as stored, with its "&" marker
    bool operator==(const MenuEntry&) const = default;
};

} // namespace varnholt
