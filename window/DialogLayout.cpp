#include "window/DialogLayout.h"

#include <algorithm>
#include <cctype>

namespace varnholt {

const ControlLayout* DialogLayout::find(int id) const {
    if (id == noControlId)
        return nullptr;
    const auto it = std::find_if(controls.begin(), controls.end(),
                                 [id](const ControlLayout& c) { return c.id == id; });
    return it == controls.end() ? nullptr : &*it;
}

std::optional<char> mnemonicOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i; // "&&" is a literal ampersand, not a marker
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
    }
    return std::nullopt;
}

std::string displayCaption(std::string_view caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i; // drop the marker; of "&&" the second one stays
        shown += caption[i];
    }
    return shown;
}

std::string_view pictureFor(const PictureNames& pictures, bool pressed, bool focused,
                            bool enabled) {
    if (pressed)
        return pictures.pressed;
    if (focused)
        return pictures.focused;
    if (!enabled)
        return pictures.disabled;
    return pictures.normal;
}

IconOrigin minimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

} // namespace varnholt
