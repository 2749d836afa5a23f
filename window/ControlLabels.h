#pragma once
// What labels a control besides its own caption, from the dialog description
// alone: the control a mnemonic label leads the focus to, the control each
// static text labels, and the name that assistive technology (a screen reader)
// announces for each control.

#include "window/DialogLayout.h"

#include <cstddef>
#include <optional>
#include <string>

namespace varnholt {

// The control that a static text with a mnemonic gives the focus to: the next
// Tab stop after it in template order. Nothing for any other control, or when
// no Tab stop follows.
std::optional<std::size_t> mnemonicTarget(const DialogLayout& layout, std::size_t index);

// The control that static text `index` labels, for assistive technology (the
// "labelled by" relation; Qt's buddy): the Tab stop its mnemonic leads to,
// else the control right after it when that has no caption of its own (a text
// box or a drop-down list, read-only or not). Nothing for any other control.
std::optional<std::size_t> labelledControl(const DialogLayout& layout, std::size_t index);

// The accessible name of control `index`, spoken without the layout's
// punctuation (no "&" markers, no trailing ":"):
// - a control with an accessible name of its own in the layout: that name;
// - a control with a caption of its own (push button, check box, radio button,
//   group box, static text): that caption as shown;
// - a picture button: its caption, which names its pictures, in sentence case
//   ("REFRESH" is "Refresh"), in the user's language;
// - a spin: the name of the box it steps;
// - a control without a caption (text box, drop-down list, a static text that
//   shows a value): the caption of the static text right before it in
//   template order, else the caption of the group box around it (a
//   drop-down list as it is closed), else empty (nothing names it; a static
//   text is then read by what it shows). A check box before it does not name
//   it: "Set ..." says what ticking does, not what the control holds.
std::string accessibleName(const DialogLayout& layout, std::size_t index);

} // namespace varnholt
