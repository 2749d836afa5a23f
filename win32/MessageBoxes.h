#pragma once
// Message boxes and their sounds on Windows: the one place where the models'
// MessageIcon becomes the platform's icon style.

#include "window/MessageBox.h"

#include <windows.h>

namespace varnholt::win32 {

// The MB_ICON... style of `icon`, which is also the sound MessageBeep plays for it.
UINT iconStyle(MessageIcon icon);

// A modal box with one OK button, owned by `owner` (nullptr: a box of its
// own). Returns whether it could be shown.
bool showMessageBox(HWND owner, const MessageBoxRequest& request);

} // namespace varnholt::win32
