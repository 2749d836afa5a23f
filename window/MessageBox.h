#pragma once
// A modal message box as the models ask for one: one OK button, an icon, a
// caption (always the application's name) and plain text, shown as written.

#include <string>

namespace varnholt {

// Error: the error (stop) icon and sound. Warning: the exclamation icon and
// sound, also used for prompts. Information: the information icon and sound,
// for what the user asked to see (Varnholt.exe --help).
enum class MessageIcon { Error, Warning, Information };

struct MessageBoxRequest {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::Error;
    bool operator==(const MessageBoxRequest&) const = default;
};

} // namespace varnholt
