#include "qt/QtAppHost.h"

#include "qt/EditorWindow.h"
#include "qt/HostSupport.h"

#include "shell/UserLanguage.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace varnholt::qt {

QtAppHost::QtAppHost(QStringList arguments) : arguments_(std::move(arguments)) {
    // Every window of the program without an icon of its own (message boxes,
    // the file dialog) shows the program's.
    QApplication::setWindowIcon(applicationIcon());
}

std::vector<std::string> QtAppHost::systemLanguages() {
#ifdef Q_OS_MACOS
    std::vector<std::string> languages;
    for (const QString& language : QLocale::system().uiLanguages())
        languages.push_back(fromQt(language));
    return languages;
#else
    return shell::posixLanguagePreferences([](const char* name) { return std::getenv(name); });
#endif
}

void QtAppHost::useLanguage(std::string_view language) {
    // Qt's own texts (the file dialog's, the message boxes' buttons) in the
    // same language, from the system's Qt translations when they are installed.
    static QTranslator qtTexts;
    if (qtTexts.load(QLocale(toQt(language)), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

std::optional<std::string> QtAppHost::queryModulePath() {
    const QString path = QCoreApplication::applicationFilePath();
    if (path.isEmpty())
        return std::nullopt;
    return fromQt(path);
}

std::vector<std::string> QtAppHost::commandLineArguments() {
    std::vector<std::string> arguments;
    for (const QString& argument : arguments_)
        arguments.push_back(fromQt(argument));
    return arguments;
}

void QtAppHost::setSettingsKey(std::string_view keyName) {
    // Where per-user settings would live; nothing is stored there.
    QCoreApplication::setOrganizationName(toQt(keyName));
}

void QtAppHost::runMainDialog(const shell::MainDialogArgs& args) {
    // Captions come from the model ("Varnholt"). Qt's display name is left
    // unset: once set, Qt appends it to every window title that does not end
    // with it, and the editor's title would read "Varnholt - PATH — Varnholt".
    EditorWindow window(args.programFolder, args.applicationName);
    if (args.saveToOpen) // once the window is up, so it owns any error box
        QTimer::singleShot(0, &window,
                           [&window, &args] { window.openSaveGame(toQt(*args.saveToOpen)); });
    window.exec();
}

void QtAppHost::showMessage(const MessageBoxRequest& request) {
    showMessageBox(nullptr, request);
}

bool QtAppHost::answerCommandLine(const shell::CommandLineAnswer& answer) {
    std::FILE* stream = answer.isRefusal ? stderr : stdout;
    const std::string line = answer.message.text + "\n";
    const bool written = std::fwrite(line.data(), 1, line.size(), stream) == line.size();
    return std::fflush(stream) == 0 && written;
}

void QtAppHost::beginBusy() {
    beginBusyPointer();
}

void QtAppHost::endBusy() {
    endBusyPointer();
}

} // namespace varnholt::qt
