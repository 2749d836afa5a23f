#pragma once
// The application object's platform on Qt: the program's own command line
// read before Qt starts (so that --help, --version and a refusal need no
// display), names, the executable's path, the console for the answers,
// message boxes, and the editor window run modally.

#include "shell/EditorApp.h"

#include <QStringList>

#include <memory>

class QApplication;

namespace varnholt::qt {

class QtAppHost : public shell::EditorAppHost {
  public:
    // The command line as main() has it. Qt's own options are taken out of
    // the program's arguments here; QApplication is made, from the whole
    // command line, once the window is to open. `argc` and `argv` must outlive
    // the host.
    QtAppHost(int& argc, char** argv);
    // Started with these arguments (Qt's options already out), where a
    // QApplication exists already.
    explicit QtAppHost(QStringList arguments = {});
    explicit QtAppHost(const QString& argument) : QtAppHost(QStringList{argument}) {}
    ~QtAppHost() override;

    std::vector<std::string> systemLanguages() override;
    std::optional<std::string> queryModulePath() override;
    std::vector<std::string> commandLineArguments() override;
    bool answerCommandLine(const shell::CommandLineAnswer& answer) override;
    void startWindowSystem() override;
    void useLanguage(std::string_view language) override;
    void runMainDialog(const shell::MainDialogArgs& args) override;
    void showMessage(const MessageBoxRequest& request) override;

  private:
    int* argc_ = nullptr;
    char** argv_ = nullptr;
    std::vector<std::string> arguments_;
    std::unique_ptr<QApplication> application_;
};

// The program's arguments of a command line (`arguments` after the program's
// name): without the options Qt's application object takes for itself
// (-platform NAME, -style=NAME, --reverse and the like), as it takes them.
std::vector<std::string> withoutQtOptions(const std::vector<std::string>& arguments);

} // namespace varnholt::qt
