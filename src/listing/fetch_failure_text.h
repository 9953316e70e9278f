#pragma once
// Why a fetch failed, in the words the user reads (Chinese, UTF-8).

#include <string>

#include "listing/fetcher.h"

namespace tavrin {

// A short reason for a failed fetch, such as "找不到服务器"; the empty string
// when the fetch did not fail.
std::string fetch_failure_reason(const FetchResult& result);

}  // namespace tavrin
