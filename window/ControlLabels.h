#pragma once
// What labels a control besides its own caption, from the dialog description
// alone: the control a mnemonic label leads the focus to, and the name that
// assistive technology (a screen reader) announces for each control.

#include "window/DialogLayout.h"

#include <cstddef>
#include <optional>
#include <string>

namespace varnholt {

// The control that a static text with a mnemonic gives the focus to: the next
// Tab stop after it in template order. Nothing for any other control, or when
// no Tab stop follows.
std::optional<std::size_t> mnemonicTarget(const DialogLayout& layout, std::size_t index);

// The accessible name of control `index`, spoken without the layout's
// punctuation (no "&" markers, no trailing ":"):
// - a control with a caption of its own (push button, check box, radio button,
//   group box, static text): that caption as shown;
// - a picture button: its caption, which names its pictures, in sentence case
//   ("REFRESH" is "Refresh"), in the user's language;
// - a spin: the name of the box it steps;
// - a control without a caption (text box, drop-down list, a static text that
//   shows a value): the caption of the static text or check box right before
//   it in template order, else the caption of the group box around it, else
//   empty (nothing names it; a static text is then read by what it shows).
std::string accessibleName(const DialogLayout& layout, std::size_t index);

} // namespace varnholt
