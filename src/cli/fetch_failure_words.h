#pragma once
// Why a fetch or a line failed, in English for the command line.

#include <string>

#include "listing/fetcher.h"
#include "resolve/resolve_run.h"

namespace tavrin {

// A short reason for a failed fetch, such as "connection refused"; the empty
// string when the fetch did not fail.
std::string fetch_failure_words(const FetchResult& result);

// Why a resolved line gave no address; the empty string when it gave one.
std::string unresolved_line_words(const LineResolution& resolution);

}  // namespace tavrin
