#pragma once
// How Windows opens a link: the shell's "open" verb, and when that fails, the
// program registered for web pages (the ".htm" association), with the shell's
// numbered failures explained in words. Only the decisions are here; the
// Windows front end supplies the shell and registry calls through WindowsShell.
// It holds no Windows type, so its rules are tested on every platform.

#include "shell/HyperLinkLabel.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnholt::shell {

// The result of ShellExecute or WinExec: greater than 32 is success, anything
// else is the platform's error code.
using OpenResult = std::int64_t;
inline constexpr OpenResult lastOpenErrorCode = 32;

// The show command links are opened with (SW_SHOW).
inline constexpr int showCommandShow = 5;

// Static-control style bits that decide how a label aligns its text.
inline constexpr unsigned long staticStyleCenter = 0x1;        // SS_CENTER
inline constexpr unsigned long staticStyleRight = 0x2;         // SS_RIGHT
inline constexpr unsigned long staticStyleCenterImage = 0x200; // SS_CENTERIMAGE
TextAlignment alignmentOfStaticStyle(unsigned long style);

// The buffers the platform calls are made with, terminator included. Longer
// texts are refused, never cut.
inline constexpr std::size_t registryValueBufferSize = 260;
inline constexpr std::size_t commandLineBufferSize = 520;

// The shell and registry calls openUrl needs.
class WindowsShell {
  public:
    virtual ~WindowsShell() = default;
    // ShellExecute with the verb "open" on `url`, no owner, parameters or
    // working folder.
    virtual OpenResult shellOpen(std::string_view url, int showCommand) = 0;
    // The default (unnamed) value of a key under HKEY_CLASSES_ROOT, complete,
    // or nothing when the key cannot be opened for querying or the value
    // cannot be read. The length limit is applied by readClassesRootDefault.
    virtual std::optional<std::string> queryClassesRootDefault(std::string_view subKey) = 0;
    // Starts a command line as WinExec does: greater than 31 on success,
    // otherwise commandLineFailure of the platform's error.
    virtual OpenResult runCommandLine(std::string_view commandLine, int showCommand) = 0;
};

// Starting a command line: what WinExec answers for a process that was started,
// and for one that was not, by the platform's error number (GetLastError):
// 2 (file not found), 3 (path not found), 11 (not a Windows program), or 0
// (out of memory or resources) for every other error.
inline constexpr OpenResult commandLineStarted = 33;
inline constexpr unsigned long errorFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
inline constexpr unsigned long errorPathNotFound = 3;   // ERROR_PATH_NOT_FOUND
inline constexpr unsigned long errorBadFormat = 11;     // ERROR_BAD_FORMAT
inline constexpr unsigned long errorBadExeFormat = 193; // ERROR_BAD_EXE_FORMAT
OpenResult commandLineFailure(unsigned long systemError);

// The default value of a key under the classes root, or nothing when it cannot
// be read or would not fit registryValueBufferSize (terminator included).
std::optional<std::string> readClassesRootDefault(WindowsShell& shell, std::string_view subKey);

// The command line that opens `url` with the program registered for web pages,
// from that program's registered open command: the command is cut at the first
// "\"%1\"" (at its opening quote), else at the first "%1", else kept whole;
// whatever followed the placeholder is dropped; then one blank and the URL,
// unquoted. Nothing when the result would not fit commandLineBufferSize.
std::optional<std::string> webPageCommandLine(std::string_view registeredCommand,
                                              std::string_view url);

// Opens `url`: the shell's "open" verb first; if that fails, the command
// registered for ".htm" files (type name from ".htm", then
// "<type>\shell\open\command"), run through webPageCommandLine. When that
// fallback cannot be built (a look-up fails, a value or the command line is too
// long) the shell's own result is returned, so the user hears why the shell
// failed. Otherwise the result of starting the command line.
OpenResult openUrlWithFallback(WindowsShell& shell, std::string_view url, int showCommand);

// The words for a failure code ("Unknown Error (%d) occurred." for codes
// without words of their own).
std::string openFailureExplanation(OpenResult code);

// openUrlWithFallback as the label needs it: opened when the result, compared
// as a signed number, is greater than 32; otherwise the code's explanation.
OpenUrlOutcome openUrlOnWindows(WindowsShell& shell, std::string_view url);

} // namespace varnholt::shell
