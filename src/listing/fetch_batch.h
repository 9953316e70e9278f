#pragma once
// Many pages at once: the lesson pages of a resolution run.
//
// Each transfer sends exactly the request of `fetch_page` and gives the same
// result for the same answer; only the waiting is shared, on libcurl's multi
// interface, on the thread that calls `fetch_batch`. Up to `max_parallel`
// transfers run at a time, started in the order of the URLs.

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "listing/fetcher.h"
#include "text/values.h"

namespace tavrin {

namespace detail {
class CancellationWatch;
}

// Stops a running batch from another thread (or from a callback). Once
// cancelled it stays cancelled; a batch handed a cancelled object sends
// nothing.
class FetchCancellation {
public:
    FetchCancellation() = default;
    FetchCancellation(const FetchCancellation&) = delete;
    FetchCancellation& operator=(const FetchCancellation&) = delete;

    // Any thread. Wakes every batch that runs with this object at once: no
    // transfer starts after it, running ones are dropped and `fetch_batch`
    // returns.
    void cancel();
    bool cancelled() const;

private:
    friend class detail::CancellationWatch;
    mutable std::mutex mutex_;
    std::atomic<bool> cancelled_{false};
    // How to wake each batch that runs with this object, by a key.
    mutable std::vector<std::pair<std::size_t, std::function<void()>>> wakers_;
    mutable std::size_t next_key_ = 0;
};

struct BatchOptions {
    // Transfers at a time; values below 1 count as 1.
    int max_parallel = 6;
    // For every transfer, as for `fetch_page`.
    FetchOptions fetch;
};

// Both are called on the thread that runs the batch, never at the same time.
// Either may be left empty. They may call `cancel()`; they must not run
// another batch with the same cancellation object.
struct BatchCallbacks {
    // Transfer `index` (0-based into the URLs) begins. Also called for a URL
    // that `fetch_page` would refuse, just before its `finished`.
    std::function<void(std::size_t index)> started;
    // Transfer `index` ended with `result`, exactly what `fetch_page` would
    // give. In the order the transfers end, not the order of the URLs.
    std::function<void(std::size_t index, FetchResult result)> finished;
};

// Fetches every URL and returns when each has finished, or at once when
// cancelled. Without cancellation every index gets one `started` and then one
// `finished`; after a cancellation the indexes that got no `finished` were
// dropped (their transfers closed) or never started. A refused URL (empty, no
// scheme, not http/https ...) finishes at once with the refusal and sends
// nothing. An exception thrown by a callback ends the batch (every transfer
// is closed) and passes on to the caller.
void fetch_batch(const std::vector<Text>& urls, const BatchOptions& options, const BatchCallbacks& callbacks,
                 const FetchCancellation* cancellation = nullptr);

// One page, as `fetch_page` fetches it, but stoppable through `cancellation`;
// a cancelled fetch gives an empty result.
FetchResult fetch_page(const Text& url, const FetchCancellation& cancellation, const FetchOptions& options = {});

}  // namespace tavrin
