// varnholt: the editor window for Linux and macOS.
//   varnholt [--help | --version] [--] [SAVE]   (shell/StartupArguments.h)

#include "qt/QtAppHost.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // QApplication takes its own options (-platform and the like) out of the
    // arguments; the program's own are read by the application object.
    QApplication application(argc, argv);

    varnholt::qt::QtAppHost host(QApplication::arguments().mid(1));
    varnholt::shell::EditorApp app(host);
    app.startUp();
    return app.exit();
}
