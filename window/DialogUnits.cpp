#include "window/DialogUnits.h"

#include <algorithm>
#include <cstdint>

namespace varnholt {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero (MulDiv).
int mulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

// Dialog units per average character width.
constexpr int unitsPerCharWidth = 4;

// The dialog-unit x up to which control `index` could grow without reaching a
// control beside it, leaving its group box or the dialog, less the margin.
int freeRightEdge(const DialogLayout& layout, std::size_t index) {
    const DialogRect& r = layout.controls[index].rect;
    int edge = layout.rect.width;
    for (std::size_t j = 0; j < layout.controls.size(); ++j) {
        const DialogRect& o = layout.controls[j].rect;
        const bool besideVertically = o.y < r.y + r.height && r.y < o.y + o.height;
        if (j == index || !besideVertically)
            continue;
        if (layout.controls[j].kind == ControlKind::GroupBox && o.x <= r.x && r.x < o.x + o.width)
            edge = std::min(edge, o.x + o.width); // the frame around it
        else if (o.x >= r.x + r.width)
            edge = std::min(edge, o.x);
    }
    return edge - captionMargin;
}

// Whether a caption that needs more room may take the free room to its right:
// a push button or a group box keeps its size in the layout, so that the
// buttons of a row and the frames of a column stay alike.
bool growsIntoFreeRoom(const ControlLayout& control) {
    return control.kind != ControlKind::PushButton && control.kind != ControlKind::GroupBox;
}

// The fewest dialog units, no fewer than `units`, that come to at least
// `pixels` when converted with `base`.
int unitsHolding(int pixels, int units, const DialogBaseUnits& base) {
    if (base.averageCharWidth <= 0)
        return units;
    // At most two units short of the answer (the conversion rounds): step up.
    int fewest = std::max(units, unitsPerCharWidth * pixels / base.averageCharWidth - 2);
    while (horizontalPixels(fewest, base) < pixels)
        ++fewest;
    return fewest;
}

} // namespace

DialogBaseUnits dialogBaseUnits(int sampleWidth, int fontHeight) {
    return {(sampleWidth / 26 + 1) / 2, fontHeight};
}

int horizontalPixels(int dialogUnits, const DialogBaseUnits& base) {
    return mulDiv(dialogUnits, base.averageCharWidth, unitsPerCharWidth);
}

int verticalPixels(int dialogUnits, const DialogBaseUnits& base) {
    return mulDiv(dialogUnits, base.charHeight, 8);
}

PixelRect toPixels(const DialogRect& rect, const DialogBaseUnits& base) {
    return {horizontalPixels(rect.x, base), verticalPixels(rect.y, base),
            horizontalPixels(rect.width, base), verticalPixels(rect.height, base)};
}

bool captionMustFit(const ControlLayout& control) {
    switch (control.kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::PushButton:
        return true;
    case ControlKind::GroupBox:
        return !control.caption.empty();
    case ControlKind::Label:
        return !control.caption.empty();
    default:
        return false;
    }
}

FittedDialog fitDialog(const DialogLayout& layout, DialogBaseUnits base,
                       std::span<const int> captionWidths) {
    const std::size_t count = layout.controls.size();
    const auto needed = [&](std::size_t i) {
        return i < captionWidths.size() ? captionWidths[i] : 0;
    };

    FittedDialog fitted;
    fitted.base = base;
    for (std::size_t i = 0; i < count; ++i) {
        const DialogRect& r = layout.controls[i].rect;
        const int room = growsIntoFreeRoom(layout.controls[i])
                             ? std::max(r.width, freeRightEdge(layout, i) - r.x)
                             : r.width;
        if (room > 0 && needed(i) > horizontalPixels(room, fitted.base)) {
            // The smallest average width at which the room holds the caption.
            const int wanted = (unitsPerCharWidth * needed(i) + room - 1) / room;
            fitted.base.averageCharWidth = std::max(fitted.base.averageCharWidth, wanted);
        }
    }
    fitted.width = horizontalPixels(layout.rect.width, fitted.base);
    fitted.height = verticalPixels(layout.rect.height, fitted.base);

    fitted.controls.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const ControlLayout& control = layout.controls[i];
        PixelRect rect = toPixels(control.rect, fitted.base);
        if (growsIntoFreeRoom(control))
            rect.width = std::max(rect.width, needed(i));
        if (control.kind == ControlKind::DropDownList && control.closedHeight > 0)
            rect.height = verticalPixels(control.closedHeight, fitted.base);
        fitted.controls.push_back(rect);
    }
    return fitted;
}

FittedLayout::FittedLayout(const DialogLayout& layout, DialogBaseUnits base,
                           std::span<const int> captionWidths)
    : controls_(layout.controls.begin(), layout.controls.end()), layout_(layout) {
    const FittedDialog fitted = fitDialog(layout, base, captionWidths);
    int width = unitsHolding(fitted.width, layout.rect.width, base);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        DialogRect& rect = controls_[i].rect;
        const bool inside = rect.x + rect.width <= layout.rect.width;
        rect.x = unitsHolding(fitted.controls[i].x, rect.x, base);
        rect.width = unitsHolding(fitted.controls[i].width, rect.width, base);
        // What lay inside the dialog still does, rounding and all.
        if (inside)
            width = std::max(width, rect.x + rect.width);
    }
    layout_.rect.width = width;
    layout_.controls = controls_;
}

} // namespace varnholt
