#pragma once
// The per-user settings key the program names as its own, under
// HKEY_CURRENT_USER\Software. Nothing is ever stored under it: the program keeps
// no settings (the end-to-end run checks that it leaves no such key).

#include <string_view>

namespace varnholt::win32 {

inline constexpr std::wstring_view settingsKeyName = L"Local AppWizard-Generated Applications";

} // namespace varnholt::win32
