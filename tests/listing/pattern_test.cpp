#include "listing/pattern.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "guarded_search_check.h"

namespace tavrin {
namespace {

using Spans = std::vector<std::pair<int, int>>;  // offset, length of each whole match

Spans whole_matches(const std::vector<MatchRecord>& records) {
    Spans spans;
    for (const MatchRecord& record : records) {
        EXPECT_FALSE(record.groups.empty());
        if (!record.groups.empty()) {
            EXPECT_TRUE(record.groups[0].matched);
            spans.emplace_back(record.groups[0].offset, record.groups[0].length);
        }
    }
    return spans;
}

struct SearchCase {
    const char* name;
    const char* pattern;
    bool case_sensitive;
    std::string text;
    Spans expected;
};

void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

class PatternSearchTable : public ::testing::TestWithParam<SearchCase> {};

TEST_P(PatternSearchTable, FindsEveryMatchLeftToRight) {
    const SearchCase& c = GetParam();
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, c.pattern, c.case_sensitive));
    EXPECT_EQ(whole_matches(pattern_search_all(*pattern, c.text)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternSearchTable,
    ::testing::Values(
        SearchCase{"left_to_right", "a+", true, "baaca", {{1, 2}, {4, 1}}},
        SearchCase{"non_overlapping", "aa", true, "aaaaa", {{0, 2}, {2, 2}}},
        SearchCase{"lazy_takes_the_shortest", "<(.*?)>", true, "<a><b>", {{0, 3}, {3, 3}}},
        SearchCase{"dot_crosses_cr_lf", "x.*?y", true, "x\r\n\r\ny x\ny", {{0, 6}, {7, 3}}},
        SearchCase{"dot_is_one_byte", "a..c", true, "a\r\nc", {{0, 4}}},
        // Without the previous byte in view, each search's start is the start
        // of the text: "^" and "\A" match there again.
        SearchCase{"caret_at_each_start", "^x", true, "xx", {{0, 1}, {1, 1}}},
        SearchCase{"text_start_at_each_start", "\\Ax", true, "xxax", {{0, 1}, {1, 1}}},
        SearchCase{"lookbehind_blind_before_start", "(?<!x)y", true, "xyy", {{2, 1}}},
        SearchCase{"empty_match_moves_on", "x*", true, "axx", {{0, 0}, {1, 2}, {3, 0}}},
        SearchCase{"empty_lookahead_matches", "(?=b)", true, "abab", {{1, 0}, {3, 0}}},
        SearchCase{"no_match", "z", true, "abc", {}},
        SearchCase{"empty_text", "x*", true, "", {}},
        SearchCase{"text_ends_at_zero_byte", "a", true, std::string("a\0a", 3), {{0, 1}}},
        SearchCase{"case_sensitive", "ab", true, "xAbaBab", {{5, 2}}},
        SearchCase{"icase", "ab", false, "xAbaBab", {{1, 2}, {3, 2}, {5, 2}}},
        SearchCase{"high_bytes_are_plain_bytes", "\xD6\xD0", true, "\xB0\xD6\xD0\xD6", {{1, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PatternSearch, RecordsEveryGroupWithOffsetsFromTheTextStart) {
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, "(a)(x)?(b*)c"));
    const std::string text = "zabbc ac";
    const auto records = pattern_search_all(*pattern, text);
    ASSERT_EQ(records.size(), 2u);

    ASSERT_EQ(records[0].groups.size(), 4u);
    const GroupSpan& whole = records[0].groups[0];
    EXPECT_EQ(std::make_tuple(whole.offset, whole.length, whole.matched), std::make_tuple(1, 4, true));
    EXPECT_EQ(match_group_text(records[0], text, 0), "abbc");
    EXPECT_EQ(match_group_text(records[0], text, 1), "a");
    EXPECT_FALSE(records[0].groups[2].matched);
    EXPECT_EQ(match_group_text(records[0], text, 2), "");
    EXPECT_EQ(records[0].groups[3].offset, 2);
    EXPECT_EQ(match_group_text(records[0], text, 3), "bb");

    // Offsets of a later match still count from the start of the whole text.
    EXPECT_EQ(records[1].groups[1].offset, 6);
    EXPECT_TRUE(records[1].groups[3].matched);
    EXPECT_EQ(records[1].groups[3].length, 0);
    EXPECT_EQ(match_group_text(records[1], text, 3), "");
    EXPECT_EQ(match_group_text(records[1], text, 0), "ac");
}

TEST(PatternSearch, GroupTextOutsideTheRecordIsEmpty) {
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, "(b)"));
    const std::string text = "abc";
    auto records = pattern_search_all(*pattern, text);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(match_group_text(records[0], text, 1), "b");
    EXPECT_EQ(match_group_text(records[0], text, 2), "");
    EXPECT_EQ(match_group_text(records[0], text, -1), "");
    // A text shorter than the searched one gives nothing it does not hold.
    EXPECT_EQ(match_group_text(records[0], "a", 1), "");
    match_release(records[0]);
    EXPECT_EQ(match_group_text(records[0], text, 0), "");
}

TEST(PatternCompile, FailureKeepsThePreviousPattern) {
    auto pattern = pattern_create();
    EXPECT_EQ(pattern->compiled(), nullptr);
    EXPECT_FALSE(pattern_compile(*pattern, "a("));
    EXPECT_EQ(pattern->compiled(), nullptr);
    EXPECT_TRUE(pattern_search_all(*pattern, "a(").empty());

    ASSERT_TRUE(pattern_compile(*pattern, "a+"));
    for (const char* broken : {"(", "[a-", "a{2,1}", "*x"}) {
        SCOPED_TRACE(broken);
        EXPECT_FALSE(pattern_compile(*pattern, broken));
        EXPECT_EQ(whole_matches(pattern_search_all(*pattern, "caab")), (Spans{{1, 2}}));
    }
    EXPECT_EQ(pattern->flags(), 1);
}

TEST(PatternCompile, PatternTextEndsAtItsZeroByte) {
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, std::string_view("b\0(", 3)));
    EXPECT_EQ(whole_matches(pattern_search_all(*pattern, "abc")), (Spans{{1, 1}}));
}

TEST(PatternSearch, NeverCompiledObjectFindsNothing) {
    auto pattern = pattern_create();
    EXPECT_TRUE(pattern_search_all(*pattern, "anything").empty());
    EXPECT_TRUE(pattern_search_all(*pattern, "anything", {"any"}).empty());
}

TEST(PatternSearch, ErrorDuringASearchKeepsTheRecordsFoundBefore) {
    // The first search finds "x"; the second runs into nested repeats over a
    // long run of "a" without "b", which Boost gives up on with an error.
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, "x|(a+)+b"));
    const std::string text = "x" + std::string(40, 'a');
    EXPECT_EQ(whole_matches(pattern_search_all(*pattern, text)), (Spans{{0, 1}}));
}

TEST(PatternRelease, DestroysTheObject) {
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, "a"));
    pattern_release(pattern);
    EXPECT_EQ(pattern, nullptr);
    pattern_release(pattern);
    EXPECT_EQ(pattern, nullptr);
}

// The guard only skips searches that cannot succeed: over any text, the
// records with the pieces are exactly those without them.
TEST(PatternSearchGuard, GivesExactlyTheUnguardedMatchesOnRandomTexts) {
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, "<a(.*?)b(.*?)cd(.*?)>"));
    const std::vector<std::string_view> pieces{"<a", "b", "cd", ">"};
    const std::vector<std::string> tokens{"<a", "<", "a", "b", "c", "d", "cd", ">", "x", "\r\n"};

    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
    std::uniform_int_distribution<int> length(0, 30);
    int texts_with_matches = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += tokens[pick(random)];
        }
        expect_guard_changes_nothing(*pattern, text, pieces);
        if (HasFatalFailure()) {
            return;
        }
        texts_with_matches += pattern_search_all(*pattern, text).empty() ? 0 : 1;
    }
    // The texts must exercise both roads, or the comparison proves little.
    EXPECT_GT(texts_with_matches, 200);
    EXPECT_LT(texts_with_matches, 1800);
}

TEST(PatternSearchGuard, StopsWhenThePiecesDoNotFollowInOrder) {
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, "a.*?b"));
    // A wrong piece list is the caller's fault; it shows that the guard, not
    // the expression, decides whether a search is made.
    EXPECT_TRUE(pattern_search_all(*pattern, "a b", {"b", "a"}).empty());
    EXPECT_EQ(whole_matches(pattern_search_all(*pattern, "a b a", {"a", "b"})), (Spans{{0, 3}}));
    // A piece must start after the end of the one before, not inside it.
    EXPECT_TRUE(pattern_search_all(*pattern, "ab", {"ab", "b"}).empty());
}

}  // namespace
}  // namespace tavrin
