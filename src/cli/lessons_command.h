#pragma once
// `tavrin-links-cli lessons`: the lessons of a course page, one a line.

#include <string>

#include "cli/console.h"

namespace tavrin {

// Reads the course page at `course_url` (UTF-8) as 读取(&R) reads it and
// prints one line per lesson: number, title and link, separated by tabs, in
// UTF-8. Returns the exit status: 0 when the whole page arrived and gave
// lessons, 1 otherwise, with the reason on standard error.
int list_course_lessons(const std::string& course_url, Console& console);

}  // namespace tavrin
