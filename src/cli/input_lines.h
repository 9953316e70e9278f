#pragma once
// Lesson URLs typed or piped into the command line, made into the lines that
// the window would resolve from its queue.

#include <string_view>
#include <vector>

#include "text/values.h"

namespace tavrin {

// `utf8` converted to GB18030, trimmed at both ends as the queue is (spaces
// and full-width spaces only), and split into lines at LF or CR LF. An empty
// last line after a final line break makes no line; every other line is
// kept as it stands, empty lines and inner blanks included.
std::vector<Text> lesson_urls_from_input(std::string_view utf8);

}  // namespace tavrin
