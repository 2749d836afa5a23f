#include "win32/ShellCalls.h"

#include "win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

namespace varnholt::win32 {

static_assert(shell::errorFileNotFound == ERROR_FILE_NOT_FOUND &&
              shell::errorPathNotFound == ERROR_PATH_NOT_FOUND &&
              shell::errorBadFormat == ERROR_BAD_FORMAT &&
              shell::errorBadExeFormat == ERROR_BAD_EXE_FORMAT);

shell::OpenResult ShellCalls::shellOpen(std::string_view url, int showCommand) {
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wide(url).c_str(), nullptr, nullptr, showCommand);
    return static_cast<shell::OpenResult>(reinterpret_cast<INT_PTR>(result));
}

std::optional<std::string> ShellCalls::queryClassesRootDefault(std::string_view subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, wide(subKey).c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::string> value;
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                             &bytes) == ERROR_SUCCESS) {
            text.resize(wcsnlen(text.c_str(), bytes / sizeof(wchar_t)));
            value = utf8(text);
        }
    }
    RegCloseKey(key);
    return value;
}

// As WinExec answers (CreateProcess takes the program's name in UTF-16).
shell::OpenResult ShellCalls::runCommandLine(std::string_view commandLine, int showCommand) {
    std::wstring line = wide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return shell::commandLineStarted;
    }
    return shell::commandLineFailure(GetLastError());
}

} // namespace varnholt::win32
