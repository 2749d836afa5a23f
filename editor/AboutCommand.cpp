#include "editor/AboutCommand.h"

namespace varnholt {

std::vector<MenuEntry> aboutMenuEntries(std::string_view menuText) {
    if (menuText.empty())
        return {};
    return {MenuEntry{true, 0, {}}, MenuEntry{false, aboutCommandId, std::string(menuText)}};
}

} // namespace varnholt
