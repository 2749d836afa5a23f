#include "window/LocalizedDialog.h"

#include "words/UiText.h"

namespace varnholt {

LocalizedDialog::LocalizedDialog(const DialogLayout& english) : layout_(english) {
    layout_.caption = localized(english.caption);
    controls_.assign(english.controls.begin(), english.controls.end());
    items_.reserve(controls_.size());
    for (ControlLayout& control : controls_) {
        control.caption = localized(control.caption);
        control.accessibleName = localized(control.accessibleName);
        std::vector<std::string_view>& items = items_.emplace_back();
        for (std::string_view item : control.items)
            items.push_back(localized(item));
        control.items = items;
    }
    layout_.controls = controls_;
    layout_.english = &english;
}

} // namespace varnholt
