#include "cli/Arguments.h"

#include "core/TextCodec.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace varnholt::cli {

std::vector<std::string> programArguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i)
        args.push_back(utf16ToUtf8(std::u16string(wide[i], wide[i] + std::wcslen(wide[i]))));
    LocalFree(wide);
    return args;
}

Utf8Console::Utf8Console() : previous_(GetConsoleOutputCP()) {
    SetConsoleOutputCP(CP_UTF8);
}

Utf8Console::~Utf8Console() {
    if (previous_ != 0)
        SetConsoleOutputCP(previous_);
}

} // namespace varnholt::cli
