// Renders the Linux screenshots of the README: the editor window with the
// bundled example save loaded and a few settings ticked, and the About box.
// Offscreen, so no display is needed.
// Usage: varnholt_screenshots EXAMPLE OUTDIR [LANGUAGE]
// With a language ("de", "pseudo"), only the editor, as linux-editor-LANGUAGE.png.

#include "qt/AboutDialog.h"
#include "qt/EditorWindow.h"
#include "shell/UserLanguage.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace varnholt;

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: varnholt_screenshots EXAMPLE OUTDIR [LANGUAGE]\n");
        return 2;
    }
    const std::string language = argc == 4 ? argv[3] : "";
    if (!language.empty() && !shell::installLanguage(language)) {
        std::fprintf(stderr, "no catalogue for %s\n", argv[3]);
        return 2;
    }
    // A folder laid out as the game's, so the shot shows a path a player knows;
    // it must not exist yet, and goes again afterwards.
    QDir game(QDir::tempPath() + QStringLiteral("/Iron Dominion"));
    if (game.exists()) {
        std::fprintf(stderr, "%s exists already\n", qPrintable(game.path()));
        return 1;
    }
    const QString saves = game.path() + QStringLiteral("/saves");
    QDir().mkpath(saves);
    struct Remove {
        QDir& dir;
        ~Remove() { dir.removeRecursively(); }
    } remove{game};
    const QString save = saves + QStringLiteral("/quicksave.sav");
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), save)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }

    qt::EditorWindow window(QDir::currentPath().toStdString(), "Varnholt");
    window.show();
    SaveGameEditor& editor = window.editor();
    window.openSaveGame(save);
    editor.userClick(idSetCampaignDifficulty);
    editor.userSelect(idCampaignDifficulty, 3);
    editor.userClick(idSetUnitScale);
    editor.userSpin(idUnitScaleSpin, +1);
    QApplication::processEvents();

    const QString out = QString::fromLocal8Bit(argv[2]);
    const QString editorShot =
        language.empty()
            ? QStringLiteral("/linux-editor.png")
            : QStringLiteral("/linux-editor-%1.png").arg(QString::fromStdString(language));
    if (!window.grab().save(out + editorShot)) {
        std::fprintf(stderr, "cannot write %s%s\n", argv[2], qPrintable(editorShot));
        return 1;
    }
    if (!language.empty())
        return 0;
    qt::AboutDialog about("Varnholt", &window);
    about.show();
    QApplication::processEvents();
    if (!about.grab().save(out + QStringLiteral("/linux-about.png"))) {
        std::fprintf(stderr, "cannot write %s/linux-about.png\n", argv[2]);
        return 1;
    }
    return 0;
}
