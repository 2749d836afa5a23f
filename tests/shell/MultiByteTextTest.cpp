// Searches that must not match inside a double-byte character.

#include "shell/MultiByteText.h"

#include <gtest/gtest.h>

namespace varnholt::shell::test {
namespace {

constexpr auto npos = std::string_view::npos;

bool isShiftJisLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

TEST(MultiByteText, SearchesSkipSecondBytes) {
    struct Case {
        const char* name;
        std::string_view text;
        std::size_t lastBackslash;
        std::size_t firstBackslash;
    };
    const Case cases[] = {
        {"only a second byte",
         "a\x95\x5C"
         "b",
         npos, npos},
        {"real one after a character", "\x95\x5C\\b", 2, 2},
        {"lead-looking second byte", "\x81\x95\\", 2, 2},
        {"lead byte cut off at the end", "a\\\x95", 1, 1},
        {"plain text", "a\\b\\c", 3, 1},
        {"empty", "", npos, npos},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findLastChar(c.text, '\\', isShiftJisLeadByte), c.lastBackslash) << c.name;
        EXPECT_EQ(findFirstChar(c.text, '\\', isShiftJisLeadByte), c.firstBackslash) << c.name;
    }
    // Without a predicate every byte is a character: right for UTF-8.
    EXPECT_EQ(findLastChar("a\x95\x5C"
                           "b",
                           '\\', {}),
              2u);
}

TEST(MultiByteText, TextMatchesOnlyAtCharacterStarts) {
    // A made-up code page where '%' can be a second byte shows the boundary rule.
    const LeadBytePredicate isLead = [](unsigned char b) { return b == 0xA0; };
    EXPECT_EQ(findFirstText("x\xA0%1 %1", "%1", isLead), 5u);
    EXPECT_EQ(findFirstText("x\xA0%1 %1", "%1", {}), 2u);
    EXPECT_EQ(findFirstText("abc", "%1", isLead), npos);
    EXPECT_EQ(findFirstText("a%", "%1", isLead), npos);
}

} // namespace
} // namespace varnholt::shell::test
