// Standard input made into the lines that are resolved.

#include "cli/input_lines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/display_encoding.h"

namespace tavrin {
namespace {

using ::testing::ElementsAreArray;

struct InputCase {
    const char* name;
    std::string input;               // UTF-8
    std::vector<std::string> lines;  // UTF-8
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

class LessonUrlsFromInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(LessonUrlsFromInput, SplitsLikeTheQueue) {
    std::vector<std::string> got;
    for (const Text& line : lesson_urls_from_input(GetParam().input)) got.push_back(gb18030_to_utf8(line));
    EXPECT_THAT(got, ElementsAreArray(GetParam().lines));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LessonUrlsFromInput,
    ::testing::Values(
        InputCase{"Empty", "", {}},
        InputCase{"OnlySpaces", "  \u3000 ", {}},
        InputCase{"FinalLineFeedMakesNoLine", "a\nb\n", {"a", "b"}},
        InputCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        InputCase{"MixedLineEnds", "a\r\nb\nc", {"a", "b", "c"}},
        InputCase{"InnerEmptyLinesStay", "a\n\nb\r\n\r\nc", {"a", "", "b", "", "c"}},
        InputCase{"EmptyLineBeforeTheFinalBreakStays", "a\n\n", {"a", ""}},
        InputCase{"OnlyTheEndsOfTheWholeInputAreTrimmed", "  a \n b\u3000\n  ", {"a ", " b\u3000"}},
        InputCase{"ALoneCrStaysInItsLine", "a\rb\n", {"a\rb"}},
        InputCase{"TabsStay", "\ta\t\n", {"\ta\t"}},
        InputCase{"ChineseInAUrl", "http://h/课程/1\n", {"http://h/课程/1"}},
        InputCase{"InvalidUtf8BecomesAReplacement", "http://h/\xff\n", {"http://h/\uFFFD"}}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

TEST(LessonUrlsFromInput, LinesAreGb18030) {
    const std::vector<Text> lines = lesson_urls_from_input("http://h/课\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "http://h/\xBF\xCE");  // 课 in GB18030
}

}  // namespace
}  // namespace tavrin
