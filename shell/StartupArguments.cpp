#include "shell/StartupArguments.h"

#include "words/UiText.h"

#include <algorithm>

#ifndef VARNHOLT_VERSION
#error "VARNHOLT_VERSION is set by the build (shell/CMakeLists.txt)"
#endif

namespace varnholt::shell {

namespace {

constexpr std::string_view endOfOptions = "--";

bool isHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

StartupArguments refused(std::string why) {
    return {StartupArguments::Request::Refused, std::nullopt, std::move(why)};
}

} // namespace

StartupArguments parseStartupArguments(const std::vector<std::string>& arguments) {
    const auto optionsEnd = std::find(arguments.begin(), arguments.end(), endOfOptions);
    if (std::any_of(arguments.begin(), optionsEnd, isHelp))
        return {StartupArguments::Request::Help, std::nullopt, {}};
    if (std::find(arguments.begin(), optionsEnd, "--version") != optionsEnd)
        return {StartupArguments::Request::Version, std::nullopt, {}};

    StartupArguments result;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        const std::string& argument = *it;
        if (it == optionsEnd)
            continue;
        if (it < optionsEnd && argument.size() > 1 && argument.front() == '-')
            return refused(localizedWith(uiText("Unknown option \"%1\"."), {argument}));
        if (argument.empty())
            continue;
        if (result.saveToOpen)
            return refused(localizedWith(
                uiText("Only one saved game can be opened at a time; \"%1\" is one too many."),
                {argument}));
        result.saveToOpen = argument;
    }
    return result;
}

std::string usageLine(std::string_view programFile) {
    // TRANSLATORS: %1 is the program's file name. Keep the options as they
    // are; SAVE may be translated, as in the help text.
    return localizedWith(uiText("Usage: %1 [--help | --version] [--] [SAVE]"), {programFile});
}

// Short lines: a message box wraps longer ones where it likes.
std::string helpText(std::string_view programFile) {
    // TRANSLATORS: keep the options and the line breaks; a message box wraps
    // longer lines where it likes.
    return usageLine(programFile) + "\n\n" +
           std::string(localized(uiText("Opens the window that changes campaign options\n"
                                        "in Iron Dominion saved games, and loads SAVE\n"
                                        "(a .sav file) when one is given. Changes go to\n"
                                        "a new file beside the save, which stays as it is.\n"
                                        "\n"
                                        "  -h, --help   show this help and end\n"
                                        "  --version    show the version and end\n"
                                        "  --           take what follows as SAVE,\n"
                                        "               even if it starts with \"-\"")));
}

std::string versionText() {
    return "Varnholt " VARNHOLT_VERSION;
}

} // namespace varnholt::shell
