#include "app/program_state.h"

#include <utility>

namespace tavrin {

ProgramState build_program_state() {
    return ProgramState{};
}

void release_program_state(ProgramState& state, const ReleaseObserver& observer) {
    const auto released = [&](ProgramValue value) {
        if (observer) {
            observer(value, state);
        }
    };
    CourseListingState& course = state.course;

    // Swapping with an empty value gives the storage back at once.
    ByteSet().swap(course.course_page_bytes);
    released(ProgramValue::course_page_bytes);
    ByteSet().swap(course.course_page_gb);
    released(ProgramValue::course_page_gb);
    Text().swap(course.course_page_text);
    released(ProgramValue::course_page_text);
    pattern_release(course.lesson_pattern);
    released(ProgramValue::lesson_pattern);
    for (MatchRecord& match : course.lesson_matches) {
        match_release(match);
    }
    std::vector<MatchRecord>().swap(course.lesson_matches);
    released(ProgramValue::lesson_matches);
}

}  // namespace tavrin
