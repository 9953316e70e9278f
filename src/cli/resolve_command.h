#pragma once
// `tavrin-links-cli resolve`: lesson URLs in, download addresses out.

#include <vector>

#include "cli/console.h"
#include "resolve/resolve_run.h"
#include "text/values.h"

namespace tavrin {

// Least and most lesson pages fetched at a time.
inline constexpr int kMinJobs = 1;
inline constexpr int kMaxJobs = 16;
// As many as the window fetches at a time.
inline constexpr int kDefaultJobs = kParallelLessonFetches;

// Resolves each line (GB18030, taken unchanged as a URL) as 解析(&P) does,
// `jobs` pages at a time, and prints one address a line in the order of the
// lines, in UTF-8; a line that gave no address prints an empty line and its
// reason goes to standard error. Returns the exit status: 0 when every line
// gave an address, 1 otherwise (no line at all included).
int resolve_lesson_urls(const std::vector<Text>& lines, int jobs, Console& console);

}  // namespace tavrin
