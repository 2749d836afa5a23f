// varnholt: the editor window for Linux and macOS.
//   varnholt [SAVE]   starts the window, loading SAVE when one is given.

#include "qt/HostSupport.h"
#include "qt/QtAppHost.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(VARNHOLT_VERSION));
    QApplication::setWindowIcon(varnholt::qt::applicationIcon());

    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        QStringLiteral("Changes campaign options in Iron Dominion saved games."));
    arguments.addHelpOption();
    arguments.addVersionOption();
    arguments.addPositionalArgument(QStringLiteral("SAVE"),
                                    QStringLiteral("A saved game (.sav) to load at start-up."));
    arguments.process(application);

    varnholt::qt::QtAppHost host(arguments.positionalArguments().value(0));
    varnholt::shell::EditorApp app(host);
    app.startUp();
    return app.exit();
}
