#include "qt/QtAppHost.h"

#include "qt/EditorWindow.h"
#include "qt/HostSupport.h"

#include "shell/UserLanguage.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

#ifdef Q_OS_MACOS
#include <mach-o/dyld.h>
#endif

namespace varnholt::qt {

namespace {

// The options of Qt's application objects (QGuiApplication, QApplication and
// the X11 platform), which take them out of the command line for themselves.
// Those in the first two lists take the next argument as their value; those
// in the first are taken also when they end the line without one.
constexpr std::string_view qtOptionsWithValueOrNone[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle"};
constexpr std::string_view qtOptionsWithValue[] = {
    "geometry", "icon", "title", "session", "display", "name", "visual", "style", "stylesheet"};
constexpr std::string_view qtFlags[] = {"reverse", "widgetcount", "testability",
                                        "sync",    "nograb",      "dograb"};
// Given as -option=value only.
constexpr std::string_view qtOptionsWithEquals[] = {"style", "stylesheet", "qmljsdebugger",
                                                    "dialogs", "fontengine"};

template <std::size_t N> bool among(std::string_view name, const std::string_view (&names)[N]) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

std::vector<std::string> argumentsOf(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

} // namespace

std::vector<std::string> withoutQtOptions(const std::vector<std::string>& arguments) {
    std::vector<std::string> own;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--") { // what follows is the program's, as it is
            own.insert(own.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i),
                       arguments.end());
            break;
        }
        // Qt reads "--option" as "-option".
        std::string_view name = arguments[i];
        if (name.starts_with("--"))
            name.remove_prefix(1);
        name = name.starts_with('-') ? name.substr(1) : std::string_view();
        const auto equals = name.find('=');
        if (equals != std::string_view::npos && among(name.substr(0, equals), qtOptionsWithEquals))
            continue;
        if (among(name, qtOptionsWithValueOrNone)) {
            ++i;
            continue;
        }
        if (among(name, qtOptionsWithValue) && i + 1 < arguments.size()) {
            ++i;
            continue;
        }
        if (!among(name, qtFlags))
            own.push_back(arguments[i]);
    }
    return own;
}

QtAppHost::QtAppHost(int& argc, char** argv)
    : argc_(&argc), argv_(argv), arguments_(withoutQtOptions(argumentsOf(argc, argv))) {}

QtAppHost::QtAppHost(QStringList arguments) {
    for (const QString& argument : arguments)
        arguments_.push_back(fromQt(argument));
}

QtAppHost::~QtAppHost() = default;

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
    if (QCoreApplication::instance()) {
        const QString path = QCoreApplication::applicationFilePath();
        return path.isEmpty() ? std::nullopt : std::optional(fromQt(path));
    }
    // Before Qt starts, where Qt itself would look.
#if defined(Q_OS_LINUX)
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && !path.empty())
        return path.string();
#elif defined(Q_OS_MACOS)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string path(size, '\0');
    if (_NSGetExecutablePath(path.data(), &size) == 0) {
        path.resize(std::strlen(path.c_str()));
        return path;
    }
#endif
    return std::nullopt;
}

std::vector<std::string> QtAppHost::commandLineArguments() {
    return arguments_;
}

bool QtAppHost::answerCommandLine(const shell::CommandLineAnswer& answer) {
    std::FILE* stream = answer.isRefusal ? stderr : stdout;
    const std::string line = answer.message.text + "\n";
    const bool written = std::fwrite(line.data(), 1, line.size(), stream) == line.size();
    return std::fflush(stream) == 0 && written;
}

void QtAppHost::startWindowSystem() {
    // QApplication takes its own options (-platform and the like) from the
    // whole command line, as it always does.
    if (!QCoreApplication::instance() && argc_)
        application_ = std::make_unique<QApplication>(*argc_, argv_);
    // Where per-user settings would live; nothing is stored there.
    QCoreApplication::setOrganizationName(QStringLiteral("Varnholt"));
    // Every window of the program without an icon of its own (message boxes,
    // the file dialog) shows the program's.
    QApplication::setWindowIcon(applicationIcon());
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

} // namespace varnholt::qt
