#include "cli/Arguments.h"
#include "cli/CliApp.h"

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A file-size limit must show up as a write error, not kill the process.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const varnholt::cli::Utf8Console console;
    return varnholt::cli::run(varnholt::cli::programArguments(argc, argv), std::cout, std::cerr);
}
