#pragma once
// The application object's platform on Qt: names, the executable's path, the
// busy pointer, message boxes, and the editor window run modally.

#include "shell/EditorApp.h"

#include <QString>

namespace varnholt::qt {

class QtAppHost : public shell::EditorAppHost {
  public:
    // `saveToOpen`: a saved game to load once the window is up (the program's
    // argument), or empty.
    explicit QtAppHost(QString saveToOpen = {});

    void initCommonControls() override {}
    void baseStartUp() override {}
    std::optional<std::string> queryModulePath() override;
    void setSettingsKey(std::string_view keyName) override;
    void runMainDialog(const shell::MainDialogArgs& args) override;
    void showMessage(const MessageBoxRequest& request) override;
    void beginBusy() override;
    void endBusy() override;
    int baseExit() override { return 0; }
    void defaultHelp() override {}

  private:
    QString saveToOpen_;
};

} // namespace varnholt::qt
