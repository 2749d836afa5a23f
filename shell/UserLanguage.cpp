#include "shell/UserLanguage.h"

#include "shell/Catalogue.h"
#include "words/UiText.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace varnholt::shell {

namespace {

std::string languageOf(std::string_view tag) {
    std::string language(tag.substr(0, tag.find_first_of("_-.@")));
    std::transform(language.begin(), language.end(), language.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return language;
}

const BuiltInCatalogue* builtIn(std::string_view language) {
    for (const BuiltInCatalogue& catalogue : builtInCatalogues())
        if (catalogue.language == language)
            return &catalogue;
    return nullptr;
}

// The installed language's texts; read once, kept for the program's life.
std::optional<MoCatalogue> installedCatalogue;
std::unordered_map<std::string_view, std::string> pseudoTexts;

std::string_view catalogueLookup(std::string_view english) {
    if (const auto translation = installedCatalogue->find(english))
        return *translation;
    return english;
}

std::string_view pseudoLookup(std::string_view english) {
    const auto it = pseudoTexts.find(english);
    return it == pseudoTexts.end() ? english : std::string_view(it->second);
}

} // namespace

std::vector<std::string> posixLanguagePreferences(const EnvironmentReader& environment) {
    const auto value = [&](const char* name) -> std::string {
        const char* text = environment(name);
        return text ? text : "";
    };
    std::string locale = value("LC_ALL");
    if (locale.empty())
        locale = value("LC_MESSAGES");
    if (locale.empty())
        locale = value("LANG");
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C."))
        return {};

    std::vector<std::string> preferences;
    const std::string list = value("LANGUAGE");
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        if (end > start)
            preferences.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    preferences.push_back(locale);
    return preferences;
}

std::string chooseLanguage(const char* override, std::span<const std::string> systemPreferences) {
    if (override && *override) {
        const std::string language = languageOf(override);
        return hasCatalogue(language) ? language : std::string(englishLanguage);
    }
    for (const std::string& preference : systemPreferences) {
        const std::string language = languageOf(preference);
        if (language == englishLanguage || hasCatalogue(language))
            return language;
    }
    return std::string(englishLanguage);
}

bool hasCatalogue(std::string_view language) {
    return language != englishLanguage &&
           builtIn(language == pseudoLanguage ? englishLanguage : language) != nullptr;
}

bool installLanguage(std::string_view language) {
    setTextLookup(nullptr);
    if (language == englishLanguage || !hasCatalogue(language))
        return language == englishLanguage;
    const bool pseudo = language == pseudoLanguage;
    auto catalogue = MoCatalogue::read(builtIn(pseudo ? englishLanguage : language)->data);
    if (!catalogue)
        return false;
    installedCatalogue = std::move(catalogue);
    if (pseudo) {
        pseudoTexts.clear();
        for (const MoCatalogue::Entry& entry : installedCatalogue->entries())
            pseudoTexts.emplace(entry.english, pseudoLocalized(entry.english));
        setTextLookup(pseudoLookup);
    } else {
        setTextLookup(catalogueLookup);
    }
    return true;
}

std::string useUserLanguage(const char* override, std::span<const std::string> systemPreferences) {
    const std::string language = chooseLanguage(override, systemPreferences);
    return installLanguage(language) ? language : std::string(englishLanguage);
}

} // namespace varnholt::shell
