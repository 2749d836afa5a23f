#pragma once
// What a screen reader calls each text box and drop-down list on Windows: the
// model's accessible name (window/ControlLabels.h), handed to Active
// Accessibility by direct annotation (IAccPropServices, oleacc, a part of
// Windows since XP). On its own, Active Accessibility names a box after the
// static text before it in z-order, which a list after a check box does not
// have: a screen reader then reads only the item the list shows.

#include "window/DialogLayout.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace varnholt::win32 {

// The text of the hidden static text that the dialog template places right
// before control `index`: Active Accessibility names a control without a
// caption of its own by the static text before it in the dialog's order, on
// Windows where no annotation is kept, and under Wine (whose text boxes take
// that name; its drop-down lists are read by their item whatever comes
// before). Empty for a control that needs none.
std::string hiddenLabelBefore(const DialogLayout& layout, std::size_t index);

// Names the text boxes and drop-down lists of `dialog`, built from `layout`;
// COM must be initialised on this thread. Where the system keeps no
// annotations (Wine's oleacc answers E_NOTIMPL), they keep the system's names:
// nothing the user does depends on them.
void nameControls(HWND dialog, const DialogLayout& layout);

// Takes the names back, as a window takes back its properties before it goes:
// on the dialog's WM_DESTROY, while its controls still exist.
void clearControlNames(HWND dialog, const DialogLayout& layout);

} // namespace varnholt::win32
