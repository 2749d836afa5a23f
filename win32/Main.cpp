// Varnholt.exe: the application object's start-up and exit on Windows.

#include "shell/EditorApp.h"
#include "win32/EditorWindow.h"
#include "win32/WideText.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

namespace varnholt::win32 {

namespace {

class AppHost : public shell::EditorAppHost {
  public:
    AppHost(HINSTANCE instance, std::optional<std::string> startPath)
        : instance_(instance), startPath_(std::move(startPath)) {}

    void setApplication(shell::EditorApp& app) { app_ = &app; }

    void initCommonControls() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    // The shell's open verb may hand the link to a COM server.
    void baseStartUp() override {
        comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }

    std::optional<std::string> queryModulePath() override {
        for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
            std::wstring path(size, L'\0');
            const DWORD length = GetModuleFileNameW(instance_, path.data(), size);
            if (length == 0)
                return std::nullopt;
            if (length < size) // otherwise the path was cut: ask again with more room
                return utf8(std::wstring_view(path.data(), length));
        }
        return std::nullopt;
    }

    // The key is named only; nothing is ever stored under it.
    void setSettingsKey(std::string_view) override {}

    void runMainDialog(const shell::MainDialogArgs& args) override {
        EditorWindow window(instance_, args.programFolder, args.applicationName, startPath_,
                            [this] {
                                if (app_)
                                    app_->onCommand(shell::helpCommandId);
                            });
        window.run();
    }

    void showMessage(const MessageBoxRequest& request) override {
        MessageBoxW(nullptr, wide(request.text).c_str(), wide(request.caption).c_str(),
                    MB_OK | (request.icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONWARNING));
    }

    void beginBusy() override { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
    void endBusy() override { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }

    int baseExit() override {
        if (comInitialised_)
            CoUninitialize();
        return 0;
    }

    // The program has no help content.
    void defaultHelp() override {}

  private:
    HINSTANCE instance_;
    std::optional<std::string> startPath_;
    shell::EditorApp* app_ = nullptr;
    bool comInitialised_ = false;
};

// The first argument, as UTF-8: a saved game to open (also what Explorer
// passes when a file is dropped on the program).
std::optional<std::string> firstArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::optional<std::string> first;
    if (arguments && count > 1 && arguments[1][0] != L'\0')
        first = utf8(arguments[1]);
    LocalFree(arguments);
    return first;
}

} // namespace

} // namespace varnholt::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace varnholt;
    win32::AppHost host(instance, win32::firstArgument());
    shell::EditorApp app(host);
    host.setApplication(app);
    app.startUp();
    return app.exit();
}
