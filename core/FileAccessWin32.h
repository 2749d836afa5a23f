#pragma once
// What only the Windows file access adds to core/FileAccess.h.

#include "core/FileAccess.h"

namespace varnholt {

// The failure cause of a Windows system error code (GetLastError).
FileErrorCause causeOfWindowsError(unsigned long code);

} // namespace varnholt
