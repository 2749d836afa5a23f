#include "shell/EditorApp.h"

#include "window/BusyCursor.h"

#include <utility>

namespace varnholt::shell {

namespace {

char separatorOf(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

} // namespace

std::string applicationNameFromPath(std::string_view modulePath, PathStyle style) {
    std::string_view name = modulePath;
    if (const auto slash = name.rfind(separatorOf(style)); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    return name.empty() ? std::string(fallbackApplicationName) : std::string(name);
}

EditorApp::EditorApp(EditorAppHost& host, PathStyle style) : host_(host), style_(style) {}

bool EditorApp::startUp() {
    host_.initCommonControls();
    host_.baseStartUp();
    // A program whose folder is unknown still works: the file chooser then
    // starts without a folder, so the outcome is deliberately not checked.
    static_cast<void>(derivePaths());
    host_.setSettingsKey(settingsKeyName);
    host_.runMainDialog({programFolder_, applicationName()});
    return false;
}

int EditorApp::exit() {
    const BusyCursor busy(host_);
    return host_.baseExit();
}

bool EditorApp::onCommand(unsigned commandId) {
    if (commandId != helpCommandId) {
        return false;
    }
    host_.defaultHelp();
    return true;
}

bool EditorApp::derivePaths() {
    const auto fail = [this] {
        host_.showMessage(
            {applicationName(), std::string(fatalInitialisationText), MessageIcon::Error});
        return false;
    };

    std::optional<std::string> path = host_.queryModulePath();
    // The platform would silently cut a longer path to fit its buffer, and a
    // cut path names the wrong file; refuse it rather than derive from it.
    if (!path || path->empty() || path->size() > modulePathLimit) {
        return fail();
    }
    modulePath_ = std::move(*path);

    const char separator = separatorOf(style_);
    const auto slash = modulePath_.rfind(separator);
    if (slash == std::string::npos) {
        return fail();
    }
    // On POSIX the text before a leading '/' is empty, which would read as
    // "no folder known"; the root is named "/" instead.
    programFolder_ = (slash == 0 && style_ == PathStyle::Posix) ? std::string(1, separator)
                                                                : modulePath_.substr(0, slash);

    const std::string_view fileName = std::string_view(modulePath_).substr(slash + 1);
    if (fileName.empty()) {
        return fail();
    }
    if (style_ == PathStyle::Windows && fileName.find('.') == std::string_view::npos) {
        return fail();
    }
    return true;
}

std::string EditorApp::applicationName() const {
    return applicationNameFromPath(modulePath_, style_);
}

} // namespace varnholt::shell
