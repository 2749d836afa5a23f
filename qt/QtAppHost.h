#pragma once
// The application object's platform on Qt: names, the executable's path and
// arguments, the busy pointer, message boxes, the console for the answers to
// the command line, and the editor window run modally.

#include "shell/EditorApp.h"

#include <QStringList>

namespace varnholt::qt {

class QtAppHost : public shell::EditorAppHost {
  public:
    // `arguments`: what followed the program's name, Qt's own options taken
    // out (QApplication does that).
    explicit QtAppHost(QStringList arguments = {});
    // Started with one argument.
    explicit QtAppHost(const QString& argument) : QtAppHost(QStringList{argument}) {}

    std::vector<std::string> systemLanguages() override;
    void useLanguage(std::string_view language) override;
    void initCommonControls() override {}
    void baseStartUp() override {}
    std::optional<std::string> queryModulePath() override;
    std::vector<std::string> commandLineArguments() override;
    void setSettingsKey(std::string_view keyName) override;
    void runMainDialog(const shell::MainDialogArgs& args) override;
    void showMessage(const MessageBoxRequest& request) override;
    bool answerCommandLine(const shell::CommandLineAnswer& answer) override;
    void beginBusy() override;
    void endBusy() override;
    int baseExit() override { return 0; }

  private:
    QStringList arguments_;
};

} // namespace varnholt::qt
