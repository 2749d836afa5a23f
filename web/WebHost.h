#pragma once
// The browser's hosts of the editor and the About box: each call of a model
// lands on the page's script (web/main.mjs), which owns every HTML element.
// The page is handed in as a JavaScript object; nothing here knows the DOM.

#include "editor/EditorHost.h"
#include "editor/SaveGameEditor.h"
#include "shell/AboutBox.h"
#include "shell/HyperLinkLabel.h"

#include <emscripten/val.h>

#include <memory>
#include <string>

namespace varnholt::web {

// The folder of the in-memory file system that picked and dropped saves are
// written into, one folder per file; Browse opens there while no save is named.
inline constexpr const char* savesFolder = "/saves";

// `text` without the folders the page keeps its files in: a path of the
// in-memory file system shows as the file's own name.
std::string withoutFolders(std::string text);

// The editor window on the page. The page object answers every EditorHost
// call by a method of the same meaning (see main.mjs, `editorHost`).
class WebEditor {
  public:
    explicit WebEditor(emscripten::val page);
    ~WebEditor();
    WebEditor(const WebEditor&) = delete;
    WebEditor& operator=(const WebEditor&) = delete;

    void initialise() { editor_->initialise(); }
    // The state of control `id` as a plain object (see ControlState).
    emscripten::val control(int id) const;
    std::string windowTitle() const { return editor_->windowTitle(); }
    // The file the editor names now, as the page named it.
    std::string savePath() const { return editor_->values().sourcePath; }

    void userSetText(int id, const std::string& text) { editor_->userSetText(id, text); }
    void userClick(int id) { editor_->userClick(id); }
    void userSelect(int id, int index) { editor_->userSelect(id, index); }
    int userSpin(int id, int step) { return editor_->userSpin(id, step); }
    bool userMenuCommand(unsigned commandId) { return editor_->userMenuCommand(commandId); }
    bool acceptsDrop(int fileCount) const;
    void userDropFiles(emscripten::val paths);
    void userPickedFile(const std::string& path) { editor_->userPickedFile(path); }
    // What became of a copy the page was handed (CopyFate's number), and the
    // name of the browser's error when it failed.
    void copyFinished(int fate, const std::string& failure);

  private:
    class Host;
    std::unique_ptr<Host> host_;
    std::unique_ptr<SaveGameEditor> editor_;
};

// The About box on the page, for one run: the model and its link's host.
class WebAboutBox : public shell::HyperLinkHost {
  public:
    WebAboutBox(emscripten::val page, const std::string& messageCaption);
    ~WebAboutBox() override;

    // The contact control as the page made it; returns the control to focus.
    int initDialog(const std::string& contactText);
    void userClick(int id) { box_.userClick(id); }
    void userPressEscape() { box_.userPressEscape(); }

    // The link: what it shows, and what the pointer does.
    emscripten::val link() const;
    void onMouseMove() { box_.label().onMouseMove(); }
    void onLeaveCheck() { box_.label().onLeaveCheck(); }
    void onClicked() { box_.label().onClicked(); }

    // shell::HyperLinkHost
    shell::OpenUrlOutcome openUrl(std::string_view url) override;
    shell::Size measureText(std::string_view text) override;
    void repaint() override;
    void startLeaveCheck(unsigned periodMs) override;
    void stopLeaveCheck() override;
    bool pointerInside() override;
    void beep(MessageIcon sound) override;
    void showMessage(const MessageBoxRequest& request) override;

  private:
    emscripten::val page_;
    shell::AboutBox box_;
};

} // namespace varnholt::web
