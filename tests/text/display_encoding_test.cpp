#include "text/display_encoding.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(DisplayEncoding, RoundTripsChineseText) {
    const std::string utf8 = "\xE8\xAF\xBE\xE6\xAC\xA1 lesson";  // 课次 lesson
    const Text gb = utf8_to_gb18030(utf8);
    EXPECT_EQ(gb, "\xBF\xCE\xB4\xCE lesson");
    EXPECT_EQ(gb18030_to_utf8(gb), utf8);
}

TEST(DisplayEncoding, InvalidBytesBecomeReplacementCharactersAndTheRestStays) {
    EXPECT_EQ(gb18030_to_utf8("p\xFFq"), "p\xEF\xBF\xBDq");
    EXPECT_EQ(gb18030_to_utf8("pq\xD6"), "pq\xEF\xBF\xBD");  // a pair cut at the end
    EXPECT_EQ(gb18030_to_utf8(""), "");
}

TEST(DisplayEncoding, CharactersOutsideGbkUseFourByteForms) {
    const std::string euro_and_emoji = "\xC2\xA2\xF0\x9F\x98\x80";  // U+00A2 U+1F600
    const Text gb = utf8_to_gb18030(euro_and_emoji);
    EXPECT_EQ(gb.size(), 8u);
    EXPECT_EQ(gb18030_to_utf8(gb), euro_and_emoji);
}

}  // namespace
}  // namespace tavrin
