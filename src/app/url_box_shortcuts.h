#pragma once
// The two mouse shortcuts of the course URL box: a left press empties it so
// that a new URL can be typed or pasted at once, and a double-click opens the
// website's lesson index, where the user can look for a course.

#include "listing/site.h"
#include "toolkit/form_controls.h"

namespace tavrin {

// Bound to the left button pressed in the URL box, before the box handles it.
void clear_course_url(HandlerContext& context);

// Bound to the double-click in the URL box, before the box handles it.
void open_lesson_index(HandlerContext& context, const Site& site);

}  // namespace tavrin
