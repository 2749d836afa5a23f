#pragma once
// Which language the windows speak: the user's, as the system names it, when
// the program has a catalogue for it, else English. VARNHOLT_LANGUAGE names
// one for testing, or English for users who want it ("en"); nothing is stored.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt::shell {

inline constexpr std::string_view languageVariable = "VARNHOLT_LANGUAGE";
inline constexpr std::string_view englishLanguage = "en";
// Every text lengthened and accented, to see that nothing is cut.
inline constexpr std::string_view pseudoLanguage = "pseudo";

// Reads an environment variable; nullptr when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

// The languages a POSIX system asks for, in order, as gettext reads them:
// LANGUAGE's colon-separated list, then the locale of messages (LC_ALL, else
// LC_MESSAGES, else LANG). A locale of "C" or "POSIX", or none, means English,
// and LANGUAGE is then not read.
std::vector<std::string> posixLanguagePreferences(const EnvironmentReader& environment);

// The language to show: `override` when it is set and not empty (English when
// the program has no catalogue for it); else the first of `systemPreferences`
// that is English or has a catalogue; else English. A preference is a tag such
// as "de", "de_AT.UTF-8", "de-DE" or "pt_BR@latin"; its language is what comes
// before the first "_", "-", "." or "@", in any case.
std::string chooseLanguage(const char* override, std::span<const std::string> systemPreferences);

// Whether the program has a catalogue for `language` ("pseudo" included).
bool hasCatalogue(std::string_view language);

// Shows every later text in `language`: its built-in catalogue, the
// pseudo-language, or English (no lookup). Returns false, leaving English,
// when the program has no such catalogue or it cannot be read.
bool installLanguage(std::string_view language);

// Chooses the language (chooseLanguage) and installs it; returns the language
// every later text is shown in, English when the chosen one could not be
// installed.
std::string useUserLanguage(const char* override, std::span<const std::string> systemPreferences);

} // namespace varnholt::shell
