#include "cli/CliApp.h"

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A file-size limit must show up as a write error, not kill the process.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    return varnholt::cli::run(args, std::cout, std::cerr);
}
