#pragma once
// Resolving a queue of lesson URLs into download addresses, several lesson
// pages at a time, delivering the results in queue order.

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "listing/fetch_batch.h"
#include "text/values.h"

namespace tavrin {

// Polite to one website, and enough to hide the wait for each page.
inline constexpr int kParallelLessonFetches = 6;

enum class LineOutcome {
    address_found,
    fetch_failed,       // the page could not be fetched (see `fetch`)
    no_address_on_page,
};

struct LineResolution {
    Text address;  // as cut from the page; empty unless found
    LineOutcome outcome = LineOutcome::no_address_on_page;
    FetchResult fetch;  // the failure and its detail; the body is not kept
};

// The address on a fetched lesson page, and why there is none.
LineResolution resolve_fetched_page(FetchResult fetched, std::string_view resource_prefix);

struct ResolveCallbacks {
    // The page of line `index` is being fetched.
    std::function<void(std::size_t index)> started;
    // Line `index` is resolved; called in line order, each line once, as soon
    // as it and every line before it are resolved.
    std::function<void(std::size_t index, LineResolution resolution)> resolved;
};

struct ResolveOptions {
    int max_parallel = kParallelLessonFetches;
    FetchOptions fetch;
};

// Resolves every line (each taken unchanged as a URL) on the calling thread.
// After a cancellation no further line is delivered.
void resolve_lines(const std::vector<Text>& lines, std::string_view resource_prefix,
                   const ResolveOptions& options, const ResolveCallbacks& callbacks,
                   const FetchCancellation* cancellation = nullptr);

}  // namespace tavrin
