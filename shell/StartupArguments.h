#pragma once
// The window program's command line, the same for varnholt and Varnholt.exe:
//   PROGRAM [--help | --version] [--] [SAVE]
// Options may stand anywhere before "--"; "--help" and "--version" win over
// anything else on the line. After "--" every argument is a save's name, even
// one that starts with "-"; a lone "-" is a name too. An empty argument names
// nothing and is passed over (as a shortcut with an empty "%1" gives one).
// One save at most: a second one is refused, as an unknown option is, so that
// no file is opened while the user meant another.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt::shell {

struct StartupArguments {
    enum class Request { OpenWindow, Help, Version, Refused };
    Request request = Request::OpenWindow;
    // OpenWindow: the saved game to load once the window shows, if one is named.
    std::optional<std::string> saveToOpen;
    // Refused: why, one sentence.
    std::string refusal;
    bool operator==(const StartupArguments&) const = default;
};

// `arguments`: what followed the program's name (the toolkit's own options
// already taken out), as UTF-8.
StartupArguments parseStartupArguments(const std::vector<std::string>& arguments);

// The texts the program answers with; `programFile` is the name it is started
// by ("varnholt", "Varnholt.exe").
std::string usageLine(std::string_view programFile);
std::string helpText(std::string_view programFile);
std::string versionText();

} // namespace varnholt::shell
