#pragma once
// The shell and registry calls behind opening a link (shell/OpenUrlWin32.h).

#include "shell/OpenUrlWin32.h"

namespace varnholt::win32 {

class ShellCalls : public shell::WindowsShell {
  public:
    shell::OpenResult shellOpen(std::string_view url, int showCommand) override;
    std::optional<std::string> queryClassesRootDefault(std::string_view subKey) override;
    shell::OpenResult runCommandLine(std::string_view commandLine, int showCommand) override;
};

} // namespace varnholt::win32
