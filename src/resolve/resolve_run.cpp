#include "resolve/resolve_run.h"

#include <optional>

#include "resolve/download_address.h"

namespace tavrin {

LineResolution resolve_fetched_page(FetchResult fetched, std::string_view resource_prefix) {
    LineResolution resolution;
    resolution.address = cut_download_address(fetched.body, resource_prefix);
    fetched.body.clear();
    fetched.body.shrink_to_fit();
    if (!resolution.address.empty()) {
        resolution.outcome = LineOutcome::address_found;
    } else if (fetched.failure != FetchFailure::none) {
        resolution.outcome = LineOutcome::fetch_failed;
    }
    resolution.fetch = std::move(fetched);
    return resolution;
}

void resolve_lines(const std::vector<Text>& lines, std::string_view resource_prefix,
                   const ResolveOptions& options, const ResolveCallbacks& callbacks,
                   const FetchCancellation* cancellation) {
    // Pages end in any order; each waits here until every line before it is out.
    std::vector<std::optional<LineResolution>> waiting(lines.size());
    std::size_t next_out = 0;

    BatchCallbacks batch;
    batch.started = callbacks.started;
    batch.finished = [&](std::size_t index, FetchResult result) {
        waiting[index] = resolve_fetched_page(std::move(result), resource_prefix);
        while (next_out < waiting.size() && waiting[next_out].has_value()) {
            if (cancellation != nullptr && cancellation->cancelled()) {
                return;
            }
            LineResolution ready = std::move(*waiting[next_out]);
            waiting[next_out].reset();
            const std::size_t index_out = next_out++;
            if (callbacks.resolved) {
                callbacks.resolved(index_out, std::move(ready));
            }
        }
    };
    fetch_batch(lines, BatchOptions{options.max_parallel, options.fetch}, batch, cancellation);
}

}  // namespace tavrin
