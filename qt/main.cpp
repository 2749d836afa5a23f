// varnholt: the editor window for Linux and macOS.
//   varnholt [--help | --version] [--] [SAVE]   (shell/StartupArguments.h)

#include "qt/QtAppHost.h"

int main(int argc, char* argv[]) {
    // The program's own arguments are read before Qt starts: --help, --version
    // and a refusal are answered on the console, without a display. Qt starts,
    // with its own options, when the window is to open.
    varnholt::qt::QtAppHost host(argc, argv);
    varnholt::shell::EditorApp app(host);
    app.startUp();
    return app.exit();
}
