#include "shell/EditorApp.h"

#include "core/OutputName.h"
#include "shell/StartupArguments.h"
#include "shell/UserLanguage.h"

#include <cstdlib>
#include <utility>

namespace varnholt::shell {

std::string applicationNameFromPath(std::string_view modulePath, PathStyle style) {
    if (style == PathStyle::Posix) {
        return std::string(applicationDisplayName);
    }
    std::string name = splitPath(std::string(modulePath), style).baseName;
    return name.empty() ? std::string(applicationDisplayName) : name;
}

EditorApp::EditorApp(EditorAppHost& host, PathStyle style) : host_(host), style_(style) {}

void EditorApp::startUp() {
    const std::string language = useUserLanguage(std::getenv(std::string(languageVariable).c_str()),
                                                 host_.systemLanguages());
    const bool pathsDerived = derivePaths();

    // Read before the window system starts, so that help, the version and a
    // refusal need no display.
    const StartupArguments arguments = parseStartupArguments(host_.commandLineArguments());
    if (arguments.request != StartupArguments::Request::OpenWindow) {
        answer(arguments);
        return;
    }

    host_.startWindowSystem();
    host_.useLanguage(language);
    // A program whose folder is unknown still works: the file chooser then
    // starts without a folder, so the window opens all the same.
    if (!pathsDerived)
        host_.showMessage({applicationName(), std::string(localized(fatalInitialisationText)),
                           MessageIcon::Error});
    host_.runMainDialog({programFolder_, applicationName(), arguments.saveToOpen});
}

void EditorApp::answer(const StartupArguments& arguments) {
    using Request = StartupArguments::Request;
    const bool refused = arguments.request == Request::Refused;
    std::string text;
    if (refused) {
        text = arguments.refusal + "\n" + usageLine(programFile());
    } else if (arguments.request == Request::Help) {
        text = helpText(programFile());
    } else {
        text = versionText();
    }
    const MessageIcon icon = refused ? MessageIcon::Error : MessageIcon::Information;
    const bool shown =
        host_.answerCommandLine({{applicationName(), std::move(text), icon}, refused});
    if (refused) {
        answeredExitCode_ = refusedExitCode;
    } else {
        answeredExitCode_ = shown ? answeredExitCode : answerLostExitCode;
    }
}

int EditorApp::exit() const {
    return answeredExitCode_.value_or(0);
}

bool EditorApp::derivePaths() {
    std::optional<std::string> path = host_.queryModulePath();
    // The platform would silently cut a longer path to fit its buffer, and a
    // cut path names the wrong file; refuse it rather than derive from it.
    if (!path || path->empty() || path->size() > modulePathLimit) {
        return false;
    }
    modulePath_ = std::move(*path);

    const PathParts parts = splitPath(modulePath_, style_);
    if (parts.directory.empty()) {
        return false;
    }
    programFolder_ = parts.drive + parts.directory;
    programFolder_.pop_back(); // the separator
    // On POSIX the folder of "/varnholt" would read as "no folder known"; the
    // root is named "/" instead.
    if (programFolder_.empty() && style_ == PathStyle::Posix) {
        programFolder_ = parts.directory;
    }

    if (parts.baseName.empty() && parts.extension.empty()) {
        return false;
    }
    if (style_ == PathStyle::Windows && parts.extension.empty()) {
        return false;
    }
    return true;
}

std::string EditorApp::applicationName() const {
    return applicationNameFromPath(modulePath_, style_);
}

std::string EditorApp::programFile() const {
    const PathParts parts = splitPath(modulePath_, style_);
    const std::string file = parts.baseName + parts.extension;
    return file.empty() ? applicationName() : file;
}

} // namespace varnholt::shell
