#pragma once
// 读取(&R): the course page named in 编辑框1 becomes rows of the lesson list.

#include "listing/course_page.h"
#include "listing/site.h"
#include "toolkit/form_controls.h"

namespace tavrin {

// Fetches and reads the page off the window's thread, then appends one row per
// lesson after the rows of earlier reads. When no row is added, one message
// says why.
void read_course_page(HandlerContext& context, CourseListingState& state, const Site& site);

}  // namespace tavrin
