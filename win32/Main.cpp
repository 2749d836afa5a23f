// Varnholt.exe: the application object's start-up and exit on Windows.

#include "shell/EditorApp.h"
#include "win32/EditorWindow.h"
#include "win32/MessageBoxes.h"
#include "win32/WideText.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

namespace varnholt::win32 {

namespace {

class AppHost : public shell::EditorAppHost {
  public:
    explicit AppHost(HINSTANCE instance) : instance_(instance) {}
    AppHost(const AppHost&) = delete;
    AppHost& operator=(const AppHost&) = delete;

    // The user's display language, as Windows names it ("de-DE").
    std::vector<std::string> systemLanguages() override {
        wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
        const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
        if (LCIDToLocaleName(locale, name, LOCALE_NAME_MAX_LENGTH, 0) <= 1)
            return {};
        return {utf8(name)};
    }

    ~AppHost() override {
        if (comInitialised_)
            CoUninitialize();
    }

    // The common controls (the editor's spins), and COM: the shell's open verb
    // may hand a link to a COM server, and the accessible names are COM's.
    void startWindowSystem() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }

    // Windows draws its own dialogs in the user's language already.
    void useLanguage(std::string_view) override {}

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

    // After the program's own name, as the shell splits the command line (a
    // file dropped on the program in Explorer comes as one argument).
    std::vector<std::string> commandLineArguments() override {
        int count = 0;
        LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
        std::vector<std::string> result;
        for (int i = 1; arguments && i < count; ++i)
            result.push_back(utf8(arguments[i]));
        LocalFree(arguments);
        return result;
    }

    // F1 does nothing: the program has no help content.
    void runMainDialog(const shell::MainDialogArgs& args) override {
        EditorWindow window(instance_, args.programFolder, args.applicationName, args.saveToOpen);
        window.run();
    }

    void showMessage(const MessageBoxRequest& request) override {
        showMessageBox(nullptr, request);
    }

    // A program without a console answers in a box.
    bool answerCommandLine(const shell::CommandLineAnswer& answer) override {
        return showMessageBox(nullptr, answer.message);
    }

  private:
    HINSTANCE instance_;
    bool comInitialised_ = false;
};

} // namespace

} // namespace varnholt::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace varnholt;
    win32::AppHost host(instance);
    shell::EditorApp app(host);
    app.startUp();
    return app.exit();
}
