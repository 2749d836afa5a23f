// Searches that must not match inside a double-byte character.

#include "shell/MultiByteText.h"

#include <gtest/gtest.h>

namespace varnholt::shell::test {
namespace {

constexpr auto npos = std::string_view::npos;

TEST(MultiByteText, SearchesMatchOnlyAtCharacterStarts) {
    // Shift-JIS lead bytes; 0x95 0x5C is one character ending in '\'.
    const LeadBytePredicate sjis = [](unsigned char b) {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    };
    const std::string_view kanjiInside = "a\x95\\b"; // 'a', 0x95 0x5C, 'b'
    EXPECT_EQ(findLastChar(kanjiInside, '\\', sjis), npos);
    EXPECT_EQ(findFirstChar("\x95\x5C\\b\\", '\\', sjis), 2u);
    EXPECT_EQ(findLastChar("a\\\x95", '\\', sjis), 1u) << "a lone lead byte at the end";
    // Without a predicate every byte is a character: right for UTF-8.
    EXPECT_EQ(findLastChar(kanjiInside, '\\', {}), 2u);

    // A made-up code page where '%' can be a second byte shows the rule for text.
    const LeadBytePredicate a0 = [](unsigned char b) { return b == 0xA0; };
    EXPECT_EQ(findFirstText("x\xA0%1 %1", "%1", a0), 5u);
    EXPECT_EQ(findFirstText("x\xA0%1 %1", "%1", {}), 2u);
    EXPECT_EQ(findFirstText("a%", "%1", a0), npos);
}

} // namespace
} // namespace varnholt::shell::test
