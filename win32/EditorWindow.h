#pragma once
// The editor window on Windows: a dialog built from editorDialog(), mirroring
// the model's controls and forwarding what the user does. It decides nothing
// itself; every rule is the model's.

#include "editor/SaveGameEditor.h"
#include "win32/DialogWindow.h"

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace varnholt::win32 {

class EditorWindow : public EditorHost, private DialogWindow {
  public:
    // `startPath`: a saved game to open once the window shows (the program's
    // argument).
    EditorWindow(HINSTANCE instance, std::string programFolder, std::string applicationName,
                 std::optional<std::string> startPath);
    ~EditorWindow() override;
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // Runs the window modally, without an owner; returns its result.
    INT_PTR run();

    void showMessage(const MessageBoxRequest& request) override;
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings& settings) override;
    void beginBusy() override;
    void endBusy() override;
    void setWindowTitle(const std::string& title) override;
    void setWindowIcon(int iconId) override;
    void attachPictures(int controlId) override;
    void addMenuEntries(const std::vector<MenuEntry>& entries) override;
    void runAboutBox(const std::string& messageCaption) override;
    void setFocus(int controlId) override;
    void selectAllText(int controlId) override;
    void controlChanged(int controlId) override;
    void endModal(int result) override;

  private:
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onCommand(int id, int code, HWND control);
    void onInitDialog();
    bool onPaint();
    void drawPicture(const DRAWITEMSTRUCT& item);
    void mirror(int id);
    HWND item(int id) const { return GetDlgItem(window_, id); }

    HINSTANCE instance_;
    std::optional<std::string> startPath_;
    bool busy_ = false;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::map<std::string, HBITMAP, std::less<>> pictures_;
    SaveGameEditor editor_; // last: it reaches this host from its first call on
};

} // namespace varnholt::win32
