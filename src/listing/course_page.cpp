#include "listing/course_page.h"

#include <utility>

#include "listing/charset.h"

namespace tavrin {

static_assert(kLessonPattern.size() == 105);

const std::vector<std::string_view>& lesson_pattern_pieces() {
    // Between these the pattern holds only lazy ".*?" groups, and "." takes
    // every byte; so a lesson entry exists from a position exactly when the
    // four pieces follow it in this order.
    static const std::vector<std::string_view> pieces{
        R"(<span class="kc_ls">)",
        R"(</span><a target="_blank" href="/lesson/)",
        R"(" class="f_l thumbnail">)",
        "<span>",
    };
    return pieces;
}

namespace {

CoursePageOutcome outcome_of(const CourseListingState& state) {
    if (state.course_page_bytes.empty()) {
        return CoursePageOutcome::nothing_fetched;
    }
    if (state.course_page_gb.empty()) {
        return CoursePageOutcome::not_convertible;
    }
    return state.lesson_matches.empty() ? CoursePageOutcome::no_lessons : CoursePageOutcome::lessons_found;
}

}  // namespace

CoursePageRead load_course_page(CourseListingState& state, ByteSet fetched) {
    CoursePageRead read;
    // Each held value is replaced by move-assignment of a value that already
    // exists, so the old one goes only once the new one is there.
    state.course_page_bytes = std::move(fetched);

    ByteSet page_gb = convert_charset(state.course_page_bytes, "UTF-8", "GB18030");
    if (page_gb.empty() && !state.course_page_bytes.empty() &&
        is_valid_in_charset(state.course_page_bytes, "GB18030")) {
        // Older pages were served in GBK, which GB18030 contains: their bytes
        // already are the program's text encoding.
        page_gb = state.course_page_bytes;
        read.read_as_gb18030 = true;
    }
    state.course_page_gb = std::move(page_gb);

    Text page_text = text_from_bytes(state.course_page_gb);
    state.course_page_text = std::move(page_text);

    if (!state.lesson_pattern) {
        state.lesson_pattern = pattern_create();
    }
    pattern_compile(*state.lesson_pattern, kLessonPattern);
    std::vector<MatchRecord> matches =
        pattern_search_all(*state.lesson_pattern, state.course_page_text, lesson_pattern_pieces());
    state.lesson_matches = std::move(matches);

    read.outcome = outcome_of(state);
    return read;
}

NoLessonsCause no_lessons_cause(const CoursePageRead& read, const FetchResult& fetched) {
    const bool fetch_failed = fetched.failure != FetchFailure::none;
    switch (read.outcome) {
    case CoursePageOutcome::lessons_found:
        return NoLessonsCause::none;
    case CoursePageOutcome::nothing_fetched:
        return fetch_failed ? NoLessonsCause::fetch_failed : NoLessonsCause::empty_page;
    case CoursePageOutcome::not_convertible:
        return NoLessonsCause::not_convertible;
    case CoursePageOutcome::no_lessons:
        break;
    }
    return fetch_failed ? NoLessonsCause::incomplete_page : NoLessonsCause::no_lessons;
}

LessonRow lesson_row(const CourseListingState& state, const MatchRecord& match, const Site& site) {
    LessonRow row;
    row.number = match_group_text(match, state.course_page_text, 1);
    row.title = match_group_text(match, state.course_page_text, 3);
    const Text path = match_group_text(match, state.course_page_text, 2);
    row.link = text_concat({site.origin, path});
    return row;
}

}  // namespace tavrin
