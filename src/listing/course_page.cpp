#include "listing/course_page.h"
