#pragma once
// Turning a fetched course page into lesson rows.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "listing/fetcher.h"
#include "listing/pattern.h"
#include "listing/site.h"
#include "text/values.h"

namespace tavrin {

// Three groups: the lesson number, the lesson path (always "/lesson/..."), the title.
inline constexpr std::string_view kLessonPattern =
    R"pattern(<span class="kc_ls">(.*?)</span><a target="_blank" href="(/lesson/.*?)" class="f_l thumbnail">(.*?)<span>)pattern";

// The literal pieces of the lesson pattern, in the order every match holds them.
const std::vector<std::string_view>& lesson_pattern_pieces();

// The last course page read and what was found on it. Only the read of a
// course page writes it. Members are released in the order the program lets
// go of them at shut-down: the page bytes, the converted page, the page text,
// the pattern, the matches (C++ destroys members in reverse order of
// declaration, hence the order below).
struct CourseListingState {
    std::int32_t next_row = 0;  // rows added to the lesson list so far
    std::vector<MatchRecord> lesson_matches;
    std::unique_ptr<PatternObject> lesson_pattern = pattern_create();
    Text course_page_text;
    ByteSet course_page_gb;
    ByteSet course_page_bytes;
};

// What a read of a course page came to; the window and the command line tell
// the user why no lesson was found.
enum class CoursePageOutcome {
    lessons_found,
    nothing_fetched,    // the fetch gave no bytes
    not_convertible,    // neither UTF-8 nor GB18030
    no_lessons,         // a readable page without lessons
};

struct CoursePageRead {
    CoursePageOutcome outcome = CoursePageOutcome::nothing_fetched;
    bool read_as_gb18030 = false;  // the page was already GB18030 (an older GBK page)
};

// Replaces the three page forms and the matches with those of `fetched`
// (each new value obtained before the old one goes), recompiling the pattern.
// The page is read as UTF-8 and converted to GB18030; a page that is not valid
// UTF-8 but is valid GB18030 (an older page served in GBK) is taken as it
// stands. A page that is neither keeps its bytes and gives no lessons.
//
// `next_row` is left alone: it counts rows of the lesson list, so whoever
// inserts the rows raises it, one per row, as it inserts them.
CoursePageRead load_course_page(CourseListingState& state, ByteSet fetched);

// Why a read found no lesson, as the window and the command line tell it.
enum class NoLessonsCause {
    none,             // lessons were found
    fetch_failed,     // nothing arrived; `fetched` says why
    empty_page,       // the page arrived, empty
    not_convertible,  // neither UTF-8 nor GB18030
    incomplete_page,  // part of the page arrived, without a lesson; `fetched` says why
    no_lessons,       // a whole page without lessons
};

NoLessonsCause no_lessons_cause(const CoursePageRead& read, const FetchResult& fetched);

struct LessonRow {
    Text number;  // group 1
    Text title;   // group 3
    Text link;    // the site's origin followed by group 2
};

// The row of one element of `state.lesson_matches`, cut out of
// `state.course_page_text` exactly as the page has it: no trimming, no decoding
// of entities, markup and line breaks kept.
LessonRow lesson_row(const CourseListingState& state, const MatchRecord& match, const Site& site);

}  // namespace tavrin
