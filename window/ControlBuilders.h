#pragma once
// The one way the dialog tables are written (the editor's, the About box's):
// each row a control of its kind with its identifier, caption and rectangle,
// a Tab stop where its kind is one, and modifiers for whatever else the row
// says.

#include "window/DialogLayout.h"

#include <span>
#include <string_view>

namespace varnholt::controls {

// Check boxes, radio buttons, drop-down lists, push and picture buttons and
// text boxes take the focus by Tab; labels, group boxes, spins and icons do not.
constexpr bool isTabStopKind(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::GroupBox &&
           kind != ControlKind::Spin && kind != ControlKind::Icon;
}

constexpr ControlLayout control(ControlKind kind, int id, std::string_view caption,
                                DialogRect rect) {
    ControlLayout c;
    c.id = id;
    c.kind = kind;
    c.caption = caption;
    c.rect = rect;
    c.tabStop = isTabStopKind(kind);
    return c;
}

constexpr ControlLayout label(int id, std::string_view caption, DialogRect rect) {
    return control(ControlKind::Label, id, caption, rect);
}

constexpr ControlLayout groupBox(std::string_view caption, DialogRect rect) {
    return control(ControlKind::GroupBox, noControlId, caption, rect);
}

// A drop-down list; `rect` includes its opened list, `closedHeight` is its own.
constexpr ControlLayout list(int id, DialogRect rect, std::span<const std::string_view> items,
                             int closedHeight) {
    ControlLayout c = control(ControlKind::DropDownList, id, {}, rect);
    c.items = items;
    c.closedHeight = closedHeight;
    return c;
}

// Arrows that step box `buddy` within `minimum` to `maximum`, also by the
// arrow keys in the box.
constexpr ControlLayout spin(int id, DialogRect rect, int buddy, int minimum, int maximum) {
    ControlLayout c = control(ControlKind::Spin, id, {}, rect);
    c.buddyId = buddy;
    c.spinMinimum = minimum;
    c.spinMaximum = maximum;
    c.spinArrowKeys = true;
    return c;
}

// Starts a group (radio buttons, and what the arrow keys reach).
constexpr ControlLayout grouped(ControlLayout c) {
    c.groupStart = true;
    return c;
}

// Shows its text as it is, "&" included (a name from a saved game, a version).
constexpr ControlLayout asItIs(ControlLayout c) {
    c.noPrefix = true;
    return c;
}

// The push button Enter presses when no other has the focus.
constexpr ControlLayout asDefault(ControlLayout c) {
    c.defaultButton = true;
    return c;
}

// A control that neither its own caption nor the text before it names.
constexpr ControlLayout named(ControlLayout c, std::string_view accessibleName) {
    c.accessibleName = accessibleName;
    return c;
}

} // namespace varnholt::controls
