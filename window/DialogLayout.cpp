#include "window/DialogLayout.h"

#include <algorithm>

namespace varnholt {

const ControlLayout* DialogLayout::find(int id) const {
    if (id == noControlId)
        return nullptr;
    const auto it = std::find_if(controls.begin(), controls.end(),
                                 [id](const ControlLayout& c) { return c.id == id; });
    return it == controls.end() ? nullptr : &*it;
}

DialogRect shownRect(const ControlLayout& control) {
    DialogRect shown = control.rect;
    if (control.kind == ControlKind::DropDownList && control.closedHeight > 0)
        shown.height = control.closedHeight;
    return shown;
}

std::size_t radioGroupStart(std::span<const ControlLayout> controls, std::size_t index) {
    std::size_t first = index;
    while (first > 0 && !controls[first].groupStart &&
           controls[first - 1].kind == ControlKind::RadioButton)
        --first;
    return first;
}

namespace {

// The lower case of a Latin (Basic, Latin-1, Extended-A) or Cyrillic capital;
// any other character as it is.
char32_t lowerCase(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    const bool evenCapitals = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenCapitals && c % 2 == 0) || (oddCapitals && c % 2 == 1))
        return c + 1;
    return c;
}

std::string utf8(char32_t c) {
    std::string bytes;
    if (c < 0x80) {
        bytes += static_cast<char>(c);
    } else if (c < 0x800) {
        bytes += static_cast<char>(0xC0 | c >> 6);
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        bytes += static_cast<char>(0xE0 | c >> 12);
        bytes += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
    return bytes;
}

} // namespace

std::optional<std::string> mnemonicOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i; // "&&" is a literal ampersand, not a marker
            continue;
        }
        const auto lead = static_cast<unsigned char>(caption[i + 1]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + 1 + length > caption.size())
            return std::string(caption.substr(i + 1)); // a cut character, as it stands
        char32_t c = static_cast<char32_t>(length == 1 ? lead : lead & (0x7F >> length));
        for (std::size_t k = 1; k < length; ++k)
            c = c << 6 |
                static_cast<char32_t>(static_cast<unsigned char>(caption[i + 1 + k]) & 0x3F);
        if (length > 3)
            return std::string(caption.substr(i + 1, length));
        return utf8(lowerCase(c));
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

} // namespace varnholt
