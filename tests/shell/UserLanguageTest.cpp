// The user's language and the catalogues built into the window programs.

#include "shell/UserLanguage.h"
#include "shell/Catalogue.h"
#include "words/UiText.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace varnholt::shell::test {
namespace {

std::vector<std::string> preferences(std::map<std::string, std::string> variables) {
    return posixLanguagePreferences([&](const char* name) -> const char* {
        const auto it = variables.find(name);
        return it == variables.end() ? nullptr : it->second.c_str();
    });
}

TEST(UserLanguage, PosixSystemsAreReadAsGettextReadsThem) {
    using V = std::vector<std::string>;
    EXPECT_EQ(preferences({}), V{});
    EXPECT_EQ(preferences({{"LANG", "de_DE.UTF-8"}}), V{"de_DE.UTF-8"});
    EXPECT_EQ(preferences({{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "fr_FR"}}), V{"fr_FR"});
    EXPECT_EQ(preferences({{"LC_ALL", "pl_PL"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "de"}}),
              V{"pl_PL"});
    EXPECT_EQ(preferences({{"LANGUAGE", "ru::it:"}, {"LANG", "de_DE"}}), (V{"ru", "it", "de_DE"}));
    for (const char* plain : {"C", "POSIX", "C.UTF-8"})
        EXPECT_EQ(preferences({{"LANGUAGE", "de"}, {"LC_ALL", plain}}), V{})
            << plain << ": the plain locale is English, whatever LANGUAGE says";
}

TEST(UserLanguage, TheFirstLanguageWithACatalogueWinsAndTheOverrideWinsOverAll) {
    using V = std::vector<std::string>;
    EXPECT_EQ(chooseLanguage(nullptr, V{}), "en");
    EXPECT_EQ(chooseLanguage(nullptr, V{"pt_BR.UTF-8", "DE-at", "fr"}), "de");
    EXPECT_EQ(chooseLanguage(nullptr, V{"ru_RU.UTF-8@latin"}), "ru");
    EXPECT_EQ(chooseLanguage(nullptr, V{"en_GB", "de"}), "en") << "English is a choice too";
    EXPECT_EQ(chooseLanguage(nullptr, V{"pt", "nl"}), "en");
    EXPECT_EQ(chooseLanguage("", V{"it"}), "it") << "an empty override is none";
    EXPECT_EQ(chooseLanguage("en", V{"it"}), "en");
    EXPECT_EQ(chooseLanguage("pl_PL", V{"it"}), "pl");
    EXPECT_EQ(chooseLanguage("pseudo", V{"it"}), "pseudo");
    EXPECT_EQ(chooseLanguage("xx", V{"it"}), "en") << "an unknown override means English";
}

// Every language speaks every text of the template, keeps each placeholder
// and line break, and gives a caption with a mnemonic one of its own.
TEST(Catalogues, EveryLanguageTranslatesEveryTextWholly) {
    const auto all = builtInCatalogues();
    const auto english = std::find_if(all.begin(), all.end(), [](const BuiltInCatalogue& c) {
        return c.language == englishLanguage;
    });
    ASSERT_NE(english, all.end());
    const auto texts = MoCatalogue::read(english->data);
    ASSERT_TRUE(texts);
    ASSERT_GT(texts->entries().size(), 100u);

    const std::regex placeholder("%[s0-9]");
    const auto placeholders = [&](std::string_view text) {
        std::multiset<std::string> found;
        const std::string s(text);
        for (auto it = std::sregex_iterator(s.begin(), s.end(), placeholder);
             it != std::sregex_iterator(); ++it)
            found.insert(it->str());
        return found;
    };
    const auto lines = [](std::string_view text) {
        return std::count(text.begin(), text.end(), '\n');
    };

    std::set<std::string_view> languages;
    for (const BuiltInCatalogue& built : all) {
        languages.insert(built.language);
        const auto catalogue = MoCatalogue::read(built.data);
        ASSERT_TRUE(catalogue) << built.language;
        for (const MoCatalogue::Entry& text : texts->entries()) {
            const auto translation = catalogue->find(text.english);
            ASSERT_TRUE(translation) << built.language << " lacks: " << text.english;
            EXPECT_FALSE(translation->empty()) << built.language << ": " << text.english;
            EXPECT_EQ(placeholders(*translation), placeholders(text.english))
                << built.language << ": " << *translation;
            if (text.english.find("\n\n") != std::string_view::npos) {
                EXPECT_NE(translation->find("\n\n"), std::string_view::npos)
                    << built.language << " joins the paragraphs of: " << text.english;
            }
            EXPECT_LE(lines(text.english) > 0, lines(*translation) > 0) << built.language;
        }
    }
    EXPECT_EQ(languages, (std::set<std::string_view>{"en", "de", "fr", "es", "it", "pl", "ru"}));
}

TEST(Catalogues, ADamagedCatalogueIsRefusedWholeNeverReadOutside) {
    const auto english = builtInCatalogues().front().data;
    ASSERT_TRUE(MoCatalogue::read(english));
    std::vector<unsigned char> bytes(english.begin(), english.end());
    for (std::size_t size = 0; size < bytes.size(); size += 7)
        EXPECT_FALSE(MoCatalogue::read(std::span(bytes.data(), size))) << size;
    // A string's offset pointing past the end.
    std::vector<unsigned char> broken = bytes;
    const std::size_t table = broken[12] | broken[13] << 8 | broken[14] << 16;
    broken[table + 12] = 0xff;
    broken[table + 15] = 0x7f;
    EXPECT_FALSE(MoCatalogue::read(broken));
}

TEST(Catalogues, ThePseudoLanguageLengthensAndAccentsButKeepsWhatTheProgramReads) {
    const std::string text = pseudoLocalized("Set &year && season: %1");
    EXPECT_EQ(text.substr(0, 1), "[");
    EXPECT_EQ(text.back(), ']');
    EXPECT_NE(text.find("&y"), std::string::npos) << "the mnemonic keeps its key: " << text;
    EXPECT_NE(text.find("&&"), std::string::npos) << text;
    EXPECT_NE(text.find("%1"), std::string::npos) << text;
    EXPECT_EQ(text.find("season"), std::string::npos) << "letters are accented: " << text;
    // 23 characters become at least 33 (40 % more).
    const auto characters = [](const std::string& s) {
        return std::count_if(s.begin(), s.end(),
                             [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    };
    EXPECT_GE(characters(text), 33) << text;

    ASSERT_TRUE(installLanguage(pseudoLanguage));
    EXPECT_EQ(localized(uiText("&Apply")), pseudoLocalized("&Apply"));
    EXPECT_EQ(localized("not in the catalogue"), "not in the catalogue");
    ASSERT_TRUE(installLanguage(englishLanguage));
    EXPECT_EQ(localized(uiText("&Apply")), "&Apply");
}

} // namespace
} // namespace varnholt::shell::test
