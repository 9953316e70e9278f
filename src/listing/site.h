#pragma once
// The website's addresses. The window is built with `kTavrinSite`; tests build
// it with the origin of a local server instead.

#include "text/values.h"

namespace tavrin {

struct Site {
    Text origin;           // "http://" and the main host, no slash at the end
    Text resource_prefix;  // "http://" and the resource host, then "/resources/"
};

inline const Site kTavrinSite{"http://www.tavrin.com", "http://res.tavrin.com/resources/"};

inline Text default_course_url(const Site& site) { return text_concat({site.origin, "/lesson/897"}); }
inline Text lesson_index_url(const Site& site) { return text_concat({site.origin, "/lesson"}); }

}  // namespace tavrin
