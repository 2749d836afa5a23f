// The user's folders on Windows.

#include "core/FileAccessWin32.h"
#include "core/TextCodec.h"

#include <string>

namespace varnholt {

bool isWritableFolder(const std::string& folder) {
    if (folder.empty())
        return false;
    std::wstring wide;
    try {
        wide = fileio::systemPath(folder);
    } catch (const FileError&) {
        return false; // not a path the system could take
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // Windows decides by the folder's access rules, which no attribute shows:
    // a file made here and removed again on closing is the answer.
    const std::wstring probe = wide + L"\\varnholt-" + std::to_wstring(GetCurrentProcessId()) +
                               L"-" + std::to_wstring(GetTickCount()) + L".tmp";
    const HANDLE file = CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(file);
    return true;
}

std::optional<std::string> homeFolder() {
    const DWORD size = GetEnvironmentVariableW(L"USERPROFILE", nullptr, 0);
    if (size <= 1)
        return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(L"USERPROFILE", value.data(), size));
    if (value.empty())
        return std::nullopt;
    return utf16ToUtf8(std::u16string(value.begin(), value.end()));
}

} // namespace varnholt
