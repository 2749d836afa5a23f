#include "words/UiText.h"

#include <atomic>

namespace varnholt {

namespace {
std::atomic<TextLookup> installedLookup{nullptr};
} // namespace

void setTextLookup(TextLookup lookup) noexcept {
    installedLookup.store(lookup);
}

std::string_view localized(std::string_view english) {
    const TextLookup lookup = installedLookup.load();
    return lookup ? lookup(english) : english;
}

std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const bool marker = pattern[i] == '%' && next >= '1' && next <= '9' &&
                            static_cast<std::size_t>(next - '1') < values.size();
        if (marker) {
            text += values.begin()[next - '1'];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string localizedWith(std::string_view pattern,
                          std::initializer_list<std::string_view> values) {
    return fillIn(localized(pattern), values);
}

} // namespace varnholt
