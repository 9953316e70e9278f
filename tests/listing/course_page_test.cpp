#include "listing/course_page.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "guarded_search_check.h"

namespace tavrin {
namespace {

const Site kSite{"http://lessons.test", "http://res.lessons.test/resources/"};

// One complete lesson entry as the course page writes it.
std::string entry(std::string_view number, std::string_view path, std::string_view title) {
    return std::string(R"(<span class="kc_ls">)") + std::string(number) +
           R"(</span><a target="_blank" href=")" + std::string(path) + R"(" class="f_l thumbnail">)" +
           std::string(title) + "<span>";
}

struct Row {
    Text number;
    Text title;
    Text link;
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << "{" << ::testing::PrintToString(row.number) << ", " << ::testing::PrintToString(row.title) << ", "
        << ::testing::PrintToString(row.link) << "}";
}

std::vector<Row> rows_of(const CourseListingState& state) {
    std::vector<Row> rows;
    for (const MatchRecord& match : state.lesson_matches) {
        const LessonRow row = lesson_row(state, match, kSite);
        rows.push_back({row.number, row.title, row.link});
    }
    return rows;
}

TEST(LoadCoursePage, LiteralLessonEntryGivesOneRow) {
    CourseListingState state;
    const CoursePageRead read = load_course_page(state, entry("12", "/lesson/900", "Intro"));
    EXPECT_EQ(read.outcome, CoursePageOutcome::lessons_found);
    EXPECT_FALSE(read.read_as_gb18030);
    EXPECT_EQ(rows_of(state), (std::vector<Row>{{"12", "Intro", "http://lessons.test/lesson/900"}}));
    const LessonRow row = lesson_row(state, state.lesson_matches.at(0), kTavrinSite);
    EXPECT_EQ(row.link, "http://www.tavrin.com/lesson/900");
    // The rows are the window's to count.
    EXPECT_EQ(state.next_row, 0);
}

struct PageCase {
    const char* name;
    std::string page;  // as fetched, UTF-8
    std::vector<Row> expected;
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }

class LessonRowsTable : public ::testing::TestWithParam<PageCase> {};

TEST_P(LessonRowsTable, RowsHoldTheGroupsAsThePageHasThem) {
    const PageCase& c = GetParam();
    CourseListingState state;
    const CoursePageRead read = load_course_page(state, c.page);
    EXPECT_EQ(rows_of(state), c.expected);
    EXPECT_EQ(read.outcome, c.expected.empty() ? CoursePageOutcome::no_lessons : CoursePageOutcome::lessons_found);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, LessonRowsTable,
    ::testing::Values(
        PageCase{"two_lessons_in_page_order",
                 "<ul>\n<li>" + entry("1", "/lesson/7", "One") + "3:10</span></li>\n<li>" +
                     entry("2", "/lesson/8", "Two") + "4:20</span></li>\n</ul>",
                 {{"1", "One", "http://lessons.test/lesson/7"}, {"2", "Two", "http://lessons.test/lesson/8"}}},
        PageCase{"title_across_cr_lf", entry("3", "/lesson/9", "Part\r\n  two"),
                 {{"3", "Part\r\n  two", "http://lessons.test/lesson/9"}}},
        PageCase{"empty_number_span", entry("", "/lesson/10", "T"), {{"", "T", "http://lessons.test/lesson/10"}}},
        PageCase{"title_keeps_markup_and_entities",
                 entry("4", "/lesson/11", "<b>A&amp;B</b>&nbsp;<i>x</i>") + "</span>",
                 {{"4", "<b>A&amp;B</b>&nbsp;<i>x</i>", "http://lessons.test/lesson/11"}}},
        PageCase{"title_ends_at_first_plain_span", entry("5", "/lesson/12", "T<span class=\"x\">u</span>v") + "w<span>",
                 {{"5", "T<span class=\"x\">u</span>v", "http://lessons.test/lesson/12"}}},
        // A number span without its link runs on to the next complete entry:
        // one row whose first column holds everything in between.
        PageCase{"unlinked_number_span_merges",
                 R"(<span class="kc_ls">1</span><a href="/gone">x</a>)" "\r\n" + entry("2", "/lesson/13", "T"),
                 {{R"(1</span><a href="/gone">x</a>)" "\r\n" R"(<span class="kc_ls">2)", "T",
                   "http://lessons.test/lesson/13"}}},
        PageCase{"path_with_query", entry("6", "/lesson/14?from=list", "T"),
                 {{"6", "T", "http://lessons.test/lesson/14?from=list"}}},
        PageCase{"chinese_title_in_gb18030", entry("\xE7\xAC\xAC" "1", "/lesson/15", "\xE4\xB8\xAD\xE6\x96\x87"),
                 {{"\xB5\xDA" "1", "\xD6\xD0\xCE\xC4", "http://lessons.test/lesson/15"}}},
        PageCase{"text_ends_at_zero_byte",
                 entry("7", "/lesson/16", "T") + std::string(1, '\0') + entry("8", "/lesson/17", "U"),
                 {{"7", "T", "http://lessons.test/lesson/16"}}},
        PageCase{"link_of_another_class",
                 R"(<span class="kc_ls">1</span><a target="_blank" href="/lesson/2" class="other">T<span>)", {}},
        PageCase{"no_lessons", "<html><body>\xE4\xB8\xAD</body></html>", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadCoursePage, KeepsThePageInItsThreeForms) {
    CourseListingState state;
    const std::string page = "<p>\xE4\xB8\xAD</p>" + entry("1", "/lesson/1", "T");
    load_course_page(state, page);
    EXPECT_EQ(state.course_page_bytes, page);
    EXPECT_EQ(state.course_page_gb, "<p>\xD6\xD0</p>" + entry("1", "/lesson/1", "T"));
    EXPECT_EQ(state.course_page_text, state.course_page_gb);
    ASSERT_EQ(state.lesson_matches.size(), 1u);
    EXPECT_EQ(state.lesson_matches[0].groups.size(), 4u);
    EXPECT_EQ(state.lesson_matches[0].groups[0].offset, 9);
}

TEST(LoadCoursePage, GbkPageIsReadAsItStands) {
    CourseListingState state;
    const std::string page = "<p>\xD6\xD0\xCE\xC4</p>" + entry("\xB5\xDA" "1", "/lesson/5", "\xD6\xD0");
    const CoursePageRead read = load_course_page(state, page);
    EXPECT_EQ(read.outcome, CoursePageOutcome::lessons_found);
    EXPECT_TRUE(read.read_as_gb18030);
    EXPECT_EQ(state.course_page_gb, page);
    EXPECT_EQ(state.course_page_text, page);
    EXPECT_EQ(rows_of(state), (std::vector<Row>{{"\xB5\xDA" "1", "\xD6\xD0", "http://lessons.test/lesson/5"}}));
}

TEST(LoadCoursePage, PageNeitherUtf8NorGb18030KeepsItsBytesOnly) {
    for (const std::string& page : {"\xFF" + entry("1", "/lesson/1", "T"),
                                    entry("1", "/lesson/1", "\xD6\xD0") + "\xFF",
                                    entry("1", "/lesson/1", "T") + "\xE4"}) {
        CourseListingState state;
        load_course_page(state, entry("9", "/lesson/9", "old"));
        const CoursePageRead read = load_course_page(state, page);
        EXPECT_EQ(read.outcome, CoursePageOutcome::not_convertible);
        EXPECT_FALSE(read.read_as_gb18030);
        EXPECT_EQ(state.course_page_bytes, page);
        EXPECT_EQ(state.course_page_gb, "");
        EXPECT_EQ(state.course_page_text, "");
        EXPECT_TRUE(state.lesson_matches.empty());
    }
}

TEST(LoadCoursePage, EmptyFetchClearsEveryForm) {
    CourseListingState state;
    load_course_page(state, entry("1", "/lesson/1", "T"));
    const CoursePageRead read = load_course_page(state, "");
    EXPECT_EQ(read.outcome, CoursePageOutcome::nothing_fetched);
    EXPECT_EQ(state.course_page_bytes, "");
    EXPECT_EQ(state.course_page_gb, "");
    EXPECT_EQ(state.course_page_text, "");
    EXPECT_TRUE(state.lesson_matches.empty());
    EXPECT_NE(state.lesson_pattern->compiled(), nullptr);
}

TEST(LoadCoursePage, PageWithoutLessonsIsKept) {
    CourseListingState state;
    const std::string page = "<html><span class=\"kc_ls\">1</span></html>";
    EXPECT_EQ(load_course_page(state, page).outcome, CoursePageOutcome::no_lessons);
    EXPECT_EQ(state.course_page_bytes, page);
    EXPECT_EQ(state.course_page_text, page);
    EXPECT_TRUE(state.lesson_matches.empty());
}

TEST(LoadCoursePage, SecondReadReplacesTheFirst) {
    CourseListingState state;
    const PatternObject* pattern = state.lesson_pattern.get();
    load_course_page(state, entry("1", "/lesson/1", "A") + entry("2", "/lesson/2", "B"));
    ASSERT_EQ(state.lesson_matches.size(), 2u);
    const std::string second = "<p>x</p>" + entry("3", "/lesson/3", "C");
    load_course_page(state, second);
    EXPECT_EQ(state.course_page_bytes, second);
    EXPECT_EQ(state.course_page_text, second);
    EXPECT_EQ(rows_of(state), (std::vector<Row>{{"3", "C", "http://lessons.test/lesson/3"}}));
    // The pattern object is compiled in place, never replaced.
    EXPECT_EQ(state.lesson_pattern.get(), pattern);
    EXPECT_EQ(state.next_row, 0);
}

TEST(LessonPatternPieces, EveryPieceStandsInThePatternInOrder) {
    // The pattern writes "(/lesson/" where the second piece has "/lesson/".
    std::string literal(kLessonPattern);
    literal.erase(literal.find("(/lesson/"), 1);
    std::size_t position = 0;
    for (std::string_view piece : lesson_pattern_pieces()) {
        const std::size_t found = literal.find(piece, position);
        ASSERT_NE(found, std::string::npos) << piece;
        // Between two pieces stands nothing but a lazy group.
        const std::string between = literal.substr(position, found - position);
        EXPECT_TRUE(between.empty() || between == "(.*?)" || between == ".*?)") << between;
        position = found + piece.size();
    }
    EXPECT_EQ(position, literal.size());
    EXPECT_EQ(lesson_pattern_pieces().size(), 4u);
}

// Pages built of the pattern's own pieces, their near misses and filler.
struct GuardPage {
    const char* name;
    std::string page;
};

void expect_lesson_guard_changes_nothing(const std::string& page) {
    auto pattern = pattern_create();
    ASSERT_TRUE(pattern_compile(*pattern, kLessonPattern));
    expect_guard_changes_nothing(*pattern, page, lesson_pattern_pieces());
}

const std::string kUnlinkedSpan = R"(<span class="kc_ls">9</span><a target="_self" href="/lesson/9">x</a>)";
const std::string kForeignLink = R"(</span><a target="_blank" href="/lesson/8" class="other">y<span>)";

class GuardedSearchTable : public ::testing::TestWithParam<GuardPage> {};

TEST_P(GuardedSearchTable, FindsWhatTheUnguardedSearchFinds) { expect_lesson_guard_changes_nothing(GetParam().page); }

INSTANTIATE_TEST_SUITE_P(
    Pages, GuardedSearchTable,
    ::testing::Values(
        GuardPage{"normal", entry("1", "/lesson/1", "A") + "\r\n" + entry("2", "/lesson/2", "B")},
        GuardPage{"broken_tail_unlinked", entry("1", "/lesson/1", "A") + kUnlinkedSpan + kUnlinkedSpan},
        GuardPage{"broken_tail_foreign_links",
                  entry("1", "/lesson/1", "A") + R"(<span class="kc_ls">2)" + kForeignLink + kForeignLink},
        GuardPage{"broken_then_normal", kUnlinkedSpan + kForeignLink + entry("3", "/lesson/3", "C")},
        GuardPage{"mixed", kUnlinkedSpan + entry("1", "/lesson/1", "A") + kForeignLink + kUnlinkedSpan +
                               entry("2", "/lesson/2", "B") + R"(<span class="kc_ls">)" + kForeignLink},
        GuardPage{"title_without_closing_span",
                  entry("1", "/lesson/1", "A") + R"(<span class="kc_ls">2</span>)" +
                      R"(<a target="_blank" href="/lesson/2" class="f_l thumbnail">B)"},
        GuardPage{"empty", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GuardedSearch, FindsWhatTheUnguardedSearchFindsOnRandomPages) {
    const std::vector<std::string> pieces{R"(<span class="kc_ls">)",
                                          R"(</span><a target="_blank" href="/lesson/)",
                                          R"(" class="f_l thumbnail">)",
                                          "<span>",
                                          "</span>",
                                          R"(" class="other">)",
                                          "1",
                                          "\r\n",
                                          "<a>"};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 25);
    for (int round = 0; round < 1000; ++round) {
        std::string page;
        for (int n = length(random); n > 0; --n) {
            page += pieces[pick(random)];
        }
        expect_lesson_guard_changes_nothing(page);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST(NoLessonsCause, TellsAFailedFetchFromAPageThatHoldsNoLessons) {
    const std::string lesson = "<span class=\"kc_ls\">1</span><a target=\"_blank\" href=\"/lesson/1\" "
                               "class=\"f_l thumbnail\">t<span>";
    struct Case {
        const char* name;
        std::string page;
        FetchFailure failure;
        NoLessonsCause expected;
    };
    const std::vector<Case> cases = {
        {"lessons", lesson, FetchFailure::none, NoLessonsCause::none},
        {"lessons before a break", lesson + "<p>", FetchFailure::broken_read, NoLessonsCause::none},
        {"refused", "", FetchFailure::connection_refused, NoLessonsCause::fetch_failed},
        {"empty", "", FetchFailure::none, NoLessonsCause::empty_page},
        {"neither UTF-8 nor GBK", "a\xFF", FetchFailure::none, NoLessonsCause::not_convertible},
        {"cut before any lesson", "<html><body>", FetchFailure::broken_read, NoLessonsCause::incomplete_page},
        {"whole page without lessons", "<html></html>", FetchFailure::none, NoLessonsCause::no_lessons},
    };
    for (const Case& c : cases) {
        CourseListingState state;
        FetchResult fetched;
        fetched.body = c.page;
        fetched.failure = c.failure;
        const CoursePageRead read = load_course_page(state, fetched.body);
        EXPECT_EQ(no_lessons_cause(read, fetched), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace tavrin
