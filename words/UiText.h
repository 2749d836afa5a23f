#pragma once
// The texts a window shows, in the user's language. Every English text is
// marked with uiText() where it is written, so that the translators' template
// (po/varnholt.pot) is made from the code; each window program installs the
// catalogue of the user's language once, at start-up. Without one, as in
// varnholt-cli and the tests, every text stays English: scripts read it.

#include <initializer_list>
#include <string>
#include <string_view>

namespace varnholt {

// Marks `english` for the template. It stays English until localized().
constexpr const char* uiText(const char* english) noexcept {
    return english;
}

// Answers a marked English text with its translation, or with `english`
// itself when it has none. What it returns must live as long as the program.
using TextLookup = std::string_view (*)(std::string_view english);

// Installs the lookup for every later localized(); nullptr brings English back.
// Called before any window is made.
void setTextLookup(TextLookup lookup) noexcept;

// `english` in the user's language.
std::string_view localized(std::string_view english);

// `pattern` in the user's language with "%1", "%2", ... replaced by `values`
// in one pass, so that a value holding "%2" is kept as it is. A marker with no
// value, and any other "%", stay as they are.
std::string localizedWith(std::string_view pattern, std::initializer_list<std::string_view> values);

// The same, without translating `pattern`.
std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> values);

} // namespace varnholt
