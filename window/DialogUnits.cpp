#include "window/DialogUnits.h"

#include <algorithm>
#include <cstdint>
#include <optional>

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

// The dialog-unit x down to and up to which control `index` could grow without
// reaching a control beside it, leaving its group box or the dialog, each
// with the margin kept.
struct FreeEdges {
    int left = 0;
    int right = 0;
    // Where the control beside it to its right starts, when that bounds `right`
    // (not a frame or the dialog's edge).
    std::optional<int> nextControl;
};

FreeEdges freeEdges(const DialogLayout& layout, std::size_t index) {
    const DialogRect& r = layout.controls[index].rect;
    FreeEdges edges{0, layout.rect.width, std::nullopt};
    for (std::size_t j = 0; j < layout.controls.size(); ++j) {
        const DialogRect& o = layout.controls[j].rect;
        const bool besideVertically = o.y < r.y + r.height && r.y < o.y + o.height;
        if (j == index || !besideVertically)
            continue;
        if (layout.controls[j].kind == ControlKind::GroupBox && o.x <= r.x && r.x < o.x + o.width) {
            edges.left = std::max(edges.left, o.x); // the frame around it
            if (o.x + o.width < edges.right) {
                edges.right = o.x + o.width;
                edges.nextControl.reset();
            }
            continue;
        }
        if (o.x >= r.x + r.width && o.x < edges.right) {
            edges.right = o.x;
            edges.nextControl = o.x;
        }
        if (o.x + o.width <= r.x)
            edges.left = std::max(edges.left, o.x + o.width);
    }
    return {edges.left + captionMargin, edges.right - captionMargin, edges.nextControl};
}

// Whether a caption that needs more room may take the free room to its right:
// a push button or a group box keeps its size in the layout, so that the
// buttons of a row and the frames of a column stay alike.
bool growsIntoFreeRoom(const ControlLayout& control) {
    return control.kind != ControlKind::PushButton && control.kind != ControlKind::GroupBox;
}

// Whether a static text may also take the free room to its left: not when
// another caption starts where it starts, a column whose left edge stays.
bool growsLeft(const DialogLayout& layout, std::size_t index) {
    const ControlLayout& control = layout.controls[index];
    if (control.kind != ControlKind::Label)
        return false;
    for (std::size_t j = 0; j < layout.controls.size(); ++j)
        if (j != index && layout.controls[j].rect.x == control.rect.x &&
            captionMustFit(layout.controls[j]))
            return false;
    return true;
}

// The room, in dialog units, a control has for its caption: to its right and,
// for a static text that may, to its left; a push button's less its padding.
struct CaptionRoom {
    int right = 0;
    int left = 0;
    int total() const { return right + left; }
};

CaptionRoom captionRoom(const DialogLayout& layout, std::size_t index, bool keepsEnglishGap) {
    const ControlLayout& control = layout.controls[index];
    const DialogRect& r = control.rect;
    if (!growsIntoFreeRoom(control)) {
        const int padding = control.kind == ControlKind::PushButton ? 2 * pushButtonPadding : 0;
        return {std::max(0, r.width - padding), 0};
    }
    const FreeEdges free = freeEdges(layout, index);
    // A static text that keeps the English gap before the control it labels
    // has the room up to that control (see fitDialog).
    CaptionRoom room{
        keepsEnglishGap ? *free.nextControl - r.x : std::max(r.width, free.right - r.x), 0};
    if (growsLeft(layout, index))
        room.left = std::max(0, r.x - free.left);
    return room;
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

// The most dialog units, no more than `units`, that come to at most `pixels`.
int unitsWithin(int pixels, int units, const DialogBaseUnits& base) {
    int most = units;
    while (most > 0 && horizontalPixels(most, base) > pixels)
        --most;
    return most;
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
                       std::span<const int> captionWidths, std::span<const int> englishWidths) {
    const std::size_t count = layout.controls.size();
    // A static text whose own rectangle reaches the control it labels (to its
    // right, nearer than the margin) keeps the gap its English caption leaves
    // before that control in the English dialog as fitted (none without English
    // widths), so that a longer caption never ends nearer its box than the
    // English one does.
    std::vector<bool> labelsControl(count, false);
    std::vector<int> labelGaps(count, 0);
    const int englishEighths =
        englishWidths.empty() ? 0 : fitDialog(layout, base, englishWidths).averageCharWidthEighths;
    for (std::size_t i = 0; i < count && !englishWidths.empty(); ++i) {
        const ControlLayout& control = layout.controls[i];
        if (control.kind != ControlKind::Label || !captionMustFit(control))
            continue;
        const std::optional<int> next = freeEdges(layout, i).nextControl;
        if (!next || *next - (control.rect.x + control.rect.width) >= captionMargin)
            continue;
        if (i < englishWidths.size() && englishWidths[i] > 0) {
            labelsControl[i] = true;
            const int room = (*next - control.rect.x) * englishEighths / (8 * unitsPerCharWidth);
            labelGaps[i] = std::max(0, room - englishWidths[i]);
        }
    }
    const auto needed = [&](std::size_t i) {
        const int width = i < captionWidths.size() ? captionWidths[i] : 0;
        return labelsControl[i] && width > 0 ? width + labelGaps[i] : width;
    };
    // Dialog units per average width, counted in eighths of a pixel.
    constexpr int unitsPerEighths = unitsPerCharWidth * 8;

    FittedDialog fitted;
    int eighths = 8 * base.averageCharWidth;
    std::vector<CaptionRoom> rooms;
    rooms.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        rooms.push_back(captionRoom(layout, i, labelsControl[i]));
        const int room = rooms.back().total();
        // The least average width at which the room, counted without rounding
        // to pixels, holds the caption.
        if (room > 0 && static_cast<long long>(needed(i)) * unitsPerEighths >
                            static_cast<long long>(room) * eighths)
            eighths = std::max(eighths, (unitsPerEighths * needed(i) + room - 1) / room);
    }
    fitted.averageCharWidthEighths = eighths;
    const auto pixels = [&](int units) { return mulDiv(units, eighths, unitsPerEighths); };
    fitted.width = pixels(layout.rect.width);
    fitted.height = verticalPixels(layout.rect.height, base);

    fitted.controls.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const ControlLayout& control = layout.controls[i];
        const DialogRect& r = control.rect;
        PixelRect rect{pixels(r.x), verticalPixels(r.y, base), pixels(r.width),
                       verticalPixels(shownRect(control).height, base)};
        if (growsIntoFreeRoom(control) && needed(i) > rect.width) {
            // The room to the right first; what it lacks, a static text takes
            // to its left, so that it still ends where its room ends.
            const int rightEdge = pixels(r.x + rooms[i].right);
            if (rect.x + needed(i) > rightEdge && rooms[i].left > 0)
                rect.x = std::max(pixels(r.x - rooms[i].left), rightEdge - needed(i));
            rect.width = needed(i);
        }
        fitted.controls.push_back(rect);
    }
    return fitted;
}

FittedLayout::FittedLayout(const DialogLayout& layout, DialogBaseUnits base,
                           std::span<const int> captionWidths, std::span<const int> englishWidths)
    : controls_(layout.controls.begin(), layout.controls.end()), layout_(layout) {
    const FittedDialog fitted = fitDialog(layout, base, captionWidths, englishWidths);
    int width = unitsHolding(fitted.width, layout.rect.width, base);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        DialogRect& rect = controls_[i].rect;
        const bool inside = rect.x + rect.width <= layout.rect.width;
        const PixelRect& pixels = fitted.controls[i];
        if (pixels.x < horizontalPixels(rect.x, base)) {
            // Moved left: it starts no later, and ends no sooner, than fitted.
            const int end = unitsHolding(pixels.x + pixels.width, rect.x + rect.width, base);
            rect.x = unitsWithin(pixels.x, rect.x, base);
            rect.width = end - rect.x;
        } else {
            rect.x = unitsHolding(pixels.x, rect.x, base);
            rect.width = unitsHolding(pixels.width, rect.width, base);
        }
        // What lay inside the dialog still does, rounding and all.
        if (inside)
            width = std::max(width, rect.x + rect.width);
    }
    layout_.rect.width = width;
    layout_.controls = controls_;
}

} // namespace varnholt
