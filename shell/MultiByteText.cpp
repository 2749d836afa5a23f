#include "shell/MultiByteText.h"

namespace varnholt::shell {

namespace {

// Length in bytes of the character starting at `at`. A lead byte at the very
// end steps past the end, which the callers' loops treat as the end.
std::size_t charLength(std::string_view text, std::size_t at, const LeadBytePredicate& isLeadByte) {
    return isLeadByte && isLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
}

} // namespace

std::size_t findLastChar(std::string_view text, char ch, const LeadBytePredicate& isLeadByte) {
    // Character starts are only known walking forward, so remember the last hit.
    std::size_t found = std::string_view::npos;
    for (std::size_t at = 0; at < text.size(); at += charLength(text, at, isLeadByte)) {
        if (text[at] == ch) {
            found = at;
        }
    }
    return found;
}

std::size_t findFirstChar(std::string_view text, char ch, const LeadBytePredicate& isLeadByte) {
    return findFirstText(text, std::string_view(&ch, 1), isLeadByte);
}

std::size_t findFirstText(std::string_view text, std::string_view needle,
                          const LeadBytePredicate& isLeadByte) {
    if (needle.empty()) {
        return 0;
    }
    for (std::size_t at = 0; at < text.size(); at += charLength(text, at, isLeadByte)) {
        if (text.substr(at).starts_with(needle)) {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace varnholt::shell
