#pragma once
// What the program holds from start-up to shut-down: the last course page
// read and what was found on it. Only the read of a course page writes it.

#include <functional>

#include "listing/course_page.h"

namespace tavrin {

struct ProgramState {
    CourseListingState course;
};

// A pattern object that has never compiled, no matches, no page, row 0.
ProgramState build_program_state();

// The held values, in the order shut-down lets go of them.
enum class ProgramValue {
    course_page_bytes,
    course_page_gb,
    course_page_text,
    lesson_pattern,
    lesson_matches,
};

// Told of each value right after it has been released.
using ReleaseObserver = std::function<void(ProgramValue released, const ProgramState& state)>;

// Releases every held value once, in the order of ProgramValue. Runs after
// the event loop has ended and never on the road of a fatal error.
void release_program_state(ProgramState& state, const ReleaseObserver& observer = {});

}  // namespace tavrin
