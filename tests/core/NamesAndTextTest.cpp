// Vocabularies, text conversion and output naming.

#include "core/OutputName.h"
#include "core/TextCodec.h"
#include "core/Vocabularies.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using namespace varnholt;

TEST(Vocabularies, ModificationIsRecognisedByItsExactNameInAnyCase) {
    EXPECT_TRUE(isModCampaignName(u"iron_dominion_plus"));
    EXPECT_TRUE(isModCampaignName(u"IRON_DOMINION_PLUS"));
    EXPECT_TRUE(isModCampaignName(u"Iron_Dominion_Plus"));
    EXPECT_FALSE(isModCampaignName(u"iron_dominion_plus2"));
    EXPECT_FALSE(isModCampaignName(u"iron_dominion_plu"));
    EXPECT_FALSE(isModCampaignName(u"iron dominion plus"));
    // Only A-Z fold: a dotted capital I (U+0130) is not "i".
    EXPECT_FALSE(isModCampaignName(u"\u0130ron_dominion_plus"));
}

TEST(Vocabularies, ChoiceOrderModificationThenExpansionThenBaseGame) {
    EXPECT_EQ(chooseVocabularies(true, true),
              (Vocabularies{DifficultyNames::Modification, FactionNames::Modification}));
    EXPECT_EQ(chooseVocabularies(false, true),
              (Vocabularies{DifficultyNames::Standard, FactionNames::Expansion}));
    EXPECT_EQ(chooseVocabularies(false, false),
              (Vocabularies{DifficultyNames::Standard, FactionNames::BaseGame}));
    using enum UnitScaleClass;
    for (const auto& [sizeClass, number] : std::vector<std::pair<UnitScaleClass, int>>{
             {Small, 20}, {Normal, 40}, {Large, 80}, {Huge, 160}})
        EXPECT_EQ(unitScaleForClass(sizeClass), number) << number;
}

TEST(TextCodec, Utf16ToUtf8ReplacesUnpairedSurrogates) {
    EXPECT_EQ(utf16ToUtf8(u"Roma"), "Roma");
    EXPECT_EQ(utf16ToUtf8(u"\u00e9\u4e2d"), "\xc3\xa9\xe4\xb8\xad");
    EXPECT_EQ(utf16ToUtf8(std::u16string{0xD83D, 0xDE00}), "\xf0\x9f\x98\x80");
    EXPECT_EQ(utf16ToUtf8(std::u16string{u'a', 0xD83D, u'b'}), "a\xef\xbf\xbd"
                                                               "b");
    EXPECT_EQ(utf16ToUtf8(std::u16string{0xDE00, 0xD83D}), "\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(utf16ToUtf8(std::u16string{0xD83D}), "\xef\xbf\xbd");
    // A high surrogate that ends the text given is unpaired, whatever follows it in memory.
    const std::u16string pair{0xD83D, 0xDE00};
    EXPECT_EQ(utf16ToUtf8(std::u16string_view(pair).substr(0, 1)), "\xef\xbf\xbd");
}

TEST(TextCodec, Utf8ToUtf16RoundTripsAndReplacesMalformedSequences) {
    // The lowest two-byte sequences, and the first and the last code point that take a
    // surrogate pair.
    const std::u16string text =
        u"Roma \u00c6r\u00f8 \u0080\u00a9 \u4e2d \U0001F600 \U00010000 \U0010FFFF";
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(text)), text);
    const char16_t bad = 0xFFFD;
    // A stray continuation byte, an overlong "/", an encoded surrogate, a cut
    // sequence at the end, and a code point beyond U+10FFFF.
    EXPECT_EQ(utf8ToUtf16("a\x80"
                          "b"),
              (std::u16string{u'a', bad, u'b'}));
    EXPECT_EQ(utf8ToUtf16("\xc0\xaf"), (std::u16string{bad, bad}));
    EXPECT_EQ(utf8ToUtf16("\xed\xa0\x80"), (std::u16string{bad, bad, bad}));
    EXPECT_EQ(utf8ToUtf16("x\xe4\xb8"), (std::u16string{u'x', bad}));
    EXPECT_EQ(utf8ToUtf16("\xf4\x90\x80\x80"), (std::u16string{bad, bad, bad, bad}));
    // For paths, strictly: any ill-formed part refuses the whole text, while a
    // well-formed U+FFFD is a character like any other.
    EXPECT_EQ(strictUtf8ToUtf16(utf16ToUtf8(text)), text);
    EXPECT_EQ(strictUtf8ToUtf16("\xef\xbf\xbd"), std::u16string{bad});
    for (const char* malformed :
         {"a\x80", "\xc0\xaf", "\xed\xa0\x80", "x\xe4\xb8", "\xf4\x90\x80\x80"})
        EXPECT_EQ(strictUtf8ToUtf16(malformed), std::nullopt) << malformed;
}

TEST(OutputNaming, SplitsPathsByThePlatformsRules) {
    const PathParts win = splitPath("D:\\Game\\saves\\quick.sav", PathStyle::Windows);
    EXPECT_EQ(win.drive, "D:");
    EXPECT_EQ(win.directory, "\\Game\\saves\\");
    EXPECT_EQ(win.baseName, "quick");
    EXPECT_EQ(win.extension, ".sav");
    const PathParts mixed = splitPath("C:/a\\b/c.d.sav", PathStyle::Windows);
    EXPECT_EQ(mixed.directory, "/a\\b/");
    EXPECT_EQ(mixed.baseName, "c.d");
    const PathParts posix = splitPath("/home/p/my.saves/quick", PathStyle::Posix);
    EXPECT_EQ(posix.drive, "");
    EXPECT_EQ(posix.directory, "/home/p/my.saves/");
    EXPECT_EQ(posix.baseName, "quick");
    EXPECT_EQ(posix.extension, "");
    EXPECT_EQ(splitPath("D:q.sav", PathStyle::Windows).folderPrefix(), "D:");

    // The folder to open beside a file.
    EXPECT_EQ(folderOf("/home/p/q.sav", PathStyle::Posix), "/home/p");
    EXPECT_EQ(folderOf("/q.sav", PathStyle::Posix), "/");
    EXPECT_EQ(folderOf("q.sav", PathStyle::Posix), ".");
    EXPECT_EQ(folderOf("D:\\Game\\q.sav", PathStyle::Windows), "D:\\Game\\");
    EXPECT_EQ(folderOf("q.sav", PathStyle::Windows), "");
}

TEST(OutputNaming, FirstFreeCounterInTheSavesFolder) {
    std::set<std::string> taken;
    const auto exists = [&](const std::string& p) { return taken.count(p) > 0; };
    const std::string save = "D:\\Game\\saves\\quick.sav";
    EXPECT_EQ(makeOutputName(save, exists, PathStyle::Windows).name,
              "D:\\Game\\saves\\Varnholt000.sav");
    taken = {"D:\\Game\\saves\\Varnholt000.sav", "D:\\Game\\saves\\Varnholt002.sav"};
    EXPECT_EQ(makeOutputName(save, exists, PathStyle::Windows).name,
              "D:\\Game\\saves\\Varnholt001.sav");
    taken.clear();
    for (int i = 0; i < 999; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "D:\\Game\\saves\\Varnholt%03d.sav", i);
        taken.insert(name);
    }
    EXPECT_EQ(makeOutputName(save, exists, PathStyle::Windows).name,
              "D:\\Game\\saves\\Varnholt999.sav");
    taken.insert("D:\\Game\\saves\\Varnholt999.sav");
    const auto full = makeOutputName(save, exists, PathStyle::Windows);
    EXPECT_FALSE(full.name);
    EXPECT_EQ(full.failure, OutputNameFailure::AllNamesTaken);
    EXPECT_EQ(full.namePattern, "D:\\Game\\saves\\Varnholt*.sav");
}

TEST(OutputNaming, EveryPathPartMustBePresent) {
    const auto none = [](const std::string&) { return false; };
    const auto missing = [&](const char* path, PathStyle style) {
        const OutputNameResult result = makeOutputName(path, none, style);
        EXPECT_EQ(result.failure, OutputNameFailure::EmptyPathPart) << path;
        return result.missingPart;
    };
    EXPECT_EQ(missing("\\\\server\\share\\q.sav", PathStyle::Windows), PathPart::Drive);
    EXPECT_EQ(missing("D:quick.sav", PathStyle::Windows), PathPart::Folder);
    EXPECT_EQ(missing("D:\\Game\\saves\\.sav", PathStyle::Windows), PathPart::FileName);
    EXPECT_EQ(missing("D:\\Game\\saves\\quick", PathStyle::Windows), PathPart::Extension);
    // On POSIX there is no drive to ask for.
    EXPECT_EQ(makeOutputName("/saves/q.sav", none, PathStyle::Posix).name,
              "/saves/Varnholt000.sav");
    EXPECT_EQ(missing("q.sav", PathStyle::Posix), PathPart::Folder);
    EXPECT_EQ(missing("/saves/q", PathStyle::Posix), PathPart::Extension);
}
