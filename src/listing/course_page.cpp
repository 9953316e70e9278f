#include "listing/course_page.h"
static_assert(tavrin::kLessonPattern.size() == 105);
