#include "window/ControlLabels.h"

#include "words/UiText.h"

#include <cctype>

namespace varnholt {

namespace {

bool hasOwnCaption(const ControlLayout& control) {
    return !control.caption.empty() && control.kind != ControlKind::TextBox &&
           control.kind != ControlKind::DropDownList && control.kind != ControlKind::Spin &&
           control.kind != ControlKind::Icon;
}

// The caption as spoken: as shown, without the ":" that points at the control
// beside it.
std::string spoken(const ControlLayout& control) {
    std::string name =
        control.noPrefix ? std::string(control.caption) : displayCaption(control.caption);
    if (!name.empty() && name.back() == ':')
        name.pop_back();
    return name;
}

bool inside(const DialogRect& inner, const DialogRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

} // namespace

std::optional<std::size_t> mnemonicTarget(const DialogLayout& layout, std::size_t index) {
    const auto controls = layout.controls;
    if (index >= controls.size() || controls[index].kind != ControlKind::Label ||
        controls[index].noPrefix || !mnemonicOf(controls[index].caption))
        return std::nullopt;
    for (std::size_t next = index + 1; next < controls.size(); ++next)
        if (controls[next].tabStop)
            return next;
    return std::nullopt;
}

std::optional<std::size_t> labelledControl(const DialogLayout& layout, std::size_t index) {
    if (const auto target = mnemonicTarget(layout, index))
        return target;
    const auto controls = layout.controls;
    if (index + 1 >= controls.size() || controls[index].kind != ControlKind::Label ||
        controls[index].caption.empty())
        return std::nullopt;
    const ControlKind next = controls[index + 1].kind;
    if (next == ControlKind::TextBox || next == ControlKind::DropDownList)
        return index + 1;
    return std::nullopt;
}

std::string accessibleName(const DialogLayout& layout, std::size_t index) {
    const auto controls = layout.controls;
    if (index >= controls.size())
        return {};
    const ControlLayout& control = controls[index];
    if (!control.accessibleName.empty())
        return std::string(control.accessibleName);
    switch (control.kind) {
    case ControlKind::PictureButton: {
        std::string name(control.caption);
        for (std::size_t i = 0; i < name.size(); ++i) {
            const auto c = static_cast<unsigned char>(name[i]);
            name[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
        }
        return std::string(localized(name));
    }
    case ControlKind::Spin: {
        const ControlLayout* box = layout.find(control.buddyId);
        if (!box || box->kind == ControlKind::Spin)
            return {};
        return accessibleName(layout, static_cast<std::size_t>(box - controls.data()));
    }
    default:
        break;
    }
    if (hasOwnCaption(control))
        return spoken(control);
    if (index > 0) {
        const ControlLayout& before = controls[index - 1];
        if (before.kind == ControlKind::Label && !before.caption.empty())
            return spoken(before);
    }
    const DialogRect shown = shownRect(control);
    for (std::size_t i = index; i-- > 0;)
        if (controls[i].kind == ControlKind::GroupBox && inside(shown, controls[i].rect))
            return spoken(controls[i]);
    return {};
}

} // namespace varnholt
