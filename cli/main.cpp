#include "cli/CliApp.h"

#include <csignal>
#include <iostream>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

namespace {

// The arguments as UTF-8, from the wide command line, so that no path depends on the code page.
std::vector<std::string> utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i) {
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(length > 0 ? static_cast<std::size_t>(length) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), length, nullptr, nullptr);
        arg.resize(arg.size() - 1); // the terminator
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
    return args;
}

// The console shows our UTF-8 output as such while we run, and as before afterwards.
class Utf8Console {
  public:
    Utf8Console() : previous_(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
    ~Utf8Console() {
        if (previous_ != 0)
            SetConsoleOutputCP(previous_);
    }

  private:
    UINT previous_;
};

} // namespace
#endif

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A file-size limit must show up as a write error, not kill the process.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
#ifdef _WIN32
    (void)argc;
    (void)argv;
    const Utf8Console console;
    const std::vector<std::string> args = utf8Arguments();
#else
    std::vector<std::string> args(argv + 1, argv + argc);
#endif
    return varnholt::cli::run(args, std::cout, std::cerr);
}
