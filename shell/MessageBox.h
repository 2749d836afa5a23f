#pragma once
// A modal message box as the shell's models ask for one: one OK button, an
// icon and a caption (always the application's name).

#include <string>

namespace varnholt::shell {

// Stop is the error icon (and sound); Exclamation the warning one.
enum class MessageIcon { Stop, Exclamation };

struct MessageBoxRequest {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::Stop;

    bool operator==(const MessageBoxRequest&) const = default;
};

} // namespace varnholt::shell
