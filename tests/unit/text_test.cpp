// Cutting UTF-8 text by characters.
#include <gtest/gtest.h>

#include "platform/text.h"

namespace sw {
namespace {

TEST(CutToCharacters, NeverSplitsACharacter) {
    EXPECT_EQ(cutToCharacters("abcdef", 3), "abc");
    EXPECT_EQ(cutToCharacters("ab", 3), "ab");
    // "é" is two bytes, "€" three, "𝄞" four.
    EXPECT_EQ(cutToCharacters("aé€𝄞b", 4), "aé€𝄞");
    EXPECT_EQ(cutToCharacters("aé€𝄞b", 2), "aé");
    EXPECT_EQ(characterCount("aé€𝄞b"), 5u);
    // A cut-off sequence at the end counts byte by byte and is kept as is.
    EXPECT_EQ(characterCount("a\xE2\x82"), 3u);
    EXPECT_EQ(cutToCharacters("\xFF\xFE" "ab", 3), "\xFF\xFE" "a");
}

}  // namespace
}  // namespace sw
