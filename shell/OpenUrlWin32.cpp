#include "shell/OpenUrlWin32.h"

#include "words/UiText.h"

namespace varnholt::shell {

namespace {

std::string_view knownExplanation(OpenResult code) {
    switch (code) {
    case 0:
        return uiText("The operating system is out\nof memory or resources.");
    case 2:
        return uiText("The specified file was not found.");
    case 3:
        return uiText("The specified path was not found.");
    case 5:
        return uiText("The operating system denied\naccess to the specified file.");
    case 8:
        return uiText("There was not enough memory to complete the operation.");
    case 11:
        return uiText("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26:
        return uiText("A sharing violation occurred. ");
    case 27:
        return uiText("The filename association is\nincomplete or invalid.");
    case 28:
        return uiText("The DDE transaction could not\nbe completed because the request timed out.");
    case 29:
        return uiText("The DDE transaction failed.");
    case 30:
        return uiText("The DDE transaction could not\nbe completed because other DDE "
                      "transactions\nwere being processed.");
    case 31:
        return uiText("There is no application associated\nwith the given filename extension.");
    case 32:
        return uiText("The specified dynamic-link library was not found.");
    default:
        return {};
    }
}

} // namespace

TextAlignment alignmentOfStaticStyle(unsigned long style) {
    TextAlignment alignment;
    alignment.centredVertically = (style & staticStyleCenterImage) != 0;
    if ((style & staticStyleCenter) != 0)
        alignment.horizontal = HorizontalAlignment::Centre;
    else if ((style & staticStyleRight) != 0)
        alignment.horizontal = HorizontalAlignment::Right;
    return alignment;
}

OpenResult commandLineFailure(unsigned long systemError) {
    switch (systemError) {
    case errorFileNotFound:
        return 2;
    case errorPathNotFound:
        return 3;
    case errorBadFormat:
    case errorBadExeFormat:
        return 11;
    default:
        return 0;
    }
}

std::optional<std::string> readClassesRootDefault(WindowsShell& shell, std::string_view subKey) {
    std::optional<std::string> value = shell.queryClassesRootDefault(subKey);
    if (value && value->size() >= registryValueBufferSize)
        return std::nullopt;
    return value;
}

std::optional<std::string> webPageCommandLine(std::string_view registeredCommand,
                                              std::string_view url) {
    // A quoted placeholder is cut at its opening quote, so that the URL is not
    // left inside an unclosed quote. UTF-8 has no multibyte character holding
    // a '%' or a '"' byte, so a plain search is exact.
    std::size_t cut = registeredCommand.find("\"%1\"");
    if (cut == std::string_view::npos)
        cut = registeredCommand.find("%1");
    if (cut == std::string_view::npos)
        cut = registeredCommand.size();
    const std::size_t length = cut + 1 + url.size();
    if (length >= commandLineBufferSize)
        return std::nullopt;
    std::string line;
    line.reserve(length);
    line.append(registeredCommand.substr(0, cut));
    line.push_back(' ');
    line.append(url);
    return line;
}

OpenResult openUrlWithFallback(WindowsShell& shell, std::string_view url, int showCommand) {
    const OpenResult shellResult = shell.shellOpen(url, showCommand);
    // The shell's result is a handle-sized value, judged unsigned.
    if (static_cast<std::uint64_t>(shellResult) > static_cast<std::uint64_t>(lastOpenErrorCode))
        return shellResult;
    const std::optional<std::string> fileType = readClassesRootDefault(shell, ".htm");
    if (!fileType)
        return shellResult;
    const std::optional<std::string> command =
        readClassesRootDefault(shell, *fileType + "\\shell\\open\\command");
    if (!command)
        return shellResult;
    const std::optional<std::string> line = webPageCommandLine(*command, url);
    if (!line)
        return shellResult;
    return shell.runCommandLine(*line, showCommand);
}

std::string openFailureExplanation(OpenResult code) {
    const std::string_view known = knownExplanation(code);
    if (!known.empty())
        return std::string(localized(known));
    return localizedWith(uiText("Unknown Error (%1) occurred."), {std::to_string(code)});
}

OpenUrlOutcome openUrlOnWindows(WindowsShell& shell, std::string_view url) {
    const OpenResult result = openUrlWithFallback(shell, url, showCommandShow);
    if (result > lastOpenErrorCode)
        return {true, {}};
    return {false, openFailureExplanation(result)};
}

} // namespace varnholt::shell
