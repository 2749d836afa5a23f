#pragma once
// What the program gets from its system: the arguments as UTF-8, and a console
// that shows UTF-8 output. cli/ArgumentsPosix.cpp and cli/ArgumentsWin32.cpp
// each implement it for their systems.

#include <string>
#include <vector>

namespace varnholt::cli {

// The arguments after the program name, as UTF-8. On Windows they are read from
// the UTF-16 command line, so that no path depends on the code page.
std::vector<std::string> programArguments(int argc, char** argv);

// While it lives, the console shows UTF-8 output as such (Windows; elsewhere
// the terminal does already), and afterwards as before.
class Utf8Console {
  public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    // The code page before, where there is one (Windows only).
    [[maybe_unused]] unsigned previous_ = 0;
};

} // namespace varnholt::cli
